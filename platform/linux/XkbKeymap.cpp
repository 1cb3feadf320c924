#include "platform/linux/XkbKeymap.h"

#include "platform/KeyCodeTable.h"

#include <array>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace platform::linux_desktop {

void XkbKeymap::ContextRelease::operator()(xkb_context* context) const {
    xkb_context_unref(context);
}

void XkbKeymap::KeymapRelease::operator()(xkb_keymap* keymap) const {
    xkb_keymap_unref(keymap);
}

XkbKeymap::XkbKeymap(std::unique_ptr<xkb_context, ContextRelease> context,
                     std::unique_ptr<xkb_keymap, KeymapRelease> keymap)
    : context_(std::move(context)), keymap_(std::move(keymap)) {}

std::optional<XkbKeymap> XkbKeymap::fromXServer(xcb_connection_t* connection) {
    if (xkb_x11_setup_xkb_extension(
            connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr) == 0) {
        return std::nullopt;
    }
    std::unique_ptr<xkb_context, ContextRelease> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (!context || device < 0) {
        return std::nullopt;
    }
    std::unique_ptr<xkb_keymap, KeymapRelease> keymap(xkb_x11_keymap_new_from_device(
        context.get(), connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) {
        return std::nullopt;
    }
    return XkbKeymap(std::move(context), std::move(keymap));
}

std::optional<XkbKeymap> XkbKeymap::fromNames(const std::string& layouts,
                                              const std::string& variants) {
    std::unique_ptr<xkb_context, ContextRelease> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!context) {
        return std::nullopt;
    }
    const xkb_rule_names names{"evdev", "pc105", layouts.c_str(), variants.c_str(), nullptr};
    std::unique_ptr<xkb_keymap, KeymapRelease> keymap(
        xkb_keymap_new_from_names(context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap) {
        return std::nullopt;
    }
    return XkbKeymap(std::move(context), std::move(keymap));
}

XkbKeymap XkbKeymap::empty() {
    static constexpr const char* noKeys =
        "xkb_keymap { xkb_keycodes { }; xkb_types { }; xkb_compat { }; xkb_symbols { }; };";
    std::unique_ptr<xkb_context, ContextRelease> context(
        xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES));
    std::unique_ptr<xkb_keymap, KeymapRelease> keymap(xkb_keymap_new_from_string(
        context.get(), noKeys, XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    return {std::move(context), std::move(keymap)};
}

std::optional<std::string_view> XkbKeymap::keyName(std::uint32_t keycode) const {
    const char* name = xkb_keymap_key_get_name(keymap_.get(), keycode);
    return name == nullptr ? std::nullopt : std::optional<std::string_view>(name);
}

std::optional<std::uint32_t> XkbKeymap::keycode(std::string_view keyName) const {
    const std::string name(keyName);
    const xkb_keycode_t code = xkb_keymap_key_by_name(keymap_.get(), name.c_str());
    return code == XKB_KEYCODE_INVALID ? std::nullopt : std::optional<std::uint32_t>(code);
}

std::optional<std::uint16_t> XkbKeymap::virtualKeyCode(std::uint32_t keycode) const {
    const auto name = keyName(keycode);
    return name ? virtualKeyCodeForXkbName(*name) : std::nullopt;
}

std::optional<std::uint32_t>
XkbKeymap::keycodeForVirtualKeyCode(std::uint16_t virtualKeyCode) const {
    const auto key = physicalKeyForVirtualKeyCode(virtualKeyCode);
    return key ? keycode(key->xkbName) : std::nullopt;
}

std::optional<std::string> XkbKeymap::baseKeysymName(std::uint16_t virtualKeyCode) const {
    const auto key = keycodeForVirtualKeyCode(virtualKeyCode);
    const xkb_keysym_t* keysyms = nullptr;
    if (!key || xkb_keymap_key_get_syms_by_level(keymap_.get(), *key, 0, 0, &keysyms) < 1) {
        return std::nullopt;
    }
    std::array<char, 64> name{};
    if (xkb_keysym_get_name(keysyms[0], name.data(), name.size()) <= 0) {
        return std::nullopt;
    }
    return std::string(name.data());
}

} // namespace platform::linux_desktop
