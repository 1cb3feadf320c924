#pragma once

#include "platform/MainQueue.h"

#include <deque>
#include <map>

namespace test_support {

// Runs posted work only when the test says so, on a clock the test advances. Main thread only.
class FakeMainQueue final : public platform::MainQueue {
public:
    void post(Work work) override { pending_.push_back(std::move(work)); }
    void postAfter(std::chrono::milliseconds delay, Work work) override {
        delayed_.emplace(now_ + delay, std::move(work));
    }

    // Runs the work posted so far, and whatever that work posts in turn.
    void runPending() {
        while (!pending_.empty()) {
            const Work work = std::move(pending_.front());
            pending_.pop_front();
            work();
        }
    }
    // Moves the clock forward, running delayed work as it falls due, in time order.
    void advance(std::chrono::milliseconds duration) {
        const auto target = now_ + duration;
        while (!delayed_.empty() && delayed_.begin()->first <= target) {
            now_ = delayed_.begin()->first;
            const Work work = std::move(delayed_.begin()->second);
            delayed_.erase(delayed_.begin());
            work();
            runPending();
        }
        now_ = target;
    }

private:
    std::deque<Work> pending_;
    std::multimap<std::chrono::milliseconds, Work> delayed_; // by when it falls due
    std::chrono::milliseconds now_{0};
};

} // namespace test_support
