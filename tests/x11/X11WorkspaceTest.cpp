#include "platform/linux/x11/X11Workspace.h"

#include "platform/linux/x11/X11UserTime.h"
#include "tests/x11/support/XSession.h"

#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using platform::linux_desktop::X11UserTime;
using platform::linux_desktop::X11Workspace;
using test_support::x11::suiteSession;
using test_support::x11::waitUntil;

// The window manager hands the focus back to the window that had it last anyway: here another
// window comes in front meanwhile, so only the activation brings the first one back.
TEST(X11Workspace, TheApplicationThatWasInFrontCanBeActivatedAgain) {
    auto& session = suiteSession();
    const X11UserTime userTime;
    X11Workspace workspace(userTime, session.display());
    const auto first = session.createWindow();
    ASSERT_TRUE(waitUntil([&] { return session.activeWindow() == first; }));
    const auto front = workspace.frontmostApplication();
    ASSERT_EQ(front, (platform::RunningApplication{first, ::getpid()}));

    const auto second = session.createWindow();
    ASSERT_TRUE(waitUntil([&] { return session.activeWindow() == second; }));
    workspace.activate(*front);
    EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == first; }));

    // Once that window is gone, the application's topmost remaining one takes the focus.
    const auto other = session.createWindow(1);
    ASSERT_TRUE(waitUntil([&] { return session.activeWindow() == other; }));
    session.destroyWindow(first);
    EXPECT_FALSE(workspace.isTerminated(*front));
    workspace.activate(*front);
    EXPECT_TRUE(waitUntil([&] { return session.activeWindow() == second; }));
}

TEST(X11UserTime, FollowsClicksAndKeysOnTheApplicationsWindows) {
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QString id = QString::number(window.winId());
    X11UserTime userTime;
    userTime.watchApplicationInput();

    ASSERT_TRUE(
        suiteSession().run({"xdotool", "mousemove", "--window", id, "20", "20", "click", "1"}));
    ASSERT_TRUE(waitUntil([&] { return userTime.latest().has_value(); }));
    const auto click = userTime.latest();
    ASSERT_TRUE(suiteSession().run({"xdotool", "windowfocus", "--sync", id, "key", "a"}));
    EXPECT_TRUE(waitUntil([&] { return userTime.latest() != click; }));
}

} // namespace
