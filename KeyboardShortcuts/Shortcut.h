#pragma once

#include "KeyboardShortcuts/Key.h"
#include "platform/Event.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace KeyboardShortcuts {

// A key combination: a virtual key code plus hot-key modifier bits. Equal, and hashed, by both.
class Shortcut {
public:
    // Keeps the key code as given; only the five known modifier bits survive.
    Shortcut(std::int64_t carbonKeyCode, std::int64_t carbonModifiers);
    // The modifiers are event modifier flags (platform::ModifierFlags).
    Shortcut(Key key, std::uint64_t modifierFlags);

    // The combination of a key-down or key-up event; none for any other event and for keys that
    // have no virtual key code. The function modifier is never part of it.
    [[nodiscard]] static std::optional<Shortcut> fromEvent(const platform::Event& event);

    // The stored text form: {"carbonKeyCode":45,"carbonModifiers":6144}. Reading finds the two
    // members by name, ignores others and takes the values as they stand; it gives none unless
    // the text is a JSON object whose two members are whole numbers in signed 64-bit range.
    [[nodiscard]] static std::optional<Shortcut> fromJson(std::string_view text);
    [[nodiscard]] std::string toJson() const;

    [[nodiscard]] std::int64_t carbonKeyCode() const { return carbonKeyCode_; }
    [[nodiscard]] std::int64_t carbonModifiers() const { return carbonModifiers_; }
    [[nodiscard]] Key key() const { return Key(carbonKeyCode_); }
    // The event modifier flags of carbonModifiers().
    [[nodiscard]] std::uint64_t modifiers() const;

    friend bool operator==(const Shortcut&, const Shortcut&) = default;

private:
    struct AsStored {};
    Shortcut(AsStored /*unused*/, std::int64_t carbonKeyCode, std::int64_t carbonModifiers)
        : carbonKeyCode_(carbonKeyCode), carbonModifiers_(carbonModifiers) {}

    std::int64_t carbonKeyCode_;
    std::int64_t carbonModifiers_;
};

} // namespace KeyboardShortcuts

template <> struct std::hash<KeyboardShortcuts::Shortcut> {
    std::size_t operator()(const KeyboardShortcuts::Shortcut& shortcut) const noexcept;
};
