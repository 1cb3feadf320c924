#include "platform/linux/gnome/GnomeSettings.h"

#include <gio/gio.h>

namespace platform::linux_desktop::gnome {

GSettingsSchema* installedSchema(const char* id) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    return source == nullptr ? nullptr : g_settings_schema_source_lookup(source, id, TRUE);
}

bool isSettingsPath(std::string_view path) {
    return path.starts_with('/') && path.ends_with('/') &&
           path.find("//") == std::string_view::npos;
}

} // namespace platform::linux_desktop::gnome
