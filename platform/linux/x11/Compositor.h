#pragma once

namespace platform::linux_desktop {

// Whether translucent windows are blended with what lies below them. On X11 that needs a
// compositing manager; other display servers always composite.
[[nodiscard]] bool isCompositing();

} // namespace platform::linux_desktop
