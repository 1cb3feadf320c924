#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Event types, numbered as the shortcut encoding expects them.
enum class EventType : std::uint8_t {
    leftMouseUp = 2,
    rightMouseUp = 4,
    keyDown = 10,
    keyUp = 11,
};

// Event modifier flags.
namespace ModifierFlags {
inline constexpr std::uint64_t capsLock = 0x10000;
inline constexpr std::uint64_t shift = 0x20000;
inline constexpr std::uint64_t control = 0x40000;
inline constexpr std::uint64_t option = 0x80000;
inline constexpr std::uint64_t command = 0x100000;
inline constexpr std::uint64_t numericPad = 0x200000; // keypad keys
inline constexpr std::uint64_t function = 0x800000;
} // namespace ModifierFlags

// The modifier that application key equivalents (font size, editing, Quit) use: Ctrl on
// Linux. The shortcut encoding itself never changes meaning.
inline constexpr std::uint64_t primaryShortcutModifier = ModifierFlags::control;

// The key code of a physical key that has no virtual key code.
inline constexpr std::uint16_t unknownKeyCode = 0xFFFF;

// A keyboard event as the logic sees it, translated from the toolkit where it enters.
struct Event {
    EventType type = EventType::keyDown;
    std::uint16_t keyCode = 0;       // virtual key code: a physical position
    std::uint64_t modifierFlags = 0; // ModifierFlags bits
    std::string characters;          // UTF-8, with every modifier applied
    std::string charactersIgnoringModifiers; // UTF-8, only Shift applied
};

} // namespace platform
