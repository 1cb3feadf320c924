#include "platform/linux/x11/QtEventTranslation.h"

#include "platform/linux/XkbKeymap.h"
#include "platform/linux/x11/DisplayKeyboardLayout.h"
#include "platform/linux/x11/XcbConnection.h"
#include "platform/linux/x11/XcbPointer.h"

#include <QKeyEvent>
#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <xkbcommon/xkbcommon.h>

namespace platform::linux_desktop {
namespace {

constexpr std::uint32_t x11LockMask = 0x2;

bool isModifierKey(int qtKey) {
    static constexpr std::array modifierKeys{
        Qt::Key_Shift,   Qt::Key_Control,    Qt::Key_Meta,       Qt::Key_Alt,     Qt::Key_AltGr,
        Qt::Key_Super_L, Qt::Key_Super_R,    Qt::Key_Hyper_L,    Qt::Key_Hyper_R, Qt::Key_CapsLock,
        Qt::Key_NumLock, Qt::Key_ScrollLock, Qt::Key_Mode_switch};
    return std::ranges::find(modifierKeys, qtKey) != modifierKeys.end();
}

// A modifier key changes the flags of the keys that follow; it is no key press of its own.
EventType eventType(const QKeyEvent& event) {
    if (isModifierKey(event.key())) {
        return EventType::flagsChanged;
    }
    return event.type() == QEvent::KeyRelease ? EventType::keyUp : EventType::keyDown;
}

std::uint64_t modifierFlags(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    std::uint64_t flags = 0;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        flags |= ModifierFlags::shift;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        flags |= ModifierFlags::control;
    }
    if (modifiers.testFlag(Qt::AltModifier)) {
        flags |= ModifierFlags::option;
    }
    if (modifiers.testFlag(Qt::MetaModifier)) {
        flags |= ModifierFlags::command;
    }
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        flags |= ModifierFlags::numericPad;
    }
    if ((event.nativeModifiers() & x11LockMask) != 0) {
        flags |= ModifierFlags::capsLock;
    }
    return flags;
}

// The XKB group travels in bits 13 and 14 of the X11 key event state.
xkb_layout_index_t layoutGroup(const QKeyEvent& event) {
    return (event.nativeModifiers() >> 13U) & 0x3U;
}

std::string shiftOnlyCharacters(const QKeyEvent& event, const XkbKeymap& keymap) {
    const std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(xkb_state_new(keymap.get()),
                                                                       &xkb_state_unref);
    if (!state) {
        return {};
    }
    const bool shift = event.modifiers().testFlag(Qt::ShiftModifier);
    const xkb_mod_index_t shiftIndex = xkb_keymap_mod_get_index(keymap.get(), XKB_MOD_NAME_SHIFT);
    const xkb_mod_mask_t shiftMask = shift ? (1U << shiftIndex) : 0U;
    xkb_state_update_mask(state.get(), shiftMask, 0, 0, 0, 0, layoutGroup(event));
    char buffer[64] = {};
    xkb_state_key_get_utf8(state.get(), event.nativeScanCode(), buffer, sizeof buffer);
    return buffer;
}

std::uint16_t virtualKeyCode(const QKeyEvent& event, const XkbKeymap& keymap) {
    return keymap.virtualKeyCode(event.nativeScanCode()).value_or(unknownKeyCode);
}

std::optional<SpecialKey> functionKey(int qtKey) {
    if (qtKey < Qt::Key_F1 || qtKey > Qt::Key_F35) {
        return std::nullopt;
    }
    return static_cast<SpecialKey>(static_cast<int>(SpecialKey::f1) + (qtKey - Qt::Key_F1));
}

std::optional<SpecialKey> specialKey(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Tab:
        return SpecialKey::tab;
    case Qt::Key_Backtab:
        return SpecialKey::backTab;
    case Qt::Key_Backspace:
        return SpecialKey::delete_;
    case Qt::Key_Delete:
        return SpecialKey::deleteForward;
    case Qt::Key_Return:
        return SpecialKey::carriageReturn;
    case Qt::Key_Enter:
        return SpecialKey::enter;
    case Qt::Key_Up:
        return SpecialKey::upArrow;
    case Qt::Key_Down:
        return SpecialKey::downArrow;
    case Qt::Key_Left:
        return SpecialKey::leftArrow;
    case Qt::Key_Right:
        return SpecialKey::rightArrow;
    case Qt::Key_Home:
        return SpecialKey::home;
    case Qt::Key_End:
        return SpecialKey::end;
    case Qt::Key_PageUp:
        return SpecialKey::pageUp;
    case Qt::Key_PageDown:
        return SpecialKey::pageDown;
    case Qt::Key_Help:
    case Qt::Key_Insert: // the help key sits where PC keyboards have Insert
        return SpecialKey::help;
    default:
        return functionKey(event.key());
    }
}

// Whether the X server has the key down at this moment; false where there is none to ask.
bool isHeldOnDisplay(std::uint32_t keycode) {
    xcb_connection_t* connection = applicationConnection();
    if (connection == nullptr || keycode > 255) {
        return false;
    }
    const auto keymap =
        xcbOwned(xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr));
    return keymap && (keymap->keys[keycode / 8] & (1U << (keycode % 8))) != 0;
}

// The X server repeats a held key as a release and a press of the same time. Qt marks them as
// repeats only when the press is already queued behind the release, which the server's own
// repeats often are not. A release of a key the server still holds is the repeat's, and so is
// the press of that key that follows it, until a real release.
class AutoRepeatTracker {
public:
    bool isARepeat(const QKeyEvent& event) {
        const std::uint32_t key = event.nativeScanCode();
        if (event.type() == QEvent::KeyPress) {
            if (repeatingKey_ != key) {
                repeatingKey_.reset();
            }
            return event.isAutoRepeat() || repeatingKey_ == key;
        }
        if (event.isAutoRepeat() || isHeldOnDisplay(key)) {
            repeatingKey_ = key;
            return true;
        }
        if (repeatingKey_ == key) {
            repeatingKey_.reset();
        }
        return false;
    }

private:
    std::optional<std::uint32_t> repeatingKey_;
};

class DisplayKeyEventTranslator final : public KeyEventTranslator {
public:
    [[nodiscard]] Event translate(const QKeyEvent& event) override {
        return translateKeyEvent(event);
    }
};

} // namespace

Event translateKeyEvent(const QKeyEvent& event, const XkbKeymap& keymap) {
    return Event{.type = eventType(event),
                 .keyCode = virtualKeyCode(event, keymap),
                 .modifierFlags = modifierFlags(event),
                 .characters = event.text().toStdString(),
                 .charactersIgnoringModifiers = shiftOnlyCharacters(event, keymap),
                 .specialKey = specialKey(event),
                 .isARepeat = event.isAutoRepeat(),
                 .locationInWindow = {}};
}

Event translateKeyEvent(const QKeyEvent& event) {
    static AutoRepeatTracker autoRepeat;
    Event translated = translateKeyEvent(event, displayKeyboardLayout().keymap());
    translated.isARepeat = autoRepeat.isARepeat(event);
    return translated;
}

KeyEventTranslator& displayKeyEventTranslator() {
    static DisplayKeyEventTranslator translator;
    return translator;
}

} // namespace platform::linux_desktop
