#pragma once

#include "platform/Event.h"
#include "platform/KeyEventTranslator.h"

class QKeyEvent;

namespace platform::linux_desktop {

class XkbKeymap;

// Turns a toolkit key event into the system's own event: the virtual key code of the physical
// key, modifier flags, characters with all modifiers and with Shift only, and the special key.
[[nodiscard]] Event translateKeyEvent(const QKeyEvent& event, const XkbKeymap& keymap);

// The same, through the keymap of the display the application runs on (displayKeyboardLayout(),
// which follows layout changes), with every key repeat of the X server marked as one.
[[nodiscard]] Event translateKeyEvent(const QKeyEvent& event);

// That translation, through the display's keymap, as the contract hands it to the shortcut
// library. It lives as long as the process.
[[nodiscard]] KeyEventTranslator& displayKeyEventTranslator();

} // namespace platform::linux_desktop
