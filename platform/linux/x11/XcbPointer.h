#pragma once

#include <cstdlib>
#include <memory>

namespace platform::linux_desktop {

// xcb hands out its replies, errors and events from malloc: they go back with free.
struct XcbFree {
    void operator()(void* pointer) const {
        std::free(pointer); // NOLINT(cppcoreguidelines-no-malloc)
    }
};

template <typename T> using XcbPointer = std::unique_ptr<T, XcbFree>;

template <typename T> [[nodiscard]] XcbPointer<T> xcbOwned(T* pointer) {
    return XcbPointer<T>(pointer);
}

} // namespace platform::linux_desktop
