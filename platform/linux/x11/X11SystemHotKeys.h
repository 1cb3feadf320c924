#pragma once

#include "platform/SystemHotKeys.h"

#include <string>

namespace platform::linux_desktop {

class X11HotKeyService;
class XkbKeyboardLayout;

// The hot keys of an X11 desktop: those its shortcut settings list (GNOME's, KDE's), read
// through the layout's current keymap, and the candidate itself when another X client grabs it,
// asked through the hot-key service so that our own registrations never count, nor our own
// GNOME custom shortcut where there is one (its settings path given). Reads settings files and
// asks the X server; changes neither.
class X11SystemHotKeys final : public SystemHotKeys {
public:
    X11SystemHotKeys(X11HotKeyService& hotKeys, const XkbKeyboardLayout& layout,
                     std::string ownGnomeCommandPath = {});

    [[nodiscard]] std::optional<std::vector<SystemHotKey>>
    copySymbolicHotKeys(std::uint32_t candidateKeyCode, std::uint32_t candidateModifiers) override;

private:
    X11HotKeyService& hotKeys_;
    const XkbKeyboardLayout& layout_;
    const std::string ownGnomeCommandPath_;
};

} // namespace platform::linux_desktop
