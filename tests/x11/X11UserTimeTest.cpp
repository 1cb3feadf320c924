#include "platform/linux/X11UserTime.h"

#include "tests/x11/support/SuiteSession.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using platform::linux_desktop::X11UserTime;
using test_support::x11::suiteSession;
using test_support::x11::waitUntil;

TEST(X11UserTime, KeepsTheLatestTimeAcrossTheWrapAround) {
    X11UserTime userTime;
    EXPECT_EQ(userTime.latest(), std::nullopt);
    userTime.record(0);
    EXPECT_EQ(userTime.latest(), std::nullopt) << "zero is CurrentTime, not a time";

    userTime.record(1000);
    userTime.record(400);
    EXPECT_EQ(userTime.latest(), 1000u);

    userTime.record(0xFFFFFF00);
    EXPECT_EQ(userTime.latest(), 1000u) << "more than half the range ahead is in the past";

    X11UserTime beforeWrap;
    beforeWrap.record(0xFFFFFF00);
    beforeWrap.record(20);
    EXPECT_EQ(beforeWrap.latest(), 20u);
}

TEST(X11UserTime, FollowsClicksAndKeysOnTheApplicationsWindows) {
    auto& session = suiteSession();
    QWidget window;
    window.setWindowTitle("User time");
    window.resize(200, 100);
    window.show();
    const auto id = static_cast<std::uint32_t>(window.winId());
    ASSERT_TRUE(waitUntil([&] { return session.isViewable(id); }));
    std::ostringstream hexId;
    hexId << "0x" << std::hex << id;

    X11UserTime userTime;
    userTime.watchApplicationInput();
    session.run({"xdotool", "mousemove", "--window", hexId.str(), "20", "20", "click", "1"});
    ASSERT_TRUE(waitUntil([&] { return userTime.latest().has_value(); }));
    const std::uint32_t click = *userTime.latest();

    session.run({"xdotool", "windowfocus", "--sync", hexId.str()});
    session.run({"xdotool", "key", "a"});
    EXPECT_TRUE(waitUntil([&] { return userTime.latest() != click; }));
}

} // namespace
