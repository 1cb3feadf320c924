#include "Pinlet/AppDelegate.h"

#include "Pinlet/ToggleShortcut.h"
#include "platform/Services.h"

namespace pinlet {

AppDelegate::AppDelegate(const platform::Services& services)
    : store_(services.preferences), panel_(store_, {services.workspace, services.pasteboard,
                                                    services.mainQueue, services.preferences}) {}

// A note that does not show at launch is built, laid out and painted only when it first shows.
void AppDelegate::applicationDidFinishLaunching() {
    if (store_.isPanelVisible()) {
        panel_.setUp();
    }
    registerToggleShortcut(weakAnchor_);
}

} // namespace pinlet
