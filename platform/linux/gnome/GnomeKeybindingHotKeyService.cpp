// GLib's headers name members "signals", which Qt's headers make a keyword: GLib's come first.
// clang-format off
#include <gio/gio.h>
#include "platform/linux/gnome/GnomeKeybindingHotKeyService.h"
// clang-format on

#include "platform/linux/XkbKeymap.h"
#include "platform/linux/gnome/GnomeSettings.h"

#include <QScopedValueRollback>
#include <array>
#include <string_view>
#include <utility>

namespace platform::linux_desktop {
namespace {

using gnome::customKeybindingsKey;

GSettings* mediaKeySettings() {
    g_autoptr(GSettingsSchema) schema = gnome::installedSchema(gnome::mediaKeysSchema);
    return g_settings_new_full(schema, nullptr, nullptr);
}

GSettings* keybindingSettings(const std::string& path) {
    g_autoptr(GSettingsSchema) schema = gnome::installedSchema(gnome::customKeybindingSchema);
    return g_settings_new_full(schema, nullptr, path.c_str());
}

std::string stringSetting(GSettings* settings, const char* key) {
    g_autofree gchar* value = g_settings_get_string(settings, key);
    return value;
}

bool isListed(GSettings* mediaKeys, const std::string& path) {
    g_auto(GStrv) paths = g_settings_get_strv(mediaKeys, customKeybindingsKey);
    return g_strv_contains(paths, path.c_str()) != FALSE;
}

// The list with the path added at its end, or taken out; the others as they were.
void changeListing(GSettings* mediaKeys, const std::string& path, bool listed) {
    g_auto(GStrv) paths = g_settings_get_strv(mediaKeys, customKeybindingsKey);
    g_autoptr(GStrvBuilder) builder = g_strv_builder_new();
    for (gchar** each = paths; *each != nullptr; ++each) {
        if (path != *each) {
            g_strv_builder_add(builder, *each);
        }
    }
    if (listed) {
        g_strv_builder_add(builder, path.c_str());
    }
    g_auto(GStrv) changed = g_strv_builder_end(builder);
    g_settings_set_strv(mediaKeys, customKeybindingsKey, changed);
}

std::optional<std::string> schemaProblem() {
    g_autoptr(GSettingsSchema) mediaKeys = gnome::installedSchema(gnome::mediaKeysSchema);
    g_autoptr(GSettingsSchema) keybinding = gnome::installedSchema(gnome::customKeybindingSchema);
    if (mediaKeys == nullptr || keybinding == nullptr ||
        !g_settings_schema_has_key(mediaKeys, customKeybindingsKey)) {
        return "GNOME's keyboard shortcut settings are not installed";
    }
    return std::nullopt;
}

std::optional<std::string> backendProblem(GSettings* mediaKeys) {
    // Without dconf GLib keeps settings in memory: nothing would reach the desktop.
    GSettingsBackend* backend = nullptr;
    g_object_get(mediaKeys, "backend", &backend, nullptr);
    const std::string_view backendType = G_OBJECT_TYPE_NAME(backend);
    g_object_unref(backend);
    if (backendType == "GMemorySettingsBackend" || backendType == "GNullSettingsBackend") {
        return "no settings service keeps GNOME's keyboard shortcuts (is dconf installed?)";
    }
    if (g_settings_is_writable(mediaKeys, customKeybindingsKey) == FALSE) {
        return "GNOME's keyboard shortcuts are read-only";
    }
    return std::nullopt;
}

std::optional<std::string> listProblem(GSettings* mediaKeys) {
    g_auto(GStrv) paths = g_settings_get_strv(mediaKeys, customKeybindingsKey);
    for (gchar** path = paths; *path != nullptr; ++path) {
        if (!gnome::isSettingsPath(*path)) {
            return std::string("GNOME's list of custom shortcuts holds \"") + *path +
                   "\", which is not a settings path";
        }
    }
    return std::nullopt;
}

// Quoted only where a shell would take it apart, so that the command reads as typed.
std::string quotedArgument(const std::string& argument) {
    constexpr std::string_view plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                       "0123456789_/.,:=+-";
    if (!argument.empty() && argument.find_first_not_of(plain) == std::string::npos) {
        return argument;
    }
    g_autofree gchar* quoted = g_shell_quote(argument.c_str());
    return quoted;
}

// GNOME splits a command into arguments as a shell would, and runs it without one.
std::string quotedCommand(const std::vector<std::string>& arguments) {
    std::string command;
    for (const std::string& argument : arguments) {
        command += (command.empty() ? "" : " ") + quotedArgument(argument);
    }
    return command;
}

// An entry of the application's is one that runs its command, or nothing yet.
std::optional<std::string> entryProblem(const GnomeKeybindingHotKeyService::Entry& entry) {
    g_autoptr(GSettings) keybinding = keybindingSettings(entry.path);
    const std::string command = stringSetting(keybinding, "command");
    if (!command.empty() && command != quotedCommand(entry.command)) {
        return "the custom shortcut at " + entry.path + " runs \"" + command + "\", which is not " +
               quotedCommand(entry.command);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string>
GnomeKeybindingHotKeyService::problemWith(const GnomeKeybindingHotKeyService::Entry& entry) {
    if (auto problem = schemaProblem()) {
        return problem;
    }
    if (!gnome::isSettingsPath(entry.path)) {
        return "\"" + entry.path + "\" is not a settings path";
    }
    g_autoptr(GSettings) mediaKeys = mediaKeySettings();
    if (auto problem = backendProblem(mediaKeys)) {
        return problem;
    }
    if (auto problem = listProblem(mediaKeys)) {
        return problem;
    }
    return entryProblem(entry);
}

GnomeKeybindingHotKeyService::GnomeKeybindingHotKeyService(const XkbKeymap& keymap, Entry entry,
                                                           UserChange onUserChange)
    : keymap_(keymap), entry_(std::move(entry)), command_(quotedCommand(entry_.command)),
      onUserChange_(std::move(onUserChange)), mediaKeys_(mediaKeySettings()),
      keybinding_(keybindingSettings(entry_.path)) {
    if (isListed(mediaKeys_, entry_.path)) {
        written_ = storedBinding();
    }
    const auto onChanged = +[](GSettings* /*settings*/, const char* /*key*/, gpointer self) {
        static_cast<GnomeKeybindingHotKeyService*>(self)->readUserChange();
    };
    g_signal_connect(mediaKeys_, "changed::custom-keybindings", G_CALLBACK(onChanged), this);
    g_signal_connect(keybinding_, "changed::binding", G_CALLBACK(onChanged), this);
    writeTimer_.setSingleShot(true);
    writeTimer_.setInterval(0);
    QObject::connect(&writeTimer_, &QTimer::timeout, [this] { write(); });
}

GnomeKeybindingHotKeyService::~GnomeKeybindingHotKeyService() {
    g_signal_handlers_disconnect_by_data(mediaKeys_, this);
    g_signal_handlers_disconnect_by_data(keybinding_, this);
    g_object_unref(keybinding_);
    g_object_unref(mediaKeys_);
}

HotKeyService::Registration GnomeKeybindingHotKeyService::registerHotKey(std::uint32_t keyCode,
                                                                         std::uint32_t modifiers,
                                                                         HotKeyId /*id*/) {
    std::string binding = acceleratorText(keymap_, keyCode, modifiers, gtkAccelerator);
    if (binding.empty()) {
        return {.status = HotKeyStatus::hotKeyInvalid, .reference = std::nullopt};
    }
    if (!bindings_.empty()) {
        return {.status = HotKeyStatus::hotKeyExists, .reference = std::nullopt};
    }
    const HotKeyRef reference = takeReference();
    bindings_.emplace(reference, std::move(binding));
    writeTimer_.start();
    return {.status = HotKeyStatus::noError, .reference = reference};
}

void GnomeKeybindingHotKeyService::unregisterHotKey(std::optional<HotKeyRef> reference) {
    if (reference && bindings_.erase(*reference) > 0) {
        writeTimer_.start();
    }
}

void GnomeKeybindingHotKeyService::write() {
    writeBinding(bindings_.empty() ? std::string() : bindings_.begin()->second);
}

void GnomeKeybindingHotKeyService::writeBinding(const std::string& binding) {
    if (binding == written_) {
        return;
    }
    // The settings report this service's own changes at once, one key at a time.
    const QScopedValueRollback writing(writing_, true);
    written_ = binding;
    if (binding.empty()) {
        changeListing(mediaKeys_, entry_.path, false);
        g_settings_reset(keybinding_, "binding");
        return;
    }
    g_settings_delay(keybinding_);
    g_settings_set_string(keybinding_, "name", entry_.name.c_str());
    g_settings_set_string(keybinding_, "command", command_.c_str());
    g_settings_set_string(keybinding_, "binding", binding.c_str());
    g_settings_apply(keybinding_);
    if (!isListed(mediaKeys_, entry_.path)) {
        changeListing(mediaKeys_, entry_.path, true);
    }
}

// The binding as the user left it in the desktop's settings: none once the entry is off the list
// or its binding empty. A text that does not read as a combination changes nothing.
void GnomeKeybindingHotKeyService::readUserChange() {
    const std::string binding = isListed(mediaKeys_, entry_.path) ? storedBinding() : "";
    if (writing_ || binding == written_ || writeTimer_.isActive()) {
        return;
    }
    const auto combination = AcceleratorReader(keymap_).fromGtk(binding);
    if (!binding.empty() && !combination) {
        return;
    }
    written_ = binding;
    onUserChange_(combination);
}

std::string GnomeKeybindingHotKeyService::storedBinding() const {
    return stringSetting(keybinding_, "binding");
}

} // namespace platform::linux_desktop
