#include "KeyboardShortcuts/EventStream.h"

#include "KeyboardShortcuts/internal/StreamBuffer.h"
#include "platform/MainQueue.h"

namespace KeyboardShortcuts {

EventStream::EventStream(std::shared_ptr<internal::StreamBuffer> buffer)
    : buffer_(std::move(buffer)) {}

EventStream& EventStream::operator=(EventStream&& other) noexcept {
    if (this != &other) {
        cancel();
        buffer_ = std::move(other.buffer_);
    }
    return *this;
}

EventStream::~EventStream() {
    cancel();
}

std::optional<EventType> EventStream::next() {
    return buffer_ ? buffer_->next() : std::nullopt;
}

void EventStream::onElement(Callback callback) {
    if (buffer_) {
        buffer_->deliverTo(std::move(callback));
    }
}

void EventStream::cancel() {
    if (buffer_) {
        buffer_->finish();
    }
}

namespace internal {

StreamBuffer::StreamBuffer(platform::MainQueue& mainQueue, std::optional<EventType> filter)
    : mainQueue_(mainQueue), filter_(filter) {}

void StreamBuffer::setTermination(Work termination) {
    const std::scoped_lock lock(mutex_);
    termination_ = std::move(termination);
}

void StreamBuffer::yield(EventType element) {
    if (filter_ && *filter_ != element) {
        return;
    }
    EventStream::Callback callback;
    {
        const std::scoped_lock lock(mutex_);
        if (finished_) {
            return;
        }
        if (!callback_) {
            elements_.push_back(element);
            available_.notify_one();
            return;
        }
        callback = callback_;
    }
    callback(element);
}

void StreamBuffer::deliverTo(EventStream::Callback callback) {
    // Installed on the main thread, where elements are yielded, so that the buffered ones come
    // out before any later one.
    mainQueue_.post([this, self = shared_from_this(), callback = std::move(callback)] {
        std::deque<EventType> buffered;
        {
            const std::scoped_lock lock(mutex_);
            if (finished_) {
                return;
            }
            callback_ = callback;
            buffered.swap(elements_);
            available_.notify_all();
        }
        for (const EventType element : buffered) {
            callback(element);
        }
    });
}

std::optional<EventType> StreamBuffer::next() {
    std::unique_lock lock(mutex_);
    available_.wait(lock, [this] { return finished_ || callback_ || !elements_.empty(); });
    if (finished_ || elements_.empty()) {
        return std::nullopt;
    }
    const EventType element = elements_.front();
    elements_.pop_front();
    return element;
}

void StreamBuffer::finish() {
    Work termination;
    {
        const std::scoped_lock lock(mutex_);
        if (finished_) {
            return;
        }
        finished_ = true;
        termination.swap(termination_);
        available_.notify_all();
    }
    if (termination) {
        mainQueue_.post(std::move(termination));
    }
}

} // namespace internal
} // namespace KeyboardShortcuts
