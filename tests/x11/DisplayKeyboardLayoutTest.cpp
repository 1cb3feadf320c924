#include "platform/linux/x11/DisplayKeyboardLayout.h"

#include "platform/linux/x11/QtEventTranslation.h"
#include "platform/linux/x11/XcbPointer.h"
#include "tests/x11/support/XSession.h"

#include <QKeyEvent>
#include <gtest/gtest.h>
#define explicit explicit_ // xkb.h names a member after the C++ keyword
#include <xcb/xkb.h>
#undef explicit

namespace {

using test_support::x11::suiteSession;
using test_support::x11::waitUntil;

constexpr std::uint16_t keyQ = 12; // the top left letter

// As a layout switch key does; xdotool would put the group back after the key.
bool lockGroup(std::uint8_t group) {
    const auto connection = platform::linux_desktop::connectToDisplay(suiteSession().display());
    xcb_discard_reply(connection.get(), xcb_xkb_use_extension(connection.get(), 1, 0).sequence);
    return !platform::linux_desktop::xcbOwned(xcb_request_check(
        connection.get(), xcb_xkb_latch_lock_state_checked(
                              connection.get(), XCB_XKB_ID_USE_CORE_KBD, 0, 0, 1, group, 0, 0, 0)));
}

// The display's layout changes while the program runs, each change showing in another text
// than the one before; the last change puts the layout back.
TEST(DisplayKeyboardLayout, FollowsLayoutAndGroupChanges) {
    auto& layout = platform::linux_desktop::displayKeyboardLayout();
    const struct {
        QStringList layouts; // none: the same ones
        std::uint8_t group;
        std::string text;
    } changes[] = {
        {{"fr"}, 0, "a"},
        {{"us,fr"}, 0, "q"},
        {{}, 1, "a"},
        {{"us"}, 0, "q"},
    };
    for (const auto& [layouts, group, text] : changes) {
        EXPECT_TRUE(layouts.isEmpty() || suiteSession().run(QStringList{"setxkbmap"} + layouts));
        EXPECT_TRUE(lockGroup(group));
        EXPECT_TRUE(waitUntil([&, &text = text] { return layout.textForKey(keyQ) == text; }))
            << layouts.join(' ').toStdString() << " group " << int{group};
    }
}

// Qt marks the server's repeats of a held key only when the repeated press is already queued
// behind the release; here neither is marked, as when it is not.
TEST(DisplayKeyboardLayout, KeyEventsOfAKeyTheServerHoldsAreRepeatsUntilItsRelease) {
    constexpr int keycodeN = 57;
    const auto repeats = [](QEvent::Type type) {
        const QKeyEvent event(type, Qt::Key_N, Qt::NoModifier, keycodeN, 0, 0, "n");
        return platform::linux_desktop::translateKeyEvent(event).isARepeat;
    };
    EXPECT_FALSE(repeats(QEvent::KeyPress));
    ASSERT_TRUE(suiteSession().run({"xdotool", "keydown", "n"}));
    EXPECT_TRUE(repeats(QEvent::KeyRelease));
    EXPECT_TRUE(repeats(QEvent::KeyPress));
    ASSERT_TRUE(suiteSession().run({"xdotool", "keyup", "n"}));
    EXPECT_FALSE(repeats(QEvent::KeyRelease));
    EXPECT_FALSE(repeats(QEvent::KeyPress));
}

} // namespace
