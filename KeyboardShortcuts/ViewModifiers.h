#pragma once

#include "KeyboardShortcuts/Dispatch.h"

#include <functional>

class QAbstractButton;
class QAction;
class QWidget;

// Bindings of a named shortcut to widgets: global presses and releases for as long as a widget
// is on screen, and a button or action whose own shortcut follows the name.
namespace KeyboardShortcuts {

using EventAction = std::function<void(EventType)>;

// Calls the action for each press and release of the name's shortcut while the widget is shown,
// from the turn of the main loop after it is shown. While it is hidden nothing is delivered or
// kept for later, and the hot key is released unless something else uses it. Ends with the
// widget.
void onKeyboardShortcut(QWidget& widget, const Name& name, EventAction action);
// The same for the events of one type only.
void onKeyboardShortcut(QWidget& widget, const Name& name, EventType type, Action action);
// The same two under the names that say the shortcut is global.
void onGlobalKeyboardShortcut(QWidget& widget, const Name& name, EventAction action);
void onGlobalKeyboardShortcut(QWidget& widget, const Name& name, EventType type, Action action);

// Keeps the button's (or action's) own shortcut equal to the name's, rebuilt when the name's
// shortcut changes, and none while a recorder records, so that the keys being recorded do not
// click it. Ends with the button.
//
// On X11 a registered global shortcut takes its keys before any window sees them: when the
// name's hot key is registered, the local shortcut never fires and the global handlers run
// instead. Use this for names without global handlers, or to show the keys.
void globalKeyboardShortcut(QAbstractButton& button, const Name& name);
void globalKeyboardShortcut(QAction& action, const Name& name);

} // namespace KeyboardShortcuts
