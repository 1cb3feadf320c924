#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// The keyboard layout service, as far as showing keys goes: which text a key types.
class KeyboardLayout {
public:
    KeyboardLayout() = default;
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;
    virtual ~KeyboardLayout() = default;

    // The text (UTF-8) that the key at this virtual key code types with no modifiers held, in the
    // current layout, or, when that cannot type ASCII, in the first configured layout that can.
    // None for a dead key and for a key the layout does not map. Always the layout in force at
    // the time of the call.
    [[nodiscard]] virtual std::optional<std::string> textForKey(std::uint16_t virtualKeyCode) = 0;
};

} // namespace platform
