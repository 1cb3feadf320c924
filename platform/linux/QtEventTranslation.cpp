#include "platform/linux/QtEventTranslation.h"

#include "platform/KeyCodeTable.h"
#include "platform/linux/XkbKeymap.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <memory>
#include <xkbcommon/xkbcommon.h>

namespace platform::linux_desktop {
namespace {

constexpr std::uint32_t x11LockMask = 0x2;

EventType eventType(const QKeyEvent& event) {
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
    const std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(
        xkb_state_new(keymap.get()), &xkb_state_unref);
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
    const auto name = keymap.keyName(event.nativeScanCode());
    const auto code = name ? virtualKeyCodeForXkbName(*name) : std::nullopt;
    return code.value_or(unknownKeyCode);
}

const XkbKeymap& displayKeymap() {
    static const XkbKeymap keymap = [] {
        // The offscreen platform answers for X11 too, without a connection.
        const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 != nullptr && x11->connection() != nullptr) {
            if (auto fromServer = XkbKeymap::fromXServer(x11->connection())) {
                return std::move(*fromServer);
            }
        }
        return *XkbKeymap::fromNames("us");
    }();
    return keymap;
}

} // namespace

Event translateKeyEvent(const QKeyEvent& event, const XkbKeymap& keymap) {
    return Event{eventType(event), virtualKeyCode(event, keymap), modifierFlags(event),
                 event.text().toStdString(), shiftOnlyCharacters(event, keymap)};
}

Event translateKeyEvent(const QKeyEvent& event) { return translateKeyEvent(event, displayKeymap()); }

} // namespace platform::linux_desktop
