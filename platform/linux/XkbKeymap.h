#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct xkb_context;
struct xkb_keymap;
struct xcb_connection_t;

namespace platform::linux_desktop {

// An xkbcommon keymap: the X server's core keyboard, or one built from layout names where no
// X server is at hand.
class XkbKeymap {
public:
    // The X server's current keymap; none when the server lacks the XKB extension.
    static std::optional<XkbKeymap> fromXServer(xcb_connection_t* connection);
    // Layouts and variants as comma-separated lists, as setxkbmap takes them.
    static std::optional<XkbKeymap> fromNames(const std::string& layouts,
                                              const std::string& variants = {});
    // A keymap without keys, for when not even the default layout can be built.
    static XkbKeymap empty();

    [[nodiscard]] xkb_keymap* get() const { return keymap_.get(); }
    [[nodiscard]] std::optional<std::string_view> keyName(std::uint32_t keycode) const;
    [[nodiscard]] std::optional<std::uint32_t> keycode(std::string_view keyName) const;

    // X11 keycodes and virtual key codes, through the key names of this keymap.
    [[nodiscard]] std::optional<std::uint16_t> virtualKeyCode(std::uint32_t keycode) const;
    [[nodiscard]] std::optional<std::uint32_t>
    keycodeForVirtualKeyCode(std::uint16_t virtualKeyCode) const;
    // The name of the keysym that the key types at its base level in the first layout ("n",
    // "F5", "Page_Up"), as desktops name keys in their shortcut settings.
    [[nodiscard]] std::optional<std::string> baseKeysymName(std::uint16_t virtualKeyCode) const;

private:
    struct ContextRelease {
        void operator()(xkb_context* context) const;
    };
    struct KeymapRelease {
        void operator()(xkb_keymap* keymap) const;
    };

    XkbKeymap(std::unique_ptr<xkb_context, ContextRelease> context,
              std::unique_ptr<xkb_keymap, KeymapRelease> keymap);

    std::unique_ptr<xkb_context, ContextRelease> context_;
    std::unique_ptr<xkb_keymap, KeymapRelease> keymap_;
};

} // namespace platform::linux_desktop
