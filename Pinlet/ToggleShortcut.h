#pragma once

#include "KeyboardShortcuts/Name.h"

#include <memory>

namespace pinlet {

class AppDelegate;

// The shortcut name that shows and hides the note panel, Ctrl+Alt+N unless the user chose other
// keys. Made at its first use in the process.
[[nodiscard]] const KeyboardShortcuts::Name& togglePanel();

// Toggles the delegate's panel each time the togglePanel keys are released, for as long as the
// delegate exists.
void registerToggleShortcut(std::weak_ptr<AppDelegate> delegate);

} // namespace pinlet
