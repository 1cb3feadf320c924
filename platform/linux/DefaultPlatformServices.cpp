#include "platform/linux/DefaultPlatformServices.h"

#include "platform/NotificationCenter.h"
#include "platform/linux/JsonPreferencesStore.h"
#include "platform/linux/QtMainQueue.h"
#include "platform/linux/QtMenuTracking.h"
#include "platform/linux/portal/PortalHotKeyService.h"
#include "platform/linux/x11/DisplayKeyboardLayout.h"
#include "platform/linux/x11/QtEventTranslation.h"
#include "platform/linux/x11/X11HotKeyService.h"
#include "platform/linux/x11/X11SystemHotKeys.h"
#include "platform/linux/x11/X11UserTime.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdio>
#include <memory>
#include <optional>

namespace KeyboardShortcuts {
namespace {

namespace desktop = platform::linux_desktop;

// A Wayland compositor keeps the keyboard to itself: X key grabs see keys only while one of the
// application's own windows has focus.
bool isWaylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QStringLiteral("wayland") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

void sayThereAreNoGlobalShortcuts() {
    std::printf("%s: this desktop offers no global shortcuts to applications.\n",
                qPrintable(QCoreApplication::applicationName()));
    std::fflush(stdout);
}

std::filesystem::path defaultPreferencesFile() {
    return std::filesystem::path(
               QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString()) /
           "shortcuts.json";
}

// Everything made on the application's behalf, in the order its parts need each other.
struct Defaults {
    explicit Defaults(const DefaultPlatformOptions& options) {
        if (options.preferences == nullptr) {
            preferences = std::make_unique<desktop::JsonPreferencesStore>(defaultPreferencesFile());
        }
        if (options.hotKeys == nullptr || options.systemHotKeys == nullptr) {
            userTime.emplace().watchApplicationInput();
            keyGrabs = std::make_unique<desktop::X11HotKeyService>(*userTime);
        }
        if (options.hotKeys == nullptr && isWaylandSession()) {
            portal = std::make_unique<desktop::PortalHotKeyService>(
                desktop::displayKeyboardLayout().keymap(),
                QCoreApplication::applicationName().toStdString(), sayThereAreNoGlobalShortcuts);
        }
        if (options.systemHotKeys == nullptr) {
            systemHotKeys = std::make_unique<desktop::X11SystemHotKeys>(
                *keyGrabs, desktop::displayKeyboardLayout());
        }
    }

    platform::NotificationCenter notifications;
    desktop::QtMainQueue mainQueue{*QCoreApplication::instance()};
    desktop::QtMenuTracking menuTracking{notifications};
    std::optional<desktop::X11UserTime> userTime; // for key grabs of its own
    std::unique_ptr<desktop::JsonPreferencesStore> preferences;
    std::unique_ptr<desktop::X11HotKeyService> keyGrabs;
    std::unique_ptr<desktop::PortalHotKeyService> portal;
    std::unique_ptr<desktop::X11SystemHotKeys> systemHotKeys;
};

std::unique_ptr<Defaults>& defaults() {
    static std::unique_ptr<Defaults> made;
    return made;
}

platform::HotKeyService& chosenHotKeys(const DefaultPlatformOptions& options, Defaults& made) {
    if (options.hotKeys != nullptr) {
        return *options.hotKeys;
    }
    return made.portal ? static_cast<platform::HotKeyService&>(*made.portal) : *made.keyGrabs;
}

} // namespace

const PlatformServices& installDefaultPlatformServices(const DefaultPlatformOptions& options) {
    Defaults& made = *(defaults() = std::make_unique<Defaults>(options));
    // Gone with the application, while its event loop and display connection still are.
    qAddPostRoutine([] { defaults().reset(); });
    return installPlatformServices(
        {options.preferences != nullptr ? *options.preferences : *made.preferences,
         made.notifications, made.mainQueue, chosenHotKeys(options, made),
         desktop::displayKeyboardLayout(), desktop::displayKeyEventTranslator(),
         options.systemHotKeys != nullptr ? *options.systemHotKeys : *made.systemHotKeys});
}

} // namespace KeyboardShortcuts
