#pragma once

#include "platform/HotKeyService.h"
#include "platform/KeyEventTranslator.h"
#include "platform/KeyboardLayout.h"
#include "platform/LoginItems.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/Pasteboard.h"
#include "platform/PreferencesStore.h"
#include "platform/SystemHotKeys.h"
#include "platform/SystemLog.h"
#include "platform/Workspace.h"

namespace platform {

// The desktop services, installed once at start-up: the Linux implementations in the
// application, fakes in tests.
struct Services {
    PreferencesStore& preferences;
    NotificationCenter& notifications;
    MainQueue& mainQueue;
    Workspace& workspace;
    Pasteboard& pasteboard;
    LoginItems& loginItems;
    SystemLog& systemLog;
    HotKeyService& hotKeys;
    KeyboardLayout& keyboardLayout;
    KeyEventTranslator& keyEvents;
    SystemHotKeys& systemHotKeys;
};

} // namespace platform
