#include "platform/linux/XkbKeyboardLayout.h"

#include "platform/KeyCodeTable.h"
#include "tests/support/NamedKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

using platform::linux_desktop::XkbKeyboardLayout;
using platform::linux_desktop::XkbKeymap;
using test_support::namedKeyboardLayout;

constexpr std::uint16_t aKey = 0;      // AC01
constexpr std::uint16_t graveKey = 50; // TLDE

TEST(XkbKeymap, EveryPhysicalKeyIsTheEvdevKeyOfItsNameAndBack) {
    const auto keymap = XkbKeymap::fromNames("us");
    ASSERT_TRUE(keymap);
    constexpr std::uint32_t evdevToX11 = 8; // the offset of xkeyboard-config's evdev keycodes
    for (const auto& key : platform::physicalKeys()) {
        EXPECT_EQ(keymap->keycodeForVirtualKeyCode(key.virtualKeyCode), key.evdevCode + evdevToX11)
            << key.xkbName;
        EXPECT_EQ(keymap->virtualKeyCode(key.evdevCode + evdevToX11), key.virtualKeyCode)
            << key.xkbName;
    }
    EXPECT_FALSE(keymap->keycodeForVirtualKeyCode(63)); // function has no X11 key
    EXPECT_FALSE(keymap->virtualKeyCode(0));
}

TEST(XkbKeyboardLayout, TypesTheBaseLevelOfTheCurrentGroup) {
    auto layout = namedKeyboardLayout("de,fr", {}, 1);
    EXPECT_EQ(layout->textForKey(aKey), "q");
    layout->setCurrentGroup(0);
    EXPECT_EQ(layout->textForKey(aKey), "a");
    EXPECT_EQ(layout->textForKey(16), "z"); // the Y position on a German keyboard
    layout->setCurrentGroup(3);             // past the last group: wraps like the server
    EXPECT_EQ(layout->textForKey(aKey), "q");
}

TEST(XkbKeyboardLayout, DeadAndUnmappedKeysTypeNothing) {
    auto layout = namedKeyboardLayout("de");
    EXPECT_FALSE(layout->textForKey(graveKey));
    EXPECT_FALSE(layout->textForKey(63));   // no physical key
    EXPECT_FALSE(layout->textForKey(1000)); // past the table
    EXPECT_FALSE(layout->textForKey(platform::unknownKeyCode));
}

TEST(XkbKeyboardLayout, AGroupThatCannotTypeLatinGivesWayToTheFirstThatCan) {
    auto russianFirst = namedKeyboardLayout("ru,us");
    EXPECT_EQ(russianFirst->textForKey(aKey), "a");
    auto russianSecond = namedKeyboardLayout("us,ru", {}, 1);
    EXPECT_EQ(russianSecond->textForKey(aKey), "a");
    auto greekThenFrench = namedKeyboardLayout("gr,fr");
    EXPECT_EQ(greekThenFrench->textForKey(aKey), "q");
}

TEST(XkbKeyboardLayout, WithoutAnyLatinGroupTheCurrentOneServes) {
    auto russianOnly = namedKeyboardLayout("ru");
    EXPECT_EQ(russianOnly->textForKey(aKey), "ф");
}

TEST(XkbKeyboardLayout, AnEmptyKeymapTypesNothing) {
    XkbKeyboardLayout layout(XkbKeymap::empty());
    EXPECT_FALSE(layout.textForKey(aKey));
}

// Run under the leak sanitizer: every replaced keymap, context and state must be released.
TEST(XkbKeyboardLayout, ReplacingTheKeymapManyTimesKeepsOnlyTheLatest) {
    auto layout = namedKeyboardLayout("us");
    for (int round = 0; round < 100; ++round) {
        const bool isFrench = round % 2 == 0;
        layout->setKeymap(XkbKeymap::fromNames(isFrench ? "fr" : "us").value(), 0);
        ASSERT_EQ(layout->textForKey(aKey), isFrench ? "q" : "a") << round;
    }
}

} // namespace
