#include "platform/linux/XkbKeyboardLayout.h"

#include "platform/KeyCodeTable.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

namespace {

using platform::linux_desktop::XkbKeyboardLayout;
using platform::linux_desktop::XkbKeymap;

constexpr std::uint16_t aKey = 0;       // AC01
constexpr std::uint32_t evdevToX11 = 8; // the offset of xkeyboard-config's evdev keycodes

// Every physical key of the table is the evdev key of its XKB name, both ways, and the keys that
// sit elsewhere than their name says are where PC keyboards have them.
TEST(XkbKeymap, FindsEveryPhysicalKeyByItsName) {
    const auto keymap = XkbKeymap::fromNames("us").value();
    for (const auto& key : platform::physicalKeys()) {
        EXPECT_EQ(keymap.keycodeForVirtualKeyCode(key.virtualKeyCode), key.evdevCode + evdevToX11)
            << key.xkbName;
        EXPECT_EQ(keymap.virtualKeyCode(key.evdevCode + evdevToX11), key.virtualKeyCode);
    }
    EXPECT_EQ(keymap.keycodeForVirtualKeyCode(71), KEY_NUMLOCK + evdevToX11); // keypad clear
    EXPECT_FALSE(keymap.keycodeForVirtualKeyCode(63)); // function has no X11 key
}

// A key types its base level in the current group, or in the first group that types the Latin
// letters where the current one does not.
TEST(XkbKeyboardLayout, TypesTheKeysOfLayoutsFromXkbData) {
    const std::tuple<const char*, const char*, std::uint32_t, std::uint16_t,
                     std::optional<std::string>>
        cases[] = {
            {"fr", "", 0, aKey, "q"},         // AZERTY
            {"de", "", 0, 16, "z"},           // QWERTZ
            {"de", "", 0, 50, std::nullopt},  // its dead grave accent
            {"us", "dvorak", 0, 1, "o"},      // Dvorak
            {"ru,us", "", 0, aKey, "a"},      // Russian with a Latin group
            {"us,ru", "", 1, aKey, "a"},      // Russian in front of US
            {"ru,fr,us", "", 0, aKey, "q"},   // the first Latin group, not the last
            {"ru", "", 0, aKey, "ф"},         // no Latin group to stand in
            {"de,fr,us", "", 4, aKey, "q"},   // past the last group: wraps as the server does
            {"us", "", 0, 63, std::nullopt},  // no physical key
            {"us", "", 0, 1000, std::nullopt} // past the table
        };
    for (const auto& [layouts, variants, group, virtualKeyCode, text] : cases) {
        XkbKeyboardLayout layout(XkbKeymap::fromNames(layouts, variants).value(), group);
        EXPECT_EQ(layout.textForKey(virtualKeyCode), text) << layouts << " " << virtualKeyCode;
    }
}

} // namespace
