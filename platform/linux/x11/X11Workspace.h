#pragma once

#include "platform/Workspace.h"
#include "platform/linux/x11/XcbConnection.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace platform::linux_desktop {

class X11UserTime;

// The workspace of an EWMH window manager, reached through an X connection of its own.
// Activation requests carry the X server time of the user input that caused them (the latest
// one X11UserTime knows, else the server's current time), so that focus-stealing prevention
// lets them through.
//
// Needs a running Qt event loop: the connection is watched from it.
class X11Workspace final : public Workspace {
public:
    // Connects to the display (empty: $DISPLAY). Throws std::runtime_error, naming the
    // display, when it cannot.
    explicit X11Workspace(const X11UserTime& userTime, const std::string& displayName = {});
    X11Workspace(const X11Workspace&) = delete;
    X11Workspace& operator=(const X11Workspace&) = delete;
    ~X11Workspace() override;

    // The window manager's active window and the pid it carries (0 when it carries none);
    // none when no window is active or the active one is gone.
    [[nodiscard]] std::optional<RunningApplication> frontmostApplication() override;
    [[nodiscard]] bool isCurrentApplication(const RunningApplication& app) override;
    // True once the window is gone or the process with its pid has exited.
    [[nodiscard]] bool isTerminated(const RunningApplication& app) override;
    void activate(const RunningApplication& app) override;
    void observeActivations(std::function<void()> onActivation) override;
    // Works whenever it is called, before or after the window is shown, and lasts through
    // hiding and showing again. Hiding withdraws a window: the window manager forgets its
    // desktop and states, and Qt writes only its own states when it maps the window again.
    // So the window is watched, and every map asks the window manager for the states anew.
    // Sticky is a state that some window managers (openbox) do not know: they keep the window
    // on all desktops through _NET_WM_DESKTOP alone.
    void keepOnAllDesktops(WindowId window) override;
    // May follow Qt's show() at once: Qt has the server carry out the map before show()
    // returns, so the window manager has the window before it has the request. Asks the server
    // nothing once the window has been made key before: while the window manager takes a newly
    // mapped window it holds the server, and a question would wait for it.
    void makeKeyWindow(WindowId window) override;
    // The foreground of the tray manager's _NET_SYSTEM_TRAY_COLORS on the first screen.
    void observeTrayForeground(std::function<void(std::optional<Rgb>)> onChange) override;

private:
    enum Atom : std::size_t {
        ActiveWindow,
        WmPid,
        Supported,
        WmDesktop,
        WmState,
        StateSticky,
        StateSkipTaskbar,
        StateSkipPager,
        StateAbove,
        WmUserTime,
        WmUserTimeWindow,
        ServerTimeProbe,
        ClientListStacking,
        TraySelection,
        TrayColours,
        Manager,
        AtomCount
    };
    void internAtoms();
    void createTimeProbeWindow();
    void handleEvent(const xcb_generic_event_t& event);
    void noteActiveWindow();
    void followTrayManager();
    void noteTrayForeground();
    [[nodiscard]] WindowId activeWindow();
    [[nodiscard]] bool supportsActivation();
    [[nodiscard]] WindowId userTimeWindow(WindowId window);
    void watch(WindowId window);

    // The application's window when it still exists, else its topmost remaining one.
    [[nodiscard]] std::optional<WindowId> windowToActivate(const RunningApplication& app);
    [[nodiscard]] std::uint32_t triggeringTime();
    [[nodiscard]] std::uint32_t serverTime();
    void requestActivation(WindowId window, std::uint32_t time);
    void setUserTime(WindowId window, std::uint32_t time);
    void setAllDesktopsProperties(WindowId window);
    void askForAllDesktops(WindowId window);
    void sendToRoot(WindowId window, Atom type, const std::array<std::uint32_t, 5>& data);
    // None when the window does not exist; empty when it lacks the property.
    [[nodiscard]] std::optional<std::vector<std::uint32_t>>
    readWindowProperty(WindowId window, Atom property, std::uint32_t type);
    [[nodiscard]] std::vector<std::uint32_t> readProperty(WindowId window, Atom property,
                                                          std::uint32_t type);

    const X11UserTime& userTime_;
    XcbConnection connection_;
    WindowId root_ = 0;
    WindowId timeProbe_ = 0;
    std::array<std::uint32_t, AtomCount> atoms_{};
    std::set<WindowId> keptOnAllDesktops_;
    std::function<void()> onActivation_;
    WindowId activeWindow_ = 0;
    std::function<void(std::optional<Rgb>)> onTrayForeground_;
    WindowId trayManager_ = 0;
    std::optional<Rgb> trayForeground_;
    // The active window as last read, which an activation request names as the one it replaces.
    WindowId lastReadActiveWindow_ = 0;
    // What the window manager supports, until it says otherwise.
    std::optional<std::vector<std::uint32_t>> supported_;
    // The window that carries each window's user time (itself when it has none), found once and
    // forgotten when the window is destroyed or names another.
    std::map<WindowId, WindowId> userTimeWindows_;
    std::unique_ptr<XcbEventWatch> events_;
};

} // namespace platform::linux_desktop
