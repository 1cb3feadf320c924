#include "platform/linux/DesktopShortcutSettings.h"

#include "platform/linux/gnome/GnomeSettings.h"

#include <array>
#include <fstream>
#include <gio/gio.h>
#include <string>

namespace platform::linux_desktop {

namespace {

using gnome::installedSchema;
using gnome::isSettingsPath;
using gnome::mediaKeysSchema;

constexpr std::array keybindingSchemas{
    "org.gnome.desktop.wm.keybindings",
    "org.gnome.shell.keybindings",
    "org.gnome.mutter.keybindings",
    "org.gnome.mutter.wayland.keybindings",
    mediaKeysSchema,
};

// Opening a relocatable schema without a path would end the process.
bool hasPathOfItsOwn(GSettingsSchema* schema) {
    return schema != nullptr && g_settings_schema_get_path(schema) != nullptr;
}

void addAccelerators(GVariant* value, const AcceleratorReader& reader,
                     std::vector<KeyCombination>& combinations) {
    const auto add = [&](const char* text) {
        if (const auto combination = reader.fromGtk(text)) {
            combinations.push_back(*combination);
        }
    };
    if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
        add(g_variant_get_string(value, nullptr));
    } else if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING_ARRAY)) {
        g_autofree const gchar** texts = g_variant_get_strv(value, nullptr);
        for (const gchar** text = texts; *text != nullptr; ++text) {
            add(*text);
        }
    }
}

// Every string and string-list key of the schema holds accelerators.
void addSchemaAccelerators(GSettingsSchema* schema, const AcceleratorReader& reader,
                           std::vector<KeyCombination>& combinations) {
    g_autoptr(GSettings) settings = g_settings_new_full(schema, nullptr, nullptr);
    g_auto(GStrv) keys = g_settings_schema_list_keys(schema);
    for (gchar** key = keys; *key != nullptr; ++key) {
        g_autoptr(GVariant) value = g_settings_get_value(settings, *key);
        addAccelerators(value, reader, combinations);
    }
}

// The user's own commands, each at a path that the media keys' settings list.
void addCustomKeybindings(const AcceleratorReader& reader, std::string_view ownCommandPath,
                          std::vector<KeyCombination>& combinations) {
    g_autoptr(GSettingsSchema) mediaKeys = installedSchema(mediaKeysSchema);
    g_autoptr(GSettingsSchema) custom = installedSchema(gnome::customKeybindingSchema);
    if (!hasPathOfItsOwn(mediaKeys) || custom == nullptr ||
        !g_settings_schema_has_key(mediaKeys, gnome::customKeybindingsKey) ||
        !g_settings_schema_has_key(custom, "binding")) {
        return;
    }
    g_autoptr(GSettings) mediaKeySettings = g_settings_new_full(mediaKeys, nullptr, nullptr);
    g_auto(GStrv) paths = g_settings_get_strv(mediaKeySettings, gnome::customKeybindingsKey);
    for (gchar** path = paths; *path != nullptr; ++path) {
        if (isSettingsPath(*path) && *path != ownCommandPath) {
            g_autoptr(GSettings) settings = g_settings_new_full(custom, nullptr, *path);
            g_autoptr(GVariant) binding = g_settings_get_value(settings, "binding");
            addAccelerators(binding, reader, combinations);
        }
    }
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    return first == std::string_view::npos
               ? std::string_view{}
               : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The first element of a KConfig list, KConfig's escapes undone: "\t" is a tab, "\," a comma
// that belongs to the element, "\s" a space.
std::string firstListElement(std::string_view value) {
    std::string element;
    for (std::size_t index = 0; index < value.size() && value[index] != ','; ++index) {
        if (value[index] != '\\' || index + 1 == value.size()) {
            element += value[index];
            continue;
        }
        const char escaped = value[++index];
        element += escaped == 't' ? '\t' : escaped == 's' ? ' ' : escaped;
    }
    return element;
}

// "Action=Meta+Up\tCtrl+F1,Meta+Up,Friendly name": the active shortcuts, tab-separated, come
// first; "none" is none.
void addActiveShortcuts(std::string_view line, const AcceleratorReader& reader,
                        std::vector<KeyCombination>& combinations) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || trimmed(line.substr(0, equals)) == "_k_friendly_name") {
        return;
    }
    const std::string active = firstListElement(trimmed(line.substr(equals + 1)));
    std::string_view rest = active;
    while (!rest.empty()) {
        const std::size_t tab = rest.find('\t');
        const std::string_view shortcut = rest.substr(0, tab);
        const auto combination = shortcut == "none" ? std::nullopt : reader.fromQt(shortcut);
        if (combination) {
            combinations.push_back(*combination);
        }
        rest = tab == std::string_view::npos ? std::string_view{} : rest.substr(tab + 1);
    }
}

} // namespace

std::vector<KeyCombination> gnomeKeybindings(const AcceleratorReader& reader,
                                             std::string_view ownCommandPath) {
    std::vector<KeyCombination> combinations;
    for (const char* id : keybindingSchemas) {
        g_autoptr(GSettingsSchema) schema = installedSchema(id);
        if (hasPathOfItsOwn(schema)) {
            addSchemaAccelerators(schema, reader, combinations);
        }
    }
    addCustomKeybindings(reader, ownCommandPath, combinations);
    return combinations;
}

// Groups such as [$Version] hold the file's own bookkeeping, not shortcuts.
std::vector<KeyCombination> kdeGlobalShortcuts(const AcceleratorReader& reader) {
    std::ifstream file(std::string(g_get_user_config_dir()) + "/kglobalshortcutsrc");
    std::vector<KeyCombination> combinations;
    bool inShortcutGroup = true;
    for (std::string line; std::getline(file, line);) {
        const std::string_view entry = trimmed(line);
        if (entry.starts_with('[')) {
            inShortcutGroup = !entry.starts_with("[$");
        } else if (inShortcutGroup && !entry.starts_with('#')) {
            addActiveShortcuts(entry, reader, combinations);
        }
    }
    return combinations;
}

} // namespace platform::linux_desktop
