#pragma once

#include "platform/linux/AcceleratorReader.h"

#include <string_view>
#include <vector>

namespace platform::linux_desktop {

// The key combinations that the desktops' own shortcut settings claim, read afresh at every
// call. Only reads: settings that are absent or unreadable, and texts that do not parse, add
// nothing.

// The GNOME family's keybindings through GSettings: the window manager's, the shell's, the media
// keys' and the user's own commands, but for the one at the path given (the application's own).
// Schemas that are not installed are left out.
[[nodiscard]] std::vector<KeyCombination> gnomeKeybindings(const AcceleratorReader& reader,
                                                           std::string_view ownCommandPath = {});

// KDE's global shortcuts: the active ones of every action in
// $XDG_CONFIG_HOME/kglobalshortcutsrc.
[[nodiscard]] std::vector<KeyCombination> kdeGlobalShortcuts(const AcceleratorReader& reader);

} // namespace platform::linux_desktop
