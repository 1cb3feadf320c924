#include "Pinlet/QuillpadApp.h"

#include "platform/Services.h"

namespace pinlet {

QuillpadApp::QuillpadApp(const platform::Services& services)
    : appDelegate_(services),
      scene_(appDelegate_.panel(), services.loginItems, services.systemLog) {
    appDelegate_.applicationDidFinishLaunching();
}

} // namespace pinlet
