#pragma once

#include "platform/linux/x11/XcbConnection.h"

#include <QProcess>
#include <QRect>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace test_support::x11 {

using WindowId = std::uint32_t;

// The one wait of the X tests: polls the condition while Qt processes events, so that windows,
// socket notifiers and child processes move on meanwhile; false if it still fails at the end.
template <typename Condition> bool waitUntil(Condition condition, int milliseconds = 20000) {
    return QTest::qWaitFor(condition, milliseconds);
}

// A private X display: Xvfb on a display number it finds free itself, so that parallel runs never
// meet, optionally with openbox, a compositor and a tray host. Its own X connection is "another
// client" to the code under test. All it starts stops with it, or when the test process dies.
class XSession {
public:
    struct Options {
        bool windowManager = true;
        bool trayHost = false;
        bool compositor = false; // picom: translucent windows blend with what lies below
        // GNOME's compositor without a screen instead of Xvfb: its XWayland is the X server, and it
        // is the window manager (so no openbox).
        bool wayland = false;
        // With wayland: GNOME Shell instead of bare mutter, on a private session bus and a second
        // one standing in for the system bus, with gsd-media-keys running the custom shortcuts
        // and dconf keeping the settings. Every program started here shares its folders.
        bool gnomeShell = false;
    };

    // Throws std::runtime_error when a part does not start.
    explicit XSession(Options options);
    ~XSession();

    // Starts a tray host at the top right, with trayer's options of its look; returns once it owns
    // the tray selection.
    QProcess& startTrayHost(const QStringList& look = {});
    // Stops the X server, as the end of a session does: its clients lose the display.
    void endDisplay();
    // Starts a private session bus; its address, for DBUS_SESSION_BUS_ADDRESS.
    QString startSessionBus();
    [[nodiscard]] const std::string& display() const { return display_; }
    // The Wayland socket's path, for WAYLAND_DISPLAY; empty on Xvfb.
    [[nodiscard]] const std::string& waylandDisplay() const { return waylandDisplay_; }
    // Presses the keys (evdev codes) in order and releases them in reverse, as a user's keyboard
    // through mutter's RemoteDesktop API; on GNOME Shell only.
    void pressKeys(const std::vector<std::uint32_t>& keys);
    // Private room for a test's files, removed with the session.
    [[nodiscard]] std::filesystem::path directory() const;

    // Runs a command (xdotool, setxkbmap, ...) on this display to its end: its standard output,
    // or none when it fails.
    [[nodiscard]] std::optional<std::string> run(const QStringList& command) const;
    [[nodiscard]] WindowId root() const { return root_; }
    // Starts a long-running program on this display, with the variables added to ours. What
    // it writes is read from the process, or, forwarded, shows in the test's output.
    QProcess& start(const QStringList& command, const QProcessEnvironment& extra = {},
                    QProcess::ProcessChannelMode channels = QProcess::MergedChannels);

    // A focusable top-level window of this client, shown, carrying the test process's pid or,
    // standing for another application, the one given.
    WindowId createWindow(std::optional<std::uint32_t> processId = std::nullopt);
    void destroyWindow(WindowId window);
    // Grabs the key on the root window for this client; false when another client holds it.
    bool grabKey(std::uint8_t keycode, std::uint16_t modifiers);
    [[nodiscard]] std::optional<WindowId> activeWindow() const;
    [[nodiscard]] bool isViewable(WindowId window) const;
    // Where the window lies on the screen; the root window's is the screen's.
    [[nodiscard]] QRect frame(WindowId window) const;
    // The colour shown at a point of the screen, as 0xRRGGBB.
    [[nodiscard]] std::uint32_t pixel(QPoint point) const;
    // The 32-bit values of a window property (CARDINAL, WINDOW, ATOM...); empty when it is unset.
    [[nodiscard]] std::vector<std::uint32_t> values(WindowId window,
                                                    const std::string& property) const;
    // The window that owns the selection; none is 0.
    [[nodiscard]] WindowId owner(const std::string& selection) const;

private:
    void startXServer();
    void startMutter(bool gnomeShell);
    void startGnomeServices();
    // A method ("interface.Method") called on the desktop's session bus; the answer's first value.
    QVariant callDesktop(const QString& service, const QString& path, const QString& method,
                         const QVariantList& arguments) const;
    void startWindowManager();
    void startCompositor();
    [[nodiscard]] bool waitForOwner(const std::string& selection) const;
    [[nodiscard]] std::uint32_t atom(const std::string& name) const;
    [[nodiscard]] QProcessEnvironment environment() const;

    QTemporaryDir directory_;
    std::vector<std::unique_ptr<QProcess>> processes_;
    std::string display_;
    std::string waylandDisplay_;
    // What the desktop's programs share: folders, buses, displays.
    QProcessEnvironment desktopEnvironment_;
    QString desktopBus_;    // our connection's name, on the desktop's session bus
    QString remoteDesktop_; // the RemoteDesktop session's object path, once started
    platform::linux_desktop::XcbConnection connection_;
    WindowId root_ = 0;
    // The root, or the compositor's overlay window: with one, the root holds raw pixels.
    WindowId screenImage_ = 0;
};

// The first line of the program's output that holds the text; empty when it ends first. Reads
// without an event loop, which benchmarks lack.
QByteArray lineWith(QProcess& process, const QByteArray& text);

// The session of the x11 suite, on which the suite's Qt runs; started by its main.
XSession& suiteSession();

} // namespace test_support::x11
