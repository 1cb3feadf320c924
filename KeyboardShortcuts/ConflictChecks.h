#pragma once

#include "KeyboardShortcuts/Shortcut.h"
#include "platform/Event.h"

#include <cstdint>
#include <vector>

class QAction;
class QMenu;

// Whether a key combination can serve as a global shortcut. The checks change nothing; the
// recorder decides what each answer means.
namespace KeyboardShortcuts {

// The event's modifier flags that count in a shortcut: caps lock and the numeric pad never do.
[[nodiscard]] std::uint64_t shortcutModifiers(const platform::Event& event);

// Control, option or command is held; or the key is one of F1 to F35, alone or with shift or
// function.
[[nodiscard]] bool meetsModifierRequirement(const platform::Event& event);

// The application's commands and their key equivalents, as a menu tree that need not be shown:
// a Qt application has no menu that every window shares. The library keeps a guarded pointer:
// the application owns the menu, and a destroyed menu counts as none.
void setMainMenu(QMenu* menu);
[[nodiscard]] QMenu* mainMenu();

// The first action of the menu tree, depth first (a submenu right after its own action), one of
// whose shortcuts is this shortcut's key sequence as Qt compares them: same key, same
// modifiers, nothing more. Disabled and hidden actions count. None when the shortcut has no key
// sequence.
[[nodiscard]] QAction* menuItemWithMatchingShortcut(const Shortcut& shortcut, const QMenu& menu);

// The desktops this library runs on pass every combination on to applications, so this answers
// false; it stays so that a platform that withholds some can name them.
[[nodiscard]] bool isDisallowed(const Shortcut& shortcut);

// The desktop or another program already uses the combination.
[[nodiscard]] bool isUsedBySystem(const Shortcut& shortcut);

namespace CarbonKeyboardShortcuts {
// The enabled hot keys that the desktop and other programs hold, read afresh, with the
// candidate among them when another program grabs it. Empty when the query fails.
[[nodiscard]] std::vector<Shortcut> system(const Shortcut& candidate);
} // namespace CarbonKeyboardShortcuts

} // namespace KeyboardShortcuts
