#pragma once

#include "platform/linux/XkbKeymap.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace platform::linux_desktop {

// A key combination in the shortcut encoding: virtual key code and hot-key modifier bits.
struct KeyCombination {
    std::uint16_t keyCode = 0;
    std::uint32_t modifiers = 0;

    friend bool operator==(const KeyCombination&, const KeyCombination&) = default;
};

// Reads the shortcut texts of desktop settings as key combinations through one keymap: a key's
// name becomes a keysym, the keysym the key of the keymap's first group that yields it (at the
// lowest level, then the lowest keycode), and that key its virtual key code. Touches nothing but
// the keymap it is given. A text with a modifier we cannot express, an unknown key or a key
// without a virtual key code reads as none.
class AcceleratorReader {
public:
    explicit AcceleratorReader(const XkbKeymap& keymap);

    // GTK's form: "<Primary><Alt>t", "<Super>Home", "<Shift><Control>Page_Up".
    [[nodiscard]] std::optional<KeyCombination> fromGtk(std::string_view text) const;
    // Qt's portable form: "Ctrl+Alt+T", "Meta+Shift+Print", "Volume Up", "Ctrl++".
    [[nodiscard]] std::optional<KeyCombination> fromQt(std::string_view text) const;

private:
    [[nodiscard]] std::optional<KeyCombination> combination(std::string_view keyName,
                                                            std::uint32_t modifiers) const;

    std::unordered_map<std::uint32_t, std::uint16_t> virtualKeyCodes_; // by keysym
};

} // namespace platform::linux_desktop
