#pragma once

#include "KeyboardShortcuts/LocalEventMonitor.h"

#include <QObject>

class QEvent;

namespace KeyboardShortcuts::internal {

// An application-wide Qt event filter that hands the events of chosen types to a callback as
// they reach the application's windows, before any widget sees them, and drops or replaces them
// as the callback answers.
class ApplicationEventFilter final : public QObject {
public:
    ApplicationEventFilter(std::uint64_t events, EventFilter callback);

    // Both may be called any number of times; a repeat does nothing.
    void install();
    void remove();

    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    [[nodiscard]] std::optional<platform::Event> translate(const QEvent& event) const;
    // True when the original is to be dropped: the callback swallowed it or another one was
    // delivered in its place.
    bool deliverAnswer(QObject* receiver, const QEvent& original, const platform::Event& seen,
                       const std::optional<platform::Event>& answer);

    std::uint64_t events_;
    EventFilter callback_;
    bool installed_ = false;
    bool deliveringReplacement_ = false;
};

} // namespace KeyboardShortcuts::internal
