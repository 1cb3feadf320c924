#pragma once

#include "KeyboardShortcuts/Shortcut.h"
#include "platform/HotKeyService.h"

#include <cstdint>
#include <functional>

// The one place that talks to the desktop's hot-key service: a table of hot keys, each with a
// key-down and a key-up callback, and three modes: normal (hot keys registered), menu (hot keys
// released while a menu of the application holds the keyboard, its raw key presses matched
// instead) and disabled (hot keys released, nothing handled).
namespace KeyboardShortcuts::CarbonKeyboardShortcuts {

using Callback = std::function<void(const Shortcut&)>;

// The signature of every hot key of this layer: QPHK.
inline constexpr std::uint32_t hotKeySignature = 0x5150484B;

// Registers a new hot key under the next id, labelled for desktops that show their hot keys. A
// failure writes one line on standard output and adds no entry; the id is used up either way.
void register_(const Shortcut& shortcut, Callback onKeyDown, Callback onKeyUp,
               const platform::HotKeyLabel& label = {});
// Unregisters and removes every entry of the shortcut.
void unregister(const Shortcut& shortcut);
// Brings hot keys, the handler's event types and the menu monitor in line with
// KeyboardShortcuts::isEnabled() and the menu state.
void updateEventHandler();

// Registers again, under their own ids, the entries whose hot keys are released; an entry that
// fails is reported and dropped.
void softRegisterAll();
// The handler installed with the service, and its two halves. Each answers
// platform::HotKeyStatus::noError when it handled the event, eventNotHandled otherwise.
std::int32_t carbonKeyboardShortcutsEventHandler(const platform::KeyboardEvent& event);
std::int32_t handleHotKeyEvent(const platform::KeyboardEvent& event);
std::int32_t handleRawKeyEvent(const platform::KeyboardEvent& event);

} // namespace KeyboardShortcuts::CarbonKeyboardShortcuts
