#include "KeyboardShortcuts/Shortcut.h"

#include "KeyboardShortcuts/ModifierFlags.h"

#include <gtest/gtest.h>

namespace {

using KeyboardShortcuts::Shortcut;
namespace Flags = platform::ModifierFlags;

// Locks and the keypad flag have no hot-key bit; hot-key bits other than the five are dropped.
TEST(ModifierFlags, EachModifierHasItsOwnHotKeyBitBothWays) {
    const std::pair<std::uint64_t, std::int64_t> modifiers[] = {{Flags::shift, 0x200},
                                                                {Flags::control, 0x1000},
                                                                {Flags::option, 0x800},
                                                                {Flags::command, 0x100},
                                                                {Flags::function, 0x20000}};
    for (const auto& [flag, bit] : modifiers) {
        EXPECT_EQ(KeyboardShortcuts::carbon(flag | Flags::capsLock | Flags::numericPad), bit);
        EXPECT_EQ(KeyboardShortcuts::modifierFlagsFromCarbon(bit | 0x400 | 0x1), flag);
        EXPECT_EQ(Shortcut(45, bit | 0x400).carbonModifiers(), bit);
    }
}

// Members are found by name in any order and others ignored; whole numbers count however they
// are written, up to the limits of 64 bits. Anything else reads as none ("0" is a stored boolean
// false, read as text).
TEST(ShortcutJson, ReadsTwoWholeNumbersInAnObjectAndWritesThemBack) {
    const std::pair<std::string, std::optional<Shortcut>> texts[] = {
        {R"( {"carbonModifiers": 6144, "x": [1, {}], "carbonKeyCode": 45} )", Shortcut(45, 6144)},
        {R"({"carbonKeyCode":45.0,"carbonModifiers":6.144e3})", Shortcut(45, 6144)},
        {R"({"carbonKeyCode":-9223372036854775808,"carbonModifiers":0})", Shortcut(INT64_MIN, 0)},
        {R"({"carbonKeyCode":9223372036854775807,"carbonModifiers":0})", Shortcut(INT64_MAX, 0)},
        {"0", {}},
        {R"("{\"carbonKeyCode\":45,\"carbonModifiers\":6144}")", {}},
        {R"({"carbonKeyCode":45})", {}},
        {R"({"carbonModifiers":6144})", {}},
        {R"({"carbonKeyCode":45,"carbonModifiers":6144}x)", {}},
        {R"({"carbonKeyCode":"45","carbonModifiers":6144})", {}},
        {R"({"carbonKeyCode":45,"carbonModifiers":true})", {}},
        {R"({"carbonKeyCode":null,"carbonModifiers":6144})", {}},
        {R"({"carbonKeyCode":45.5,"carbonModifiers":6144})", {}},
        {R"({"carbonKeyCode":9223372036854775808,"carbonModifiers":6144})", {}},
        {R"({"carbonKeyCode":45,"carbonModifiers":1e400})", {}},
        {R"({"carbonKeyCode":45,"carbonModifiers":{"value":6144}})", {}},
        {R"({"CarbonKeyCode":45,"carbonModifiers":6144})", {}},
        {R"({"carbonKeyCode":)" + std::string(5000, '9') + R"(,"carbonModifiers":0})", {}},
        {std::string(100000, '[') + std::string(100000, ']'), {}},
        {std::string("{\"carbonKeyCode\":45,\0\"carbonModifiers\":6144}", 44), {}}};
    for (const auto& [text, shortcut] : texts) {
        EXPECT_EQ(Shortcut::fromJson(text), shortcut) << text.substr(0, 80);
        if (shortcut) {
            EXPECT_EQ(Shortcut::fromJson(shortcut->toJson()), shortcut) << text;
        }
    }
}

} // namespace
