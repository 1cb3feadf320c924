#pragma once

#include "KeyboardShortcuts/PlatformServices.h"
#include "KeyboardShortcuts/internal/Testing.h"
#include "platform/NotificationCenter.h"
#include "tests/support/FakeHotKeyService.h"
#include "tests/support/FakeMainQueue.h"
#include "tests/support/FakePreferencesStore.h"

namespace test_support {

// The shortcut library installed over fakes from a fresh state, and reset again when this goes.
struct FakeLibraryServices {
    FakePreferencesStore preferences;
    platform::NotificationCenter notifications;
    FakeMainQueue mainQueue;
    FakeHotKeyService hotKeys;

    FakeLibraryServices() {
        KeyboardShortcuts::internal::resetLibraryState();
        KeyboardShortcuts::installPlatformServices(
            {preferences, notifications, mainQueue, hotKeys});
    }
    ~FakeLibraryServices() { KeyboardShortcuts::internal::resetLibraryState(); }
    FakeLibraryServices(const FakeLibraryServices&) = delete;
    FakeLibraryServices& operator=(const FakeLibraryServices&) = delete;
};

} // namespace test_support
