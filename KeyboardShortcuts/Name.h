#pragma once

#include "KeyboardShortcuts/Shortcut.h"

#include <concepts>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace KeyboardShortcuts {

// The name of one action's shortcut. The user may change which keys it stands for; its current
// shortcut lives in the preferences store under "KeyboardShortcuts_" + rawValue, as the JSON
// text of the shortcut, or false once the user removed a default. Names are equal by their raw
// value alone.
class Name {
public:
    // With a default, on the first run (nothing stored under the name's key yet) the default is
    // stored, its hot key registered and the change announced. The description is what a desktop
    // that lists the application's shortcuts (the GlobalShortcuts portal) shows beside it; without
    // one the raw value is put in words ("togglePanel" reads "Toggle panel").
    explicit Name(std::string rawValue, std::optional<Shortcut> defaultShortcut = std::nullopt,
                  std::string description = {});

    [[nodiscard]] const std::string& rawValue() const { return rawValue_; }
    [[nodiscard]] const std::optional<Shortcut>& defaultShortcut() const {
        return defaultShortcut_;
    }

    // The shortcut stored now; writing goes through setShortcut().
    [[nodiscard]] std::optional<Shortcut> shortcut() const;
    void setShortcut(const std::optional<Shortcut>& shortcut) const;

    friend bool operator==(const Name& a, const Name& b) { return a.rawValue_ == b.rawValue_; }

private:
    std::string rawValue_;
    std::optional<Shortcut> defaultShortcut_;
};

// Posted whenever a name's shortcut changes, with the name's raw value under "name".
inline constexpr std::string_view shortcutByNameDidChange =
    "KeyboardShortcuts_shortcutByNameDidChange";

// The name's shortcut, read from the store afresh: none when nothing is stored, when the user
// removed it, or when the stored value is not a shortcut.
[[nodiscard]] std::optional<Shortcut> getShortcut(const Name& name);
// Stores the shortcut and moves the hot key to it; none clears the name (a name with a default
// keeps the removal across restarts). Each change is announced.
void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name);

// The description given with the name (the latest, where several were), else its raw value in
// words.
[[nodiscard]] std::string description(const Name& name);

// Returns each name to its default, in order; a name without one is cleared.
void reset(const std::vector<Name>& names);
template <std::same_as<Name>... Names> void reset(const Names&... names) {
    reset(std::vector<Name>{names...});
}
// Clears every name stored with a shortcut; removed defaults stay removed.
void resetAll();

} // namespace KeyboardShortcuts

template <> struct std::hash<KeyboardShortcuts::Name> {
    std::size_t operator()(const KeyboardShortcuts::Name& name) const noexcept {
        return std::hash<std::string>{}(name.rawValue());
    }
};
