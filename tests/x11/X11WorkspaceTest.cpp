#include "platform/linux/X11Workspace.h"

#include "platform/linux/X11UserTime.h"
#include "tests/x11/support/SuiteSession.h"

#include <QWidget>
#include <csignal>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using platform::RunningApplication;
using platform::linux_desktop::X11UserTime;
using platform::linux_desktop::X11Workspace;
using test_support::x11::ChildProcess;
using test_support::x11::ForeignWindow;
using test_support::x11::LaunchOptions;
using test_support::x11::suiteSession;
using test_support::x11::waitUntil;
using test_support::x11::WindowId;
using test_support::x11::XSession;
using testing::AllOf;
using testing::HasSubstr;

RunningApplication applicationOf(const ForeignWindow& foreign) {
    return {foreign.window, foreign.process.pid()};
}

// Each test has a display of its own here: what is active at the start is known.
class X11WorkspaceOnItsOwnDisplay : public testing::Test {
protected:
    bool becomesActive(WindowId window) {
        return waitUntil([&] { return session.activeWindow() == window; });
    }

    XSession session;
    X11UserTime userTime;
    X11Workspace workspace{userTime, session.display()};
};

TEST_F(X11WorkspaceOnItsOwnDisplay, FrontmostApplicationIsTheActiveWindowWithItsPid) {
    EXPECT_EQ(workspace.frontmostApplication(), std::nullopt);

    const auto foreign = session.startForeignWindow("Frontmost foreign");
    ASSERT_TRUE(becomesActive(foreign.window));
    EXPECT_EQ(workspace.frontmostApplication(), applicationOf(foreign));
    EXPECT_FALSE(workspace.isCurrentApplication(applicationOf(foreign)));
    EXPECT_TRUE(workspace.isCurrentApplication({foreign.window, ::getpid()}));
}

TEST_F(X11WorkspaceOnItsOwnDisplay, NoFrontmostApplicationOnceTheActiveWindowIsGone) {
    auto foreign = session.startForeignWindow("Vanishing foreign");
    ASSERT_TRUE(becomesActive(foreign.window));
    foreign.process.signal(SIGKILL);
    ASSERT_TRUE(waitUntil([&] { return !session.exists(foreign.window); }));
    EXPECT_EQ(workspace.frontmostApplication(), std::nullopt);
}

TEST_F(X11WorkspaceOnItsOwnDisplay, ActivateHandsTheFocusToAnotherApplication) {
    const auto first = session.startForeignWindow("First foreign");
    ASSERT_TRUE(becomesActive(first.window));
    const auto second = session.startForeignWindow("Second foreign");
    ASSERT_TRUE(becomesActive(second.window));

    workspace.activate(applicationOf(first));
    EXPECT_TRUE(becomesActive(first.window));
    EXPECT_TRUE(waitUntil([&] { return session.focusedWindow() == first.window; }));
}

TEST_F(X11WorkspaceOnItsOwnDisplay, IsTerminatedOnceTheWindowOrTheProcessIsGone) {
    auto foreign = session.startForeignWindow("Short-lived foreign");
    const RunningApplication app = applicationOf(foreign);
    EXPECT_FALSE(workspace.isTerminated(app));

    ChildProcess exited(LaunchOptions{.arguments = {"true"}});
    const pid_t exitedPid = exited.pid();
    exited.stop();
    EXPECT_TRUE(workspace.isTerminated({foreign.window, exitedPid}));

    foreign.process.signal(SIGKILL);
    EXPECT_TRUE(waitUntil([&] { return workspace.isTerminated(app); }));
    EXPECT_TRUE(workspace.isTerminated({0x7ffffff, 0}));
}

TEST(X11WorkspaceWithoutWindowManager, ActivateFocusesAndRaisesDirectly) {
    XSession session({.windowManager = false});
    const X11UserTime userTime;
    X11Workspace workspace(userTime, session.display());
    const auto first = session.startForeignWindow("Unmanaged first");
    const auto second = session.startForeignWindow("Unmanaged second");

    workspace.activate(applicationOf(first));
    EXPECT_TRUE(waitUntil([&] { return session.focusedWindow() == first.window; }));
    workspace.activate(applicationOf(second));
    EXPECT_TRUE(waitUntil([&] { return session.focusedWindow() == second.window; }));
}

