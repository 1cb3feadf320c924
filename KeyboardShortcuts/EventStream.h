#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace KeyboardShortcuts {

enum class EventType : std::uint8_t { keyDown, keyUp };

namespace internal {
class StreamBuffer;
}

// The presses and releases of one name's shortcut, from the moment its registration has run on
// the main queue, in event order, buffered without bound until consumed. It is consumed from any
// thread, by waiting in next() or through a callback. Cancelling or destroying it ends it; the
// work of ending it runs on the main queue.
class EventStream {
public:
    using Callback = std::function<void(EventType)>;

    explicit EventStream(std::shared_ptr<internal::StreamBuffer> buffer);
    EventStream(EventStream&& other) noexcept = default;
    EventStream& operator=(EventStream&& other) noexcept;
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;
    ~EventStream();

    // Waits for the next element; none once the stream has ended.
    [[nodiscard]] std::optional<EventType> next();
    // From the next turn of the main queue on, hands every element, the buffered ones first, to
    // the callback on the main thread; next() then has nothing more to wait for.
    void onElement(Callback callback);
    void cancel();

private:
    std::shared_ptr<internal::StreamBuffer> buffer_;
};

} // namespace KeyboardShortcuts
