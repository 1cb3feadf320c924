#pragma once

#include <chrono>
#include <functional>

namespace platform {

// Work posted to the main thread, run at a later turn of the main loop in posting order.
class MainQueue {
public:
    using Work = std::function<void()>;

    MainQueue() = default;
    MainQueue(const MainQueue&) = delete;
    MainQueue& operator=(const MainQueue&) = delete;
    virtual ~MainQueue() = default;

    // Safe to call from any thread.
    virtual void post(Work work) = 0;
    // Main thread only: runs the work once the delay has passed on a monotonic clock.
    virtual void postAfter(std::chrono::milliseconds delay, Work work) = 0;
};

} // namespace platform
