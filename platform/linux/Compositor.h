#pragma once

#include <cstdint>

namespace platform::linux_desktop {

// Whether translucent windows are blended with what lies below them. On X11 that needs a
// compositing manager; other display servers always composite.
[[nodiscard]] bool isCompositing();

// Lets the parts that a window's shape cuts off show what lies below it where nothing
// composites: the server paints them black for a window with a colormap of its own, and Qt gives
// every window one. The window takes the screen's default colormap when it has the default
// visual; otherwise (a translucent window) nothing changes.
void showWhatLiesBelowShape(std::uint32_t window);

} // namespace platform::linux_desktop
