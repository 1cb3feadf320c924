#pragma once

#include "platform/KeyboardLayout.h"
#include "platform/linux/XkbKeymap.h"

#include <memory>
#include <vector>

struct xkb_state;

namespace platform::linux_desktop {

// The keyboard layout of one xkbcommon keymap. A keymap holds one or more layouts (XKB groups);
// keys are translated at the base shift level in the current group, or, when that group cannot
// type the Latin letters, in the first group that can (with Russian and US configured, letters
// read in Latin). Owners replace the keymap and the group as the desktop changes them.
class XkbKeyboardLayout final : public KeyboardLayout {
public:
    explicit XkbKeyboardLayout(XkbKeymap keymap, std::uint32_t currentGroup = 0);

    [[nodiscard]] std::optional<std::string> textForKey(std::uint16_t virtualKeyCode) override;

    [[nodiscard]] const XkbKeymap& keymap() const { return keymap_; }
    void setKeymap(XkbKeymap keymap, std::uint32_t currentGroup);
    void setCurrentGroup(std::uint32_t currentGroup);

private:
    struct StateRelease {
        void operator()(xkb_state* state) const;
    };

    [[nodiscard]] std::uint32_t displayGroup() const;
    void readKeymap();

    XkbKeymap keymap_;
    std::uint32_t currentGroup_;
    std::vector<bool> groupTypesLatin_;              // per group of the keymap
    std::vector<std::uint32_t> keycodes_;            // X11 keycode per virtual key code
    std::unique_ptr<xkb_state, StateRelease> state_; // no modifiers, locked to displayGroup()
};

} // namespace platform::linux_desktop
