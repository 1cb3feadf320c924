#pragma once

#include "platform/linux/XkbKeymap.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
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

// How a desktop writes a key combination: the spelling of each modifier, in the order written,
// before the name of the keysym that the key types at its base level in the first layout.
using AcceleratorStyle = std::array<std::pair<std::uint32_t, std::string_view>, 4>;
// GTK's, as GNOME's settings write it: "<Control><Alt>n".
extern const AcceleratorStyle gtkAccelerator;
// The GlobalShortcuts portal's triggers: "CTRL+ALT+n".
extern const AcceleratorStyle portalTrigger;

// The combination (hot-key modifier bits) in the style; empty where it cannot be written so (the
// function modifier, a key without a keysym).
[[nodiscard]] std::string acceleratorText(const XkbKeymap& keymap, std::uint32_t keyCode,
                                          std::uint32_t modifiers, const AcceleratorStyle& style);

} // namespace platform::linux_desktop
