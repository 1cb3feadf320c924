#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Event types, numbered as the shortcut encoding expects them.
enum class EventType : std::uint8_t {
    leftMouseUp = 2,
    rightMouseUp = 4,
    keyDown = 10,
    keyUp = 11,
    flagsChanged = 12, // a modifier or lock key went down or up
};

// Event modifier flags.
namespace ModifierFlags {
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
// The same modifiers by the names Linux keyboards give them.
inline constexpr std::uint64_t alt = option;
inline constexpr std::uint64_t super = command;
inline constexpr std::uint64_t numericPad = 0x200000; // keypad keys
inline constexpr std::uint64_t function = 0x800000;
} // namespace ModifierFlags

// The modifier that application key equivalents (font size, editing, Quit) use: Ctrl on
// Linux. The shortcut encoding itself never changes meaning.
inline constexpr std::uint64_t primaryShortcutModifier = ModifierFlags::control;

// The key code of a physical key that has no virtual key code.
inline constexpr std::uint16_t unknownKeyCode = 0xFFFF;

// Keys that type no text, told apart by what they do rather than where they sit. delete_ is the
// backspace key; the trailing underscore keeps it clear of the keyword.
// clang-format off
enum class SpecialKey : std::uint8_t {
    tab, backTab, delete_, deleteForward, carriageReturn, enter,
    upArrow, downArrow, leftArrow, rightArrow, home, end, pageUp, pageDown, help,
    f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16, f17, f18, f19, f20,
    f21, f22, f23, f24, f25, f26, f27, f28, f29, f30, f31, f32, f33, f34, f35,
};
// clang-format on

// A point in a window's own coordinates: from its top-left corner, y growing downwards.
struct Point {
    double x = 0;
    double y = 0;
};

// A keyboard or mouse event as the logic sees it, translated from the toolkit where it enters.
struct Event {
    EventType type = EventType::keyDown;
    std::uint16_t keyCode = 0;               // virtual key code: a physical position
    std::uint64_t modifierFlags = 0;         // ModifierFlags bits
    std::string characters;                  // UTF-8, with every modifier applied
    std::string charactersIgnoringModifiers; // UTF-8, only Shift applied
    std::optional<SpecialKey> specialKey;    // none for keys that type text
    bool isARepeat = false;                  // a key-down the held key repeats
    Point locationInWindow;                  // where a mouse event happened
};

} // namespace platform
