#pragma once

#include "KeyboardShortcuts/Name.h"
#include "KeyboardShortcuts/Shortcut.h"

#include <unordered_set>

namespace KeyboardShortcuts::internal {

// Whether a menu of the application holds the keyboard; follows the menu-tracking
// notifications from the first name on.
[[nodiscard]] bool isMenuOpen();
// While paused (the recorder records), registered shortcuts call nothing.
[[nodiscard]] bool isPaused();
void setPaused(bool paused);

// The shortcuts handed to the hot-key layer and not taken back.
[[nodiscard]] const std::unordered_set<Shortcut>& registeredShortcuts();
// Hands the shortcut to the hot-key layer unless it is there already, labelled as the name's.
void registerShortcut(const Shortcut& shortcut, const Name& name);
// Takes it back from the hot-key layer.
void unregisterShortcut(const Shortcut& shortcut);

void handleOnKeyDown(const Shortcut& shortcut);
void handleOnKeyUp(const Shortcut& shortcut);

// Starts following the menu-tracking notifications, once.
void initialize();

} // namespace KeyboardShortcuts::internal
