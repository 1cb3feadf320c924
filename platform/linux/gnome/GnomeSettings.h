#pragma once

#include <string_view>

struct _GSettingsSchema; // GLib's GSettingsSchema

// What the GNOME family's settings need from whoever reads or writes them through GSettings.
namespace platform::linux_desktop::gnome {

inline constexpr const char* mediaKeysSchema = "org.gnome.settings-daemon.plugins.media-keys";
// The media keys' list of the paths of the user's own commands.
inline constexpr const char* customKeybindingsKey = "custom-keybindings";
// The relocatable schema of one of those commands: its name, command and binding.
inline constexpr const char* customKeybindingSchema =
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";

// The schema, or none where it is not installed: opening one that is not would end the process.
[[nodiscard]] _GSettingsSchema* installedSchema(const char* id);

// A relocatable schema takes any path of this shape; another one would end the process.
[[nodiscard]] bool isSettingsPath(std::string_view path);

} // namespace platform::linux_desktop::gnome
