#pragma once

#include "KeyboardShortcuts/PlatformServices.h"
#include "KeyboardShortcuts/internal/Testing.h"
#include "platform/NotificationCenter.h"
#include "tests/support/FakeHotKeyService.h"
#include "tests/support/FakeMainQueue.h"
#include "tests/support/FakePreferencesStore.h"
#include "tests/support/FakeSystemHotKeys.h"

namespace test_support {

// The shortcut library over fakes and the given keyboard services, reset on the way in and out.
struct FakeLibraryServices {
    FakePreferencesStore preferences;
    platform::NotificationCenter notifications;
    FakeMainQueue mainQueue;
    FakeHotKeyService hotKeys;
    FakeSystemHotKeys systemHotKeys;

    FakeLibraryServices(platform::KeyboardLayout& layout, platform::KeyEventTranslator& keyEvents) {
        KeyboardShortcuts::internal::resetLibraryState();
        KeyboardShortcuts::installPlatformServices(
            {preferences, notifications, mainQueue, hotKeys, layout, keyEvents, systemHotKeys});
    }
    ~FakeLibraryServices() { KeyboardShortcuts::internal::resetLibraryState(); }
};

} // namespace test_support
