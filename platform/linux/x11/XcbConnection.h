#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <xcb/xcb.h>

class QSocketNotifier;

namespace platform::linux_desktop {

struct XcbDisconnect {
    void operator()(xcb_connection_t* connection) const;
};

// An X connection of a component's own, apart from the toolkit's.
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

// The toolkit's own connection; none when the application does not run on an X server.
[[nodiscard]] xcb_connection_t* applicationConnection();

// The display's name for messages: the given one, or $DISPLAY's.
[[nodiscard]] std::string displayLabel(const std::string& displayName);

// Connects to the display (empty: $DISPLAY). Throws std::runtime_error naming the display
// when it cannot.
[[nodiscard]] XcbConnection connectToDisplay(const std::string& displayName);

// The event's type without the bit that marks events sent by other clients.
[[nodiscard]] std::uint8_t eventType(const xcb_generic_event_t& event);

// Delivers the events of a connection from the Qt event loop: those that arrive on its socket,
// and those that xcb queued while the component waited for a reply.
class XcbEventWatch {
public:
    using EventHandler = std::function<void(const xcb_generic_event_t&)>;

    // afterEvents runs once after each batch of events.
    XcbEventWatch(
        xcb_connection_t* connection, EventHandler handleEvent,
        std::function<void()> afterEvents = [] {});
    ~XcbEventWatch();
    XcbEventWatch(const XcbEventWatch&) = delete;
    XcbEventWatch& operator=(const XcbEventWatch&) = delete;

    // Reads what the server has sent and delivers it; also for callers without an event loop.
    void dispatchEvents();

private:
    void dispatchQueuedEvents();
    void finishBatch();

    xcb_connection_t* connection_;
    EventHandler handleEvent_;
    std::function<void()> afterEvents_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace platform::linux_desktop
