#pragma once

namespace platform::linux_desktop {

// Keeps buffers of a few MiB (a large note, its UTF-8 copy) in the heap instead of giving each
// its own mapping: every keystroke in such a note allocates and frees several of them, and a
// fresh mapping costs a page fault per 4 KiB on first touch.
void keepLargeBuffersInHeap();

// Hands back to the system the heap's pages that hold nothing. The heap shrinks by itself only
// from its top, and start-up leaves below what it keeps much that it has freed (the icon theme's
// index, parsed once).
void giveBackFreedHeap();

} // namespace platform::linux_desktop
