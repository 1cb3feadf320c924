#include "platform/linux/x11/DisplayKeyboardLayout.h"

#include "platform/linux/x11/XcbConnection.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <array>
#include <cstring>
#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

namespace platform::linux_desktop {
namespace {

// The XKB event kinds of the X protocol. All XKB events share one event code and carry their
// kind in the second byte; the xcb header that names them cannot be compiled as C++.
constexpr std::uint8_t newKeyboardNotify = 0;
constexpr std::uint8_t mapNotify = 1;
constexpr std::uint8_t stateNotify = 2;
constexpr std::size_t xkbKindOffset = 1;
constexpr std::size_t lockedGroupOffset = 18; // in a state notification

std::uint32_t lockedGroup(xcb_connection_t* connection, const XkbKeymap& keymap) {
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    xkb_state* state = xkb_x11_state_new_from_device(keymap.get(), connection, device);
    if (state == nullptr) {
        return 0;
    }
    const xkb_layout_index_t group = xkb_state_serialize_layout(state, XKB_STATE_LAYOUT_LOCKED);
    xkb_state_unref(state);
    return group;
}

std::uint8_t xkbEventCode(xcb_connection_t* connection) {
    std::uint8_t firstEvent = 0;
    xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                XKB_X11_MIN_MINOR_XKB_VERSION, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                nullptr, nullptr, &firstEvent, nullptr);
    return firstEvent;
}

// The X server's layout, kept in step with it: a new keymap is read at once, a change of the
// locked group is applied. Qt has asked for these notifications on its own connection.
class XServerLayout final : public QAbstractNativeEventFilter {
public:
    XServerLayout(xcb_connection_t* connection, XkbKeymap keymap)
        : connection_(connection), xkbEventCode_(xkbEventCode(connection)),
          layout_(std::move(keymap)) {
        layout_.setCurrentGroup(lockedGroup(connection_, layout_.keymap()));
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    [[nodiscard]] XkbKeyboardLayout& layout() { return layout_; }

    bool nativeEventFilter(const QByteArray& eventType, void* message,
                           qintptr* /*result*/) override {
        if (eventType == "xcb_generic_event_t") {
            handle(static_cast<const xcb_generic_event_t*>(message));
        }
        return false; // Qt needs every one of them as well
    }

private:
    void handle(const xcb_generic_event_t* event) {
        if ((event->response_type & 0x7FU) != xkbEventCode_) {
            return;
        }
        std::array<std::uint8_t, sizeof(xcb_generic_event_t)> bytes{};
        std::memcpy(bytes.data(), event, bytes.size());
        switch (bytes[xkbKindOffset]) {
        case newKeyboardNotify:
        case mapNotify:
            reloadKeymap();
            break;
        case stateNotify:
            layout_.setCurrentGroup(bytes[lockedGroupOffset]);
            break;
        default:
            break;
        }
    }

    void reloadKeymap() {
        if (auto keymap = XkbKeymap::fromXServer(connection_)) {
            const std::uint32_t group = lockedGroup(connection_, *keymap);
            layout_.setKeymap(std::move(*keymap), group);
        }
    }

    xcb_connection_t* connection_;
    std::uint8_t xkbEventCode_;
    XkbKeyboardLayout layout_;
};

// None when the application does not run on an X server with the XKB extension.
XServerLayout* followXServer() {
    xcb_connection_t* connection = applicationConnection();
    if (connection == nullptr) {
        return nullptr;
    }
    auto keymap = XkbKeymap::fromXServer(connection);
    return keymap ? new XServerLayout(connection, std::move(*keymap)) : nullptr;
}

XkbKeymap defaultKeymap() {
    auto keymap = XkbKeymap::fromNames({});
    return keymap ? std::move(*keymap) : XkbKeymap::empty();
}

} // namespace

XkbKeyboardLayout& displayKeyboardLayout() {
    // Made once and kept for the life of the process, the X server's installed as a filter on
    // the application for good.
    static XServerLayout* const followed = followXServer();
    static XkbKeyboardLayout* const fixed =
        followed == nullptr ? new XkbKeyboardLayout(defaultKeymap()) : nullptr;
    return followed != nullptr ? followed->layout() : *fixed;
}

} // namespace platform::linux_desktop
