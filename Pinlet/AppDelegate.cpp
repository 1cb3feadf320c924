#include "Pinlet/AppDelegate.h"

#include "Pinlet/ToggleShortcut.h"
#include "platform/Services.h"

namespace pinlet {

AppDelegate::AppDelegate(const platform::Services& services)
    : store_(services.preferences), panel_(store_, {services.workspace, services.pasteboard,
                                                    services.mainQueue, services.preferences}) {}

void AppDelegate::applicationDidFinishLaunching() {
    panel_.setUp();
    registerToggleShortcut(weakAnchor_);
}

} // namespace pinlet
