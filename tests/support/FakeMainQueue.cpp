#include "tests/support/FakeMainQueue.h"

#include <algorithm>

namespace test_support {

void FakeMainQueue::post(Work work) {
    const std::scoped_lock lock(mutex_);
    pending_.push_back(std::move(work));
}

void FakeMainQueue::postAfter(std::chrono::milliseconds delay, Work work) {
    const std::scoped_lock lock(mutex_);
    delayed_.push_back({now_ + delay, std::move(work)});
}

void FakeMainQueue::runPending() {
    for (;;) {
        std::vector<Work> batch;
        {
            const std::scoped_lock lock(mutex_);
            batch.swap(pending_);
        }
        if (batch.empty()) {
            return;
        }
        for (auto& work : batch) {
            work();
        }
    }
}

void FakeMainQueue::advance(std::chrono::milliseconds duration) {
    const auto target = now_ + duration;
    for (;;) {
        Work next;
        {
            const std::scoped_lock lock(mutex_);
            const auto earliest = std::ranges::min_element(delayed_, {}, &Delayed::due);
            if (earliest == delayed_.end() || earliest->due > target) {
                break;
            }
            now_ = earliest->due;
            next = std::move(earliest->work);
            delayed_.erase(earliest);
        }
        next();
        runPending();
    }
    now_ = target;
}

} // namespace test_support
