#pragma once

#include "KeyboardShortcuts/Name.h"

#include <optional>

class QAction;

// A QAction that shows, as its shortcut, the keys a user chose for a name.
namespace KeyboardShortcuts {

// Gives the action the shortcut's key sequence, or no shortcut when there is none or the
// shortcut has no Qt form (keypad keys, the function modifier).
void setShortcut(QAction& action, const std::optional<Shortcut>& shortcut);

// Binds the action to the name: it gets the name's shortcut now, and again one turn of the main
// loop after each change of that name, until the binding is cleared with none (which also takes
// the shortcut away at once) or the action is destroyed. Binding to another name replaces the
// binding.
//
// On X11 a registered global shortcut takes its keys before any window sees them, so an action
// bound to a name whose hot key is registered never fires through its own shortcut: the global
// handlers run instead. The action then shows the keys, as a menu does.
void setShortcutFor(QAction& action, const std::optional<Name>& name);

} // namespace KeyboardShortcuts
