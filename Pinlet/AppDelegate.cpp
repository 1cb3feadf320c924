#include "Pinlet/AppDelegate.h"

#include "KeyboardShortcuts/PlatformServices.h"
#include "Pinlet/ToggleShortcut.h"
#include "platform/Services.h"
#include "platform/linux/DisplayKeyboardLayout.h"
#include "platform/linux/QtEventTranslation.h"

namespace pinlet {

AppDelegate::AppDelegate(const platform::Services& services)
    : store_(services.preferences), panel_(store_, {services.workspace, services.pasteboard,
                                                    services.mainQueue, services.preferences}) {
    KeyboardShortcuts::installPlatformServices(
        {services.preferences, services.notifications, services.mainQueue, services.hotKeys,
         platform::linux_desktop::displayKeyboardLayout(),
         platform::linux_desktop::displayKeyEventTranslator()});
}

void AppDelegate::applicationDidFinishLaunching() {
    panel_.setUp();
    registerToggleShortcut(weakAnchor_);
}

} // namespace pinlet
