#pragma once

#include "KeyboardShortcuts/EventStream.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace platform {
class MainQueue;
}

namespace KeyboardShortcuts::internal {

// What a stream's consumer and the dispatch on the main thread share. The consumer may sit on
// any thread, so this is the one place of the library that takes a lock.
class StreamBuffer : public std::enable_shared_from_this<StreamBuffer> {
public:
    using Work = std::function<void()>;

    // Only elements equal to the filter are kept, when there is one. The termination work is
    // posted to the main queue once, when the stream ends.
    StreamBuffer(platform::MainQueue& mainQueue, std::optional<EventType> filter);

    void setTermination(Work termination);
    // Main thread.
    void yield(EventType element);
    void deliverTo(EventStream::Callback callback);
    std::optional<EventType> next();
    void finish();

private:
    platform::MainQueue& mainQueue_;
    const std::optional<EventType> filter_;
    std::mutex mutex_;
    std::condition_variable available_;
    std::deque<EventType> elements_;
    EventStream::Callback callback_;
    Work termination_;
    bool finished_ = false;
};

} // namespace KeyboardShortcuts::internal
