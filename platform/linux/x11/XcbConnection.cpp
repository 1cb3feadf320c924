#include "platform/linux/x11/XcbConnection.h"

#include "platform/linux/x11/XcbPointer.h"

#include <QAbstractEventDispatcher>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <cstdlib>
#include <stdexcept>
#include <xcb/xcb.h>

namespace platform::linux_desktop {

xcb_connection_t* applicationConnection() {
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    // The offscreen platform answers for X11 too, without a connection.
    return x11 != nullptr ? x11->connection() : nullptr;
}

std::string displayLabel(const std::string& displayName) {
    if (!displayName.empty()) {
        return displayName;
    }
    const char* fromEnvironment = std::getenv("DISPLAY"); // NOLINT(concurrency-mt-unsafe)
    return fromEnvironment != nullptr ? fromEnvironment : "(DISPLAY is not set)";
}

void XcbDisconnect::operator()(xcb_connection_t* connection) const {
    xcb_disconnect(connection);
}

XcbConnection connectToDisplay(const std::string& displayName) {
    XcbConnection connection(
        xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), nullptr));
    if (xcb_connection_has_error(connection.get()) != 0) {
        throw std::runtime_error("cannot connect to the X display " + displayLabel(displayName));
    }
    return connection;
}

std::uint8_t eventType(const xcb_generic_event_t& event) {
    return event.response_type & ~std::uint8_t{0x80};
}

XcbEventWatch::XcbEventWatch(xcb_connection_t* connection, EventHandler handleEvent,
                             std::function<void()> afterEvents)
    : connection_(connection), handleEvent_(std::move(handleEvent)),
      afterEvents_(std::move(afterEvents)),
      notifier_(std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection),
                                                  QSocketNotifier::Read)) {
    xcb_flush(connection_);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { dispatchEvents(); });
    // Replies read while waiting for something else can bring events along, which then sit in
    // xcb's queue with nothing left on the socket to wake the notifier.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, notifier_.get(),
                         [this] { dispatchQueuedEvents(); });
    }
}

XcbEventWatch::~XcbEventWatch() = default;

void XcbEventWatch::dispatchEvents() {
    while (const auto event = xcbOwned(xcb_poll_for_event(connection_))) {
        handleEvent_(*event);
    }
    finishBatch();
}

void XcbEventWatch::dispatchQueuedEvents() {
    while (const auto event = xcbOwned(xcb_poll_for_queued_event(connection_))) {
        handleEvent_(*event);
    }
    finishBatch();
}

void XcbEventWatch::finishBatch() {
    afterEvents_();
    // A connection that broke would keep its socket readable for ever.
    if (xcb_connection_has_error(connection_) != 0) {
        notifier_->setEnabled(false);
    }
}

} // namespace platform::linux_desktop
