#include "KeyboardShortcuts/Shortcut.h"

#include "KeyboardShortcuts/ModifierFlags.h"

#include <gtest/gtest.h>
#include <unordered_set>

namespace {

using KeyboardShortcuts::Key;
using KeyboardShortcuts::Shortcut;
namespace Flags = platform::ModifierFlags;

TEST(Key, IsAnyCodeAndEqualsTheNamedConstantOfThatCode) {
    EXPECT_EQ(Key(0), Key::a);
    EXPECT_EQ(Key(45), Key::n);
    EXPECT_EQ(Key(1000).rawValue, 1000);
    EXPECT_NE(Key::return_, Key::keypadEnter);
    EXPECT_EQ(std::hash<Key>{}(Key(36)), std::hash<Key>{}(Key::return_));
}

TEST(ModifierFlags, ConvertTheFiveModifiersBothWaysAndDropEverythingElse) {
    using KeyboardShortcuts::carbon;
    using KeyboardShortcuts::modifierFlagsFromCarbon;
    EXPECT_EQ(carbon(Flags::capsLock), 0);
    EXPECT_EQ(carbon(Flags::control | Flags::option), 6144);
    EXPECT_EQ(carbon(Flags::shift | Flags::command | Flags::numericPad | 0xFFFFU), 0x300);
    EXPECT_EQ(modifierFlagsFromCarbon(0x20000), Flags::function);
    EXPECT_EQ(carbon(modifierFlagsFromCarbon(0x20000)), 0x20000);
    EXPECT_EQ(modifierFlagsFromCarbon(0x1801), Flags::control | Flags::option);
    EXPECT_EQ(modifierFlagsFromCarbon(-1),
              Flags::shift | Flags::control | Flags::option | Flags::command | Flags::function);
}

TEST(Shortcut, KeepsTheKeyCodeAndOnlyTheKnownModifierBits) {
    EXPECT_EQ(Shortcut(45, 6145).carbonModifiers(), 6144);
    EXPECT_EQ(Shortcut(45, 0x1800).carbonModifiers(), 0x1800);
    EXPECT_EQ(Shortcut(-7, 0).carbonKeyCode(), -7);
    const Shortcut fromKey(Key::n, Flags::control | Flags::option | Flags::capsLock);
    EXPECT_EQ(fromKey, Shortcut(45, 6144));
    EXPECT_EQ(fromKey.key(), Key::n);
    EXPECT_EQ(fromKey.modifiers(), Flags::control | Flags::option);
}

TEST(Shortcut, IsASetElementByKeyAndModifiers) {
    const std::unordered_set<Shortcut> set{Shortcut(45, 6144), Shortcut(45, 256),
                                           Shortcut(45, 6144), Shortcut(46, 256)};
    EXPECT_EQ(set.size(), 3U);
    EXPECT_TRUE(set.contains(Shortcut(Key::n, Flags::command)));
}

platform::Event keyEvent(platform::EventType type, std::uint16_t keyCode, std::uint64_t flags) {
    platform::Event event;
    event.type = type;
    event.keyCode = keyCode;
    event.modifierFlags = flags;
    return event;
}

TEST(Shortcut, FromAKeyEventNeverCarriesTheFunctionModifier) {
    const auto down = Shortcut::fromEvent(
        keyEvent(platform::EventType::keyDown, 9, Flags::command | Flags::function));
    ASSERT_TRUE(down);
    EXPECT_EQ(down->carbonKeyCode(), 9);
    EXPECT_EQ(down->carbonModifiers(), 256);
    const auto up = Shortcut::fromEvent(keyEvent(platform::EventType::keyUp, 65535 - 1, 0));
    ASSERT_TRUE(up);
    EXPECT_EQ(up->carbonKeyCode(), 65534);
}

TEST(Shortcut, NoneFromMouseEventsOrKeysWithoutAVirtualCode) {
    EXPECT_FALSE(Shortcut::fromEvent(keyEvent(platform::EventType::leftMouseUp, 0, 0)));
    EXPECT_FALSE(Shortcut::fromEvent(keyEvent(platform::EventType::rightMouseUp, 9, 0)));
    EXPECT_FALSE(Shortcut::fromEvent(
        keyEvent(platform::EventType::keyDown, platform::unknownKeyCode, Flags::control)));
}

TEST(ShortcutJson, WritesCompactlyKeyCodeFirst) {
    EXPECT_EQ(Shortcut(Key::n, Flags::control | Flags::option).toJson(),
              R"({"carbonKeyCode":45,"carbonModifiers":6144})");
    EXPECT_EQ(Shortcut(-1, 0).toJson(), R"({"carbonKeyCode":-1,"carbonModifiers":0})");
}

TEST(ShortcutJson, ReadsMembersByNameInAnyOrderIgnoringOthersAndTakesValuesAsStored) {
    EXPECT_EQ(Shortcut::fromJson(R"({"carbonModifiers":6144,"carbonKeyCode":45})"),
              Shortcut(45, 6144));
    EXPECT_EQ(Shortcut::fromJson(R"( { "x": [1, {}], "carbonKeyCode": 45,
                                       "carbonModifiers": 6144, "y": null } )"),
              Shortcut(45, 6144));
    const auto unnormalised = Shortcut::fromJson(R"({"carbonKeyCode":45,"carbonModifiers":6145})");
    ASSERT_TRUE(unnormalised);
    EXPECT_EQ(unnormalised->carbonModifiers(), 6145);
    const auto extremes = Shortcut::fromJson(
        R"({"carbonKeyCode":-9223372036854775808,"carbonModifiers":9223372036854775807})");
    ASSERT_TRUE(extremes);
    EXPECT_EQ(extremes->carbonKeyCode(), INT64_MIN);
    EXPECT_EQ(extremes->carbonModifiers(), INT64_MAX);
}

