#include "platform/KeyCodeTable.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <set>

namespace {

TEST(KeyCodeTable, MapsEachPositionToOneKeyBothWays) {
    std::set<std::uint16_t> virtualCodes;
    std::set<std::string_view> names;
    std::set<std::uint16_t> evdevCodes;
    for (const auto& key : platform::physicalKeys()) {
        EXPECT_TRUE(virtualCodes.insert(key.virtualKeyCode).second) << key.virtualKeyCode;
        EXPECT_TRUE(names.insert(key.xkbName).second) << key.xkbName;
        EXPECT_TRUE(evdevCodes.insert(key.evdevCode).second) << key.evdevCode;
        EXPECT_EQ(platform::virtualKeyCodeForXkbName(key.xkbName), key.virtualKeyCode);
    }
}

TEST(KeyCodeTable, PlacesTheKeysWhoseNamesDifferFromTheirPosition) {
    const auto evdevOf = [](std::uint16_t code) {
        return platform::physicalKeyForVirtualKeyCode(code)->evdevCode;
    };
    EXPECT_EQ(evdevOf(45), KEY_N);
    EXPECT_EQ(evdevOf(53), KEY_ESC);
    EXPECT_EQ(evdevOf(114), KEY_INSERT);  // help sits on the PC Insert key
    EXPECT_EQ(evdevOf(71), KEY_NUMLOCK);  // keypad clear sits where Num Lock is
    EXPECT_EQ(evdevOf(50), KEY_GRAVE);
    EXPECT_EQ(evdevOf(10), KEY_102ND);
    EXPECT_FALSE(platform::physicalKeyForVirtualKeyCode(63)); // function: no X11 key
    EXPECT_FALSE(platform::virtualKeyCodeForXkbName("I999"));
}

} // namespace
