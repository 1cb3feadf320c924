#pragma once

#include "platform/linux/XkbKeyboardLayout.h"

namespace platform::linux_desktop {

// The keyboard layout of the display the application runs on. On X11 it is the X server's
// keymap and group, followed through the server's XKB notifications, so that a change of layout
// shows without a restart. Without an X server (offscreen, other display servers) it is built
// from the default layout names ($XKB_DEFAULT_LAYOUT, else us). Made at the first call, which
// should come after the QGuiApplication has been created; it lives as long as the process.
[[nodiscard]] XkbKeyboardLayout& displayKeyboardLayout();

} // namespace platform::linux_desktop
