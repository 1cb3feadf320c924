#pragma once

#include "KeyboardShortcuts/Shortcut.h"
#include "platform/Event.h"

#include <QKeySequence>
#include <array>
#include <optional>
#include <string>

namespace KeyboardShortcuts {

// The modifier symbols of event modifier flags, in the order control, option, shift, command,
// function: ⌃⌥⇧⌘🌐︎. No separators; no flags give the empty text.
[[nodiscard]] std::string ks_symbolicRepresentation(std::uint64_t modifierFlags);

// Qt's modifier set for event modifier flags: command is Meta (Super), control is Control,
// option is Alt, numeric pad is Keypad. Caps lock and function have no Qt modifier.
[[nodiscard]] Qt::KeyboardModifiers toEventModifiers(std::uint64_t modifierFlags);

// A shortcut as users read it: modifier symbols, then the key: a symbol or name for keys that
// type no character, else the character of the key in the installed layout, capitalized, or
// U+FFFD when the key types no single character there.
[[nodiscard]] std::string presentableDescription(const Shortcut& shortcut);
[[nodiscard]] inline std::string description(const Shortcut& shortcut) {
    return presentableDescription(shortcut);
}

// A shortcut as Linux desktops spell it, and so as screen readers say it: the modifiers' names in
// the order Ctrl, Alt, Shift, Super, Fn, then the key's name, joined by "+" ("Ctrl+Alt+N").
// Modifier names are translated; keypad keys keep their symbol.
[[nodiscard]] std::string desktopDescription(const Shortcut& shortcut);

// The key as a menu item shows it, without modifiers: a symbol for keys that type no character
// (none for the keypad), else the character of the key as the layout types it.
[[nodiscard]] std::optional<std::string> menuItemKeyEquivalent(const Shortcut& shortcut);

// The shortcut as a Qt key sequence of one combination; none for keypad keys, for keys that
// type no single character, and for shortcuts with the function modifier, which Qt cannot
// express.
[[nodiscard]] std::optional<QKeySequence> toKeySequence(const Shortcut& shortcut);

// The shortcut's key sequence where there is a shortcut and it has one, else the empty sequence,
// which means no shortcut to Qt's widgets.
[[nodiscard]] QKeySequence keySequenceOrNone(const std::optional<Shortcut>& shortcut);

// The character that the installed layout puts on the shortcut's key with no modifiers held:
// exactly one grapheme cluster, in UTF-8. None for keys that type no character, dead keys,
// unmapped keys and key codes outside 0 to 65535.
[[nodiscard]] std::optional<std::string> keyToCharacter(const Shortcut& shortcut);

// The function keys F1 to F35, as events name them.
inline constexpr auto functionKeys = [] {
    std::array<platform::SpecialKey, 35> keys{};
    for (std::size_t index = 0; index < keys.size(); ++index) {
        keys[index] = static_cast<platform::SpecialKey>(
            static_cast<std::size_t>(platform::SpecialKey::f1) + index);
    }
    return keys;
}();

} // namespace KeyboardShortcuts