TEST(X11WorkspaceConnection, AMissingDisplayIsNamed) {
    const X11UserTime userTime;
    EXPECT_THAT([&] { X11Workspace(userTime, ":pinlet-no-such-display"); },
                testing::ThrowsMessage<std::runtime_error>(HasSubstr(":pinlet-no-such-display")));
}

// This process's own Qt windows, on the suite's display.
class X11WorkspaceOfQtWindows : public testing::Test {
protected:
    static std::unique_ptr<QWidget> makeToolWindow(const QString& title) {
        auto window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint |
                                                             Qt::WindowStaysOnTopHint);
        window->setWindowTitle(title);
        window->resize(300, 200);
        // Like a panel shown over another application: mapping it does not take the focus.
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        return window;
    }

    static WindowId idOf(const QWidget& window) { return static_cast<WindowId>(window.winId()); }

    // Openbox keeps a window on every desktop through _NET_WM_DESKTOP alone and drops the
    // sticky state, which it does not support, from _NET_WM_STATE.
    bool isKeptOnAllDesktops(WindowId window) {
        const bool stickyIsSupported =
            session.run({"xprop", "-root", "_NET_SUPPORTED"}).output.find("_NET_WM_STATE_STICKY") !=
            std::string::npos;
        const auto states =
            AllOf(HasSubstr("_NET_WM_STATE_SKIP_TASKBAR"), HasSubstr("_NET_WM_STATE_SKIP_PAGER"),
                  HasSubstr("_NET_WM_STATE_ABOVE"),
                  HasSubstr(stickyIsSupported ? "_NET_WM_STATE_STICKY" : ""));
        return waitUntil([&] {
            return session.propertyValue(window, "_NET_WM_DESKTOP") == "4294967295" &&
                   testing::Value(session.propertyValue(window, "_NET_WM_STATE"), states);
        });
    }

    bool isShown(const QWidget& window) {
        return waitUntil([&] { return session.isViewable(idOf(window)); });
    }

    XSession& session = suiteSession();
    X11UserTime userTime;
    X11Workspace workspace{userTime, session.display()};
};

TEST_F(X11WorkspaceOfQtWindows, KeepOnAllDesktopsBeforeShowingLastsThroughHideAndShow) {
    const auto panel = makeToolWindow("All desktops, set before showing");
    const WindowId window = idOf(*panel);
    workspace.keepOnAllDesktops(window);
    panel->show();
    ASSERT_TRUE(isShown(*panel));
    EXPECT_TRUE(isKeptOnAllDesktops(window));

    // Another desktop hides the windows of this one, but not the panel.
    const auto foreign = session.startForeignWindow("Foreign on the first desktop");
    session.run({"xdotool", "set_desktop", "2"});
    EXPECT_TRUE(waitUntil([&] { return !session.isViewable(foreign.window); }));
    EXPECT_TRUE(session.isViewable(window));
    session.run({"xdotool", "set_desktop", "0"});

    panel->hide();
    ASSERT_TRUE(waitUntil([&] { return !session.isViewable(window); }));
    panel->show();
    ASSERT_TRUE(isShown(*panel));
    EXPECT_TRUE(isKeptOnAllDesktops(window));
}

TEST_F(X11WorkspaceOfQtWindows, KeepOnAllDesktopsOnAShownWindow) {
    const auto panel = makeToolWindow("All desktops, set when shown");
    panel->show();
    ASSERT_TRUE(isShown(*panel));
    workspace.keepOnAllDesktops(idOf(*panel));
    EXPECT_TRUE(isKeptOnAllDesktops(idOf(*panel)));
}

TEST_F(X11WorkspaceOfQtWindows, MakeKeyWindowRightAfterShowTakesTheFocusFromAnotherApplication) {
    const auto foreign = session.startForeignWindow("Foreign in front of the panel");
    ASSERT_TRUE(waitUntil([&] { return session.activeWindow() == foreign.window; }));
    const auto panel = makeToolWindow("Panel taking the focus");
    const WindowId window = idOf(*panel);

    panel->show();
    workspace.makeKeyWindow(window);
    EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == window; }));
    EXPECT_TRUE(waitUntil([&] { return session.focusedWindow() == window; }));
    const auto frontmost = workspace.frontmostApplication();
    ASSERT_TRUE(frontmost.has_value());
    EXPECT_TRUE(workspace.isCurrentApplication(*frontmost));

    // And back, as when the panel hides.
    panel->hide();
    workspace.activate(applicationOf(foreign));
    EXPECT_TRUE(waitUntil([&] { return session.focusedWindow() == foreign.window; }));
}

} // namespace
