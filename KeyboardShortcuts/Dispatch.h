#pragma once

#include "KeyboardShortcuts/EventStream.h"
#include "KeyboardShortcuts/Name.h"

#include <concepts>
#include <functional>
#include <vector>

// Handlers attached to shortcut names. A press or release of a registered shortcut calls the
// handlers of every name whose stored shortcut it is at that moment, so handlers follow a name
// when the user changes its keys. Main thread only, except where said.
namespace KeyboardShortcuts {

using Action = std::function<void()>;

// Whether the library handles shortcuts at all; true at start.
[[nodiscard]] bool isEnabled();
void setEnabled(bool enabled);

// Handlers run in the order they were added; the same action added twice runs twice.
void onKeyDown(const Name& name, Action action);
void onKeyUp(const Name& name, Action action);
// Removes the name's handlers and releases its hot key unless a stream still needs it, even
// when another name with handlers stores the same shortcut.
void removeHandler(const Name& name);
// Removes every handler added by onKeyDown() and onKeyUp(); streams keep theirs.
void removeAllHandlers();

// Whether the name's shortcut is registered now (also when the desktop refused its keys).
[[nodiscard]] bool isEnabled(const Name& name);
// Register or release the names' shortcuts, in order; their handlers stay.
void enable(const std::vector<Name>& names);
void disable(const std::vector<Name>& names);
template <std::same_as<Name>... Names> void enable(const Names&... names) {
    enable(std::vector<Name>{names...});
}
template <std::same_as<Name>... Names> void disable(const Names&... names) {
    disable(std::vector<Name>{names...});
}

// The presses and releases of the name's shortcut; callable from any thread.
[[nodiscard]] EventStream events(const Name& name);
// The same, keeping only the elements of one type.
[[nodiscard]] EventStream events(EventType type, const Name& name);

} // namespace KeyboardShortcuts
