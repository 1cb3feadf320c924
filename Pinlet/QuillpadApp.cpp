#include "Pinlet/QuillpadApp.h"

#include "KeyboardShortcuts/ConflictChecks.h"
#include "Pinlet/MainMenu.h"
#include "platform/Services.h"

namespace pinlet {

QuillpadApp::QuillpadApp(const platform::Services& services)
    : mainMenu_(makeMainMenu()), appDelegate_(services), scene_(appDelegate_.panel(), services) {
    KeyboardShortcuts::setMainMenu(mainMenu_.get());
    appDelegate_.applicationDidFinishLaunching();
}

} // namespace pinlet
