#pragma once

#include "tests/x11/support/ChildProcess.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct xcb_connection_t;

namespace test_support::x11 {

using WindowId = std::uint32_t;

inline constexpr std::chrono::milliseconds defaultTimeout = std::chrono::seconds(20);

// Polls the condition until it holds; false if it still does not after the timeout. Between
// polls the Qt event loop runs when the test process has an application, so that its own
// windows get shown and its socket notifiers fire while a test waits.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = defaultTimeout);

// A top-level window of another process: titled, carrying that process's pid in _NET_WM_PID,
// and accepting focus. It lives until the process is stopped.
struct ForeignWindow {
    ChildProcess process;
    WindowId window = 0;
};

struct SessionOptions {
    // Without one, nothing reparents or focuses windows, and EWMH is not supported.
    bool windowManager = true;
    // Starts a system tray host as well, and waits until it owns the tray selection.
    bool trayHost = false;
    std::string screen = "1280x800x24";
};

// A private X display: Xvfb on a free display number, openbox managing it (its system
// configuration: four desktops, focus on new windows) and optionally a tray host. Everything
// it started is stopped when it goes, whatever the test's outcome. Several sessions, in one
// process or in many, run side by side.
//
// A test of the whole application, for instance:
//
//     XSession session({.trayHost = true});
//     const auto home = session.directory() / "home";
//     auto pinlet = session.start({pinletBinary}, {{"XDG_CONFIG_HOME", home / "config"}});
//     const auto panel = session.waitForWindow("Pinlet");
//     session.run({"xdotool", "key", "ctrl+alt+n"});
//     EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == panel; }));
//     EXPECT_THAT(pinlet.output(), testing::Not(testing::HasSubstr("Error")));
class XSession {
public:
    // Throws std::runtime_error when a part cannot be started or does not get ready.
    explicit XSession(const SessionOptions& options = {});
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;
    ~XSession();

    // ":N", for DISPLAY.
    [[nodiscard]] const std::string& display() const { return display_; }
    // DISPLAY for this session, plus the given variables.
    [[nodiscard]] Environment environment(const Environment& extra = {}) const;
    // A private directory, removed with the session: logs, and room for a test's own files
    // (configuration homes of an application under test, for instance).
    [[nodiscard]] const std::filesystem::path& directory() const;

    // Runs a command against this display (xdotool, xprop, setxkbmap, xclip, ...).
    CommandResult run(const std::vector<std::string>& arguments,
                      const std::string& input = {}) const;
    // Starts a long-running program on this display; what it writes goes to a log file in
    // directory(), readable through ChildProcess::output().
    [[nodiscard]] ChildProcess start(const std::vector<std::string>& arguments,
                                     const Environment& extra = {});
    // Starts a foreign client and returns once its window is shown. Throws when it is not.
    [[nodiscard]] ForeignWindow startForeignWindow(const std::string& title);

    // A viewable window whose title (_NET_WM_NAME, else WM_NAME) is exactly the given one.
    [[nodiscard]] std::optional<WindowId> findWindow(const std::string& title) const;
    [[nodiscard]] std::optional<WindowId>
    waitForWindow(const std::string& title,
                  std::chrono::milliseconds timeout = defaultTimeout) const;
    [[nodiscard]] bool exists(WindowId window) const;
    [[nodiscard]] bool isViewable(WindowId window) const;
    // The window manager's active window (xdotool getactivewindow), or none.
    [[nodiscard]] std::optional<WindowId> activeWindow() const;
    // The window holding the keyboard focus (xdotool getwindowfocus), or none.
    [[nodiscard]] std::optional<WindowId> focusedWindow() const;
    // The value xprop shows for a property ("_NET_WM_STATE_STICKY, _NET_WM_STATE_ABOVE" for
    // _NET_WM_STATE), or empty when the window does not have it.
    [[nodiscard]] std::string propertyValue(WindowId window, const std::string& property) const;

private:
    struct ConnectionRelease {
        void operator()(xcb_connection_t* connection) const;
    };
    class Directory {
    public:
        Directory();
        Directory(const Directory&) = delete;
        Directory& operator=(const Directory&) = delete;
        ~Directory();
        [[nodiscard]] const std::filesystem::path& path() const { return path_; }

    private:
        std::filesystem::path path_;
    };

    void startXServer(const std::string& screen);
    void startWindowManager();
    void startTrayHost();
    [[nodiscard]] bool windowManagerTakesWindows();
    [[nodiscard]] std::optional<WindowId> windowFromCommand(const std::string& query) const;
    [[nodiscard]] std::filesystem::path nextLogFile(const std::string& program);

    // Declared in start-up order: members go in reverse, the X server last of the programs.
    Directory directory_;
    std::optional<ChildProcess> xServer_;
    std::string display_;
    std::unique_ptr<xcb_connection_t, ConnectionRelease> connection_;
    std::optional<ChildProcess> windowManager_;
    std::optional<ChildProcess> trayHost_;
    int launches_ = 0;
};

} // namespace test_support::x11
