#include "Pinlet/AppDelegate.h"

#include "KeyboardShortcuts/PlatformServices.h"
#include "Pinlet/ToggleShortcut.h"
#include "platform/Services.h"

namespace pinlet {

AppDelegate::AppDelegate(const platform::Services& services)
    : store_(services.preferences), panel_(store_, {services.workspace, services.pasteboard,
                                                    services.mainQueue, services.preferences}) {
    KeyboardShortcuts::installPlatformServices(
        {services.preferences, services.notifications, services.mainQueue, services.hotKeys,
         services.keyboardLayout, services.keyEvents, services.systemHotKeys});
}

void AppDelegate::applicationDidFinishLaunching() {
    panel_.setUp();
    registerToggleShortcut(weakAnchor_);
}

} // namespace pinlet
