#pragma once

#include <cstddef>

// For tests only: the library keeps its state for the life of the process.
namespace KeyboardShortcuts::internal {

// Forgets every hot key, handler, stream and switch, as at start.
void resetCarbonKeyboardShortcuts();
void resetDispatch();
inline void resetLibraryState() {
    resetDispatch();
    resetCarbonKeyboardShortcuts();
}

// How many hot keys the hot-key layer holds, registered or released.
[[nodiscard]] std::size_t hotKeyCount();

} // namespace KeyboardShortcuts::internal
