#pragma once

#include "platform/Event.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace KeyboardShortcuts {

// Sees an event and answers it unchanged to let it through, another event to deliver that one in
// its place, or none to swallow it.
using EventFilter = std::function<std::optional<platform::Event>(const platform::Event&)>;

// An event type mask has bit n set for event type n.
[[nodiscard]] constexpr std::uint64_t eventMask(platform::EventType type) {
    return std::uint64_t{1} << static_cast<unsigned>(type);
}

namespace internal {
class ApplicationEventFilter;
}

// Looks at the application's own events of the chosen types before the rest of the application
// does: as the windowing system hands them to the application's windows. Idle until started;
// stops for good when destroyed.
class LocalEventMonitor {
public:
    LocalEventMonitor(std::uint64_t events, EventFilter callback);
    LocalEventMonitor(const LocalEventMonitor&) = delete;
    LocalEventMonitor& operator=(const LocalEventMonitor&) = delete;
    ~LocalEventMonitor();

    // Returns the monitor itself, so that making and starting read as one expression.
    LocalEventMonitor& start();

private:
    std::unique_ptr<internal::ApplicationEventFilter> filter_;
};

// Filters the application's pending events while a menu holds the keyboard: started when a
// menu opens, stopped when it closes, any number of times. Starting a started monitor or
// stopping a stopped one does nothing; destroying it stops it.
class RunLoopLocalEventMonitor {
public:
    RunLoopLocalEventMonitor(std::uint64_t events, EventFilter callback);
    RunLoopLocalEventMonitor(const RunLoopLocalEventMonitor&) = delete;
    RunLoopLocalEventMonitor& operator=(const RunLoopLocalEventMonitor&) = delete;
    ~RunLoopLocalEventMonitor();

    void start();
    void stop();

private:
    std::unique_ptr<internal::ApplicationEventFilter> filter_;
};

} // namespace KeyboardShortcuts
