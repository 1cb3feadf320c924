#pragma once

#include "KeyboardShortcuts/Name.h"
#include "platform/NotificationCenter.h"

#include <string>
#include <unordered_set>

namespace KeyboardShortcuts::internal {

inline constexpr std::string_view storeKeyPrefix = "KeyboardShortcuts_";

[[nodiscard]] std::string storeKey(const Name& name);
// Stores the shortcut's text, moving the hot key from the old shortcut to the new one, and
// announces the change. The recorder stores through here too.
void userDefaultsSet(const Name& name, const Shortcut& shortcut);
// Whether anything is stored under the name's key, the removal marker included.
[[nodiscard]] bool userDefaultsContains(const Name& name);
void userDefaultsDidChange(const Name& name);
// Whether the notification announces a change of this name's shortcut.
[[nodiscard]] bool isChangeOf(const platform::Notification& notification, const Name& name);
// Every name the store holds a key for, without defaults.
[[nodiscard]] std::unordered_set<Name> allNames();

} // namespace KeyboardShortcuts::internal
