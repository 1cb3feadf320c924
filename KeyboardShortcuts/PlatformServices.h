#pragma once

namespace platform {
class HotKeyService;
class KeyboardLayout;
class MainQueue;
class NotificationCenter;
class PreferencesStore;
} // namespace platform

namespace KeyboardShortcuts {

// What the library needs of the desktop. Every service must outlive its installation.
struct PlatformServices {
    platform::PreferencesStore& preferences;
    platform::NotificationCenter& notifications;
    platform::MainQueue& mainQueue;
    platform::HotKeyService& hotKeys;
    // The layout through which keys are shown; none: the layout of the display.
    platform::KeyboardLayout* keyboardLayout = nullptr;
};

// Installs the services, on the main thread, before the first name is made or handler added.
void installPlatformServices(const PlatformServices& services);

} // namespace KeyboardShortcuts
