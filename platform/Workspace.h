#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

using WindowId = std::uint32_t;
// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// A running application, known by the top-level window through which it was in front.
struct RunningApplication {
    WindowId window = 0;
    std::int64_t processId = 0;

    friend bool operator==(const RunningApplication&, const RunningApplication&) = default;
};

// The desktop's view of applications and of this application's own windows.
class Workspace {
public:
    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    virtual ~Workspace() = default;

    // The application receiving key events now, or none.
    [[nodiscard]] virtual std::optional<RunningApplication> frontmostApplication() = 0;
    [[nodiscard]] virtual bool isCurrentApplication(const RunningApplication& app) = 0;
    [[nodiscard]] virtual bool isTerminated(const RunningApplication& app) = 0;
    // Hands activation to another application.
    virtual void activate(const RunningApplication& app) = 0;
    // Calls back on the main thread whenever the active window changes, until replaced.
    virtual void observeActivations(std::function<void()> onActivation) = 0;

    // Puts one of this application's windows on every desktop, above normal windows and
    // outside the task bar. Call before the window is first shown.
    virtual void keepOnAllDesktops(WindowId window) = 0;
    // Gives keyboard focus to one of this application's shown windows, past the window
    // manager's focus-stealing prevention, without changing the frontmost application.
    virtual void makeKeyWindow(WindowId window) = 0;

    // Calls back on the main thread with the colour the system tray asks its icons to be drawn
    // in, none where it asks none, at once and whenever that changes, until replaced.
    virtual void observeTrayForeground(std::function<void(std::optional<Rgb>)> onChange) = 0;
};

} // namespace platform