TEST(ShortcutJson, ReadsWholeNumbersWrittenWithAFractionOrExponent) {
    EXPECT_EQ(Shortcut::fromJson(R"({"carbonKeyCode":45.0,"carbonModifiers":6.144e3})"),
              Shortcut(45, 6144));
}

TEST(ShortcutJson, RoundTrips) {
    for (const Shortcut& shortcut : {Shortcut(0, 0), Shortcut(126, 0x21B00), Shortcut(-3, 4096)}) {
        EXPECT_EQ(Shortcut::fromJson(shortcut.toJson()), shortcut);
    }
}

TEST(ShortcutJson, AnythingButTwoIntegerMembersInAnObjectReadsAsNone) {
    const char* const texts[] = {
        "0", // a stored boolean false, read as text
        "",
        "null",
        "[45, 6144]",
        R"("{\"carbonKeyCode\":45,\"carbonModifiers\":6144}")",
        R"({"carbonKeyCode":45})",
        R"({"carbonModifiers":6144})",
        R"({"carbonKeyCode":45,"carbonModifiers":6144)",
        R"({"carbonKeyCode":45,"carbonModifiers":6144}x)",
        R"({"carbonKeyCode":45,"carbonModifiers":6144,})",
        R"({"carbonKeyCode":"45","carbonModifiers":6144})",
        R"({"carbonKeyCode":45,"carbonModifiers":true})",
        R"({"carbonKeyCode":null,"carbonModifiers":6144})",
        R"({"carbonKeyCode":45.5,"carbonModifiers":6144})",
        R"({"carbonKeyCode":9223372036854775808,"carbonModifiers":6144})",
        R"({"carbonKeyCode":-1e19,"carbonModifiers":6144})",
        R"({"carbonKeyCode":45,"carbonModifiers":1e400})",
        R"({"carbonKeyCode":45,"carbonModifiers":{"value":6144}})",
        R"({"CarbonKeyCode":45,"carbonModifiers":6144})",
    };
    for (const char* text : texts) {
        EXPECT_FALSE(Shortcut::fromJson(text)) << text;
    }
}

TEST(ShortcutJson, DeeplyNestedOrHugeInputReadsAsNone) {
    const std::string nested = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_FALSE(Shortcut::fromJson(nested));
    const std::string hugeNumber =
        R"({"carbonKeyCode":)" + std::string(5000, '9') + R"(,"carbonModifiers":0})";
    EXPECT_FALSE(Shortcut::fromJson(hugeNumber));
    const std::string withNul("{\"carbonKeyCode\":45,\0\"carbonModifiers\":6144}", 44);
    EXPECT_FALSE(Shortcut::fromJson(withNul));
}

} // namespace
