#pragma once

namespace platform {
class HotKeyService;
class KeyEventTranslator;
class KeyboardLayout;
class MainQueue;
class NotificationCenter;
class PreferencesStore;
class SystemHotKeys;
} // namespace platform

namespace KeyboardShortcuts {

// What the library needs of the desktop. Every service must outlive its installation.
struct PlatformServices {
    platform::PreferencesStore& preferences;
    platform::NotificationCenter& notifications;
    platform::MainQueue& mainQueue;
    platform::HotKeyService& hotKeys;
    // The layout through which keys are shown.
    platform::KeyboardLayout& keyboardLayout;
    // How the application's own key events reach the local event monitors.
    platform::KeyEventTranslator& keyEvents;
    // The combinations the desktop and other programs already use.
    platform::SystemHotKeys& systemHotKeys;
};

// Installs the services, on the main thread, before the first name is made or handler added;
// returns what it installed.
const PlatformServices& installPlatformServices(const PlatformServices& services);

} // namespace KeyboardShortcuts
