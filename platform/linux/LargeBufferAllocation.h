#pragma once

namespace platform::linux_desktop {

// Keeps buffers of a few MiB (a large note, its UTF-8 copy) in the heap instead of giving each
// its own mapping: every keystroke in such a note allocates and frees several of them, and a
// fresh mapping costs a page fault per 4 KiB on first touch.
void keepLargeBuffersInHeap();

} // namespace platform::linux_desktop
