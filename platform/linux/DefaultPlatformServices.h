#pragma once

#include "KeyboardShortcuts/PlatformServices.h"

// The library set up on the Linux desktop the program runs on, in one call.
namespace KeyboardShortcuts {

// What installDefaultPlatformServices() makes unless the application brings its own.
struct DefaultPlatformOptions {
    // Where the shortcuts are kept: by default "shortcuts.json" in the application's own
    // configuration folder (QStandardPaths::AppConfigLocation), written shortly after each change
    // and when the QApplication goes.
    platform::PreferencesStore* preferences = nullptr;
    // The system-wide hot keys: by default the desktop's GlobalShortcuts portal on a Wayland
    // session (which lists each name with its description), X key grabs elsewhere.
    platform::HotKeyService* hotKeys = nullptr;
    // The combinations the desktop and other programs already use: by default other X clients'
    // grabs and the shortcut settings of GNOME and KDE.
    platform::SystemHotKeys* systemHotKeys = nullptr;
};

// Installs the services the library needs, with the display's keyboard layout and key
// translation, and the tracking of the application's menus; where the desktop offers no global
// shortcuts, says so in one line. Call it once, after the QApplication is made and before any
// other use of the library. What it makes lives until the QApplication is destroyed.
const PlatformServices& installDefaultPlatformServices(const DefaultPlatformOptions& options = {});

} // namespace KeyboardShortcuts
