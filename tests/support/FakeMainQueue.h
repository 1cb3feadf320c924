#pragma once

#include "platform/MainQueue.h"

#include <mutex>
#include <vector>

namespace test_support {

// Runs posted work only when the test says so, on a clock the test advances.
class FakeMainQueue final : public platform::MainQueue {
public:
    void post(Work work) override;
    void postAfter(std::chrono::milliseconds delay, Work work) override;

    // Runs the work posted so far, and whatever that work posts in turn.
    void runPending();
    // Moves the clock forward, running delayed work as it falls due, in time order.
    void advance(std::chrono::milliseconds duration);

private:
    struct Delayed {
        std::chrono::milliseconds due;
        Work work;
    };

    std::mutex mutex_; // post() may come from any thread
    std::vector<Work> pending_;
    std::vector<Delayed> delayed_;
    std::chrono::milliseconds now_{0};
};

} // namespace test_support
