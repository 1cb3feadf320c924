#include "platform/linux/x11/X11UserTime.h"

#include "platform/linux/x11/XcbConnection.h"
#include "platform/linux/x11/XcbPointer.h"

#include <QCoreApplication>
#include <X11/extensions/XI2.h>
#include <charconv>
#include <cstring>
#include <xcb/xcb.h>

namespace platform::linux_desktop {

namespace {

// What every XInput 2 device event starts with.
struct XInputDeviceEventHead {
    std::uint8_t responseType;
    std::uint8_t extension;
    std::uint16_t sequence;
    std::uint32_t length;
    std::uint16_t eventType;
    std::uint16_t deviceId;
    std::uint32_t time;
};

bool isLater(std::uint32_t time, std::uint32_t than) {
    return static_cast<std::int32_t>(time - than) > 0;
}

bool isUserInput(std::uint16_t xinputEventType) {
    switch (xinputEventType) {
    case XI_KeyPress:
    case XI_KeyRelease:
    case XI_ButtonPress:
    case XI_ButtonRelease:
    case XI_TouchBegin:
    case XI_TouchEnd:
        return true;
    default:
        return false;
    }
}

std::optional<std::uint8_t> extensionOpcode(xcb_connection_t* connection, const char* name) {
    const auto reply = xcbOwned(xcb_query_extension_reply(
        connection,
        xcb_query_extension(connection, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    if (!reply || reply->present == 0) {
        return std::nullopt;
    }
    return reply->major_opcode;
}

} // namespace

void X11UserTime::watchApplicationInput() {
    xcb_connection_t* connection = applicationConnection();
    if (connection == nullptr) {
        return;
    }
    inputExtensionOpcode_ = extensionOpcode(connection, "XInputExtension");
    QCoreApplication::instance()->installNativeEventFilter(this);
}

void X11UserTime::record(std::uint32_t timestamp) {
    // Zero is CurrentTime, no time at all.
    if (timestamp != XCB_CURRENT_TIME && (!latest_ || isLater(timestamp, *latest_))) {
        latest_ = timestamp;
    }
}

void X11UserTime::recordLaunch(const std::string& startupId) {
    const std::string marker = "_TIME";
    const std::size_t at = startupId.rfind(marker);
    if (at == std::string::npos) {
        return;
    }
    const char* digits = startupId.c_str() + at + marker.size();
    std::uint32_t time = 0;
    const auto [end, error] = std::from_chars(digits, startupId.c_str() + startupId.size(), time);
    if (error == std::errc() && *end == '\0') {
        record(time);
    }
}

bool X11UserTime::nativeEventFilter(const QByteArray& eventType, void* message,
                                    qintptr* /*result*/) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE:
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE:
        // Key and button events share one layout.
        record(static_cast<const xcb_key_press_event_t*>(message)->time);
        break;
    case XCB_GE_GENERIC: {
        const auto* head = static_cast<const XInputDeviceEventHead*>(message);
        if (head->extension == inputExtensionOpcode_ && isUserInput(head->eventType)) {
            record(head->time);
        }
        break;
    }
    default:
        break;
    }
    return false;
}

} // namespace platform::linux_desktop
