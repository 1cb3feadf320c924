#pragma once

#include "platform/NotificationCenter.h"
#include "platform/Services.h"
#include "tests/support/FakeHotKeyService.h"
#include "tests/support/FakeLoginItems.h"
#include "tests/support/FakeMainQueue.h"
#include "tests/support/FakePasteboard.h"
#include "tests/support/FakePreferencesStore.h"
#include "tests/support/FakeSystemLog.h"
#include "tests/support/FakeWorkspace.h"

namespace test_support {

// Every platform service as a fake, ready to hand to the application.
struct FakeDesktop {
    FakePreferencesStore preferences;
    platform::NotificationCenter notifications;
    FakeMainQueue mainQueue;
    FakeWorkspace workspace;
    FakePasteboard pasteboard;
    FakeLoginItems loginItems;
    FakeSystemLog systemLog;
    FakeHotKeyService hotKeys;

    [[nodiscard]] platform::Services services() {
        return {preferences, notifications, mainQueue, workspace,
                pasteboard,  loginItems,    systemLog, hotKeys};
    }
};

} // namespace test_support
