#include "platform/linux/AcceleratorReader.h"

#include "platform/HotKeyService.h"

#include <algorithm>
#include <array>
#include <glib.h>
#include <string>
#include <xkbcommon/xkbcommon.h>

namespace platform::linux_desktop {

namespace {

struct ModifierName {
    std::string_view name;
    std::uint32_t bit;
};

constexpr std::array gtkModifiers = std::to_array<ModifierName>({
    {"Primary", HotKeyModifier::control},
    {"Control", HotKeyModifier::control},
    {"Ctrl", HotKeyModifier::control},
    {"Ctl", HotKeyModifier::control},
    {"Shift", HotKeyModifier::shift},
    {"Shft", HotKeyModifier::shift},
    {"Alt", HotKeyModifier::option},
    {"Mod1", HotKeyModifier::option},
    {"Super", HotKeyModifier::command},
    {"Mod4", HotKeyModifier::command},
});

constexpr std::array qtModifiers = std::to_array<ModifierName>({
    {"Ctrl", HotKeyModifier::control},
    {"Shift", HotKeyModifier::shift},
    {"Alt", HotKeyModifier::option},
    {"Meta", HotKeyModifier::command},
});

// Qt's names of keys whose keysym is named otherwise.
constexpr std::array<std::pair<std::string_view, const char*>, 11> keysymAliases{{
    {"Esc", "Escape"},
    {"Del", "Delete"},
    {"Ins", "Insert"},
    {"PgUp", "Prior"},
    {"PgDown", "Next"},
    {"Enter", "KP_Enter"},
    {"CapsLock", "Caps_Lock"},
    {"NumLock", "Num_Lock"},
    {"Volume Up", "XF86AudioRaiseVolume"},
    {"Volume Down", "XF86AudioLowerVolume"},
    {"Volume Mute", "XF86AudioMute"},
}};

// Both desktops accept their modifier names in any case.
std::optional<std::uint32_t> modifierBit(std::span<const ModifierName> known,
                                         std::string_view name) {
    const auto found = std::ranges::find_if(known, [&](const ModifierName& modifier) {
        return modifier.name.size() == name.size() &&
               g_ascii_strncasecmp(modifier.name.data(), name.data(), name.size()) == 0;
    });
    return found == known.end() ? std::nullopt : std::optional(found->bit);
}

// A single character names the key that types it ("+", ","); other names are keysym names,
// matched exactly first so that "a" and "A" stay apart.
xkb_keysym_t keysymForName(std::string_view keyName) {
    const auto* alias =
        std::ranges::find(keysymAliases, keyName, &std::pair<std::string_view, const char*>::first);
    const std::string name = alias == keysymAliases.end() ? std::string(keyName) : alias->second;
    if (const xkb_keysym_t keysym = xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_NO_FLAGS);
        keysym != XKB_KEY_NoSymbol) {
        return keysym;
    }
    const gunichar character =
        g_utf8_get_char_validated(name.data(), static_cast<gssize>(name.size()));
    if (g_unichar_validate(character) &&
        g_utf8_next_char(name.data()) == name.data() + name.size()) {
        return xkb_utf32_to_keysym(character);
    }
    return xkb_keysym_from_name(name.c_str(), XKB_KEYSYM_CASE_INSENSITIVE);
}

} // namespace

AcceleratorReader::AcceleratorReader(const XkbKeymap& keymap) {
    xkb_keymap* const xkbKeymap = keymap.get();
    if (xkbKeymap == nullptr) {
        return;
    }
    std::vector<std::pair<xkb_keycode_t, std::uint16_t>> keys;
    xkb_level_index_t levels = 0;
    for (xkb_keycode_t keycode = xkb_keymap_min_keycode(xkbKeymap);
         keycode <= xkb_keymap_max_keycode(xkbKeymap); ++keycode) {
        if (const auto virtualKeyCode = keymap.virtualKeyCode(keycode)) {
            keys.emplace_back(keycode, *virtualKeyCode);
            levels = std::max(levels, xkb_keymap_num_levels_for_key(xkbKeymap, keycode, 0));
        }
    }
    for (xkb_level_index_t level = 0; level < levels; ++level) {
        for (const auto& [keycode, virtualKeyCode] : keys) {
            const xkb_keysym_t* keysyms = nullptr;
            const int count =
                xkb_keymap_key_get_syms_by_level(xkbKeymap, keycode, 0, level, &keysyms);
            for (const xkb_keysym_t keysym : std::span(keysyms, std::max(count, 0))) {
                virtualKeyCodes_.emplace(keysym, virtualKeyCode);
            }
        }
    }
}

std::optional<KeyCombination> AcceleratorReader::fromGtk(std::string_view text) const {
    std::uint32_t modifiers = 0;
    while (text.starts_with('<')) {
        const std::size_t end = text.find('>');
        const auto bit = end == std::string_view::npos
                             ? std::nullopt
                             : modifierBit(gtkModifiers, text.substr(1, end - 1));
        if (!bit) {
            return std::nullopt;
        }
        modifiers |= *bit;
        text.remove_prefix(end + 1);
    }
    return combination(text, modifiers);
}

// Every '+' past the first character ends a modifier name: "Ctrl++" is Ctrl and the plus key.
std::optional<KeyCombination> AcceleratorReader::fromQt(std::string_view text) const {
    std::uint32_t modifiers = 0;
    for (std::size_t plus = text.find('+', 1); plus != std::string_view::npos;
         plus = text.find('+', 1)) {
        const auto bit = modifierBit(qtModifiers, text.substr(0, plus));
        if (!bit) {
            return std::nullopt;
        }
        modifiers |= *bit;
        text.remove_prefix(plus + 1);
    }
    return combination(text, modifiers);
}

std::optional<KeyCombination> AcceleratorReader::combination(std::string_view keyName,
                                                             std::uint32_t modifiers) const {
    const xkb_keysym_t keysym = keysymForName(keyName);
    const auto found = virtualKeyCodes_.find(keysym);
    return keysym == XKB_KEY_NoSymbol || found == virtualKeyCodes_.end()
               ? std::nullopt
               : std::optional<KeyCombination>({.keyCode = found->second, .modifiers = modifiers});
}

const AcceleratorStyle gtkAccelerator{{
    {HotKeyModifier::shift, "<Shift>"},
    {HotKeyModifier::control, "<Control>"},
    {HotKeyModifier::option, "<Alt>"},
    {HotKeyModifier::command, "<Super>"},
}};

const AcceleratorStyle portalTrigger{{
    {HotKeyModifier::control, "CTRL+"},
    {HotKeyModifier::option, "ALT+"},
    {HotKeyModifier::shift, "SHIFT+"},
    {HotKeyModifier::command, "LOGO+"},
}};

std::string acceleratorText(const XkbKeymap& keymap, std::uint32_t keyCode, std::uint32_t modifiers,
                            const AcceleratorStyle& style) {
    const auto name = keymap.baseKeysymName(static_cast<std::uint16_t>(keyCode));
    if ((modifiers & HotKeyModifier::function) != 0 || !name) {
        return {};
    }
    std::string text;
    for (const auto& [modifier, spelling] : style) {
        if ((modifiers & modifier) != 0) {
            text += spelling;
        }
    }
    return text + *name;
}

} // namespace platform::linux_desktop
