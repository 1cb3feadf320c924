#include "platform/linux/LargeBufferAllocation.h"

#include <malloc.h>

namespace platform::linux_desktop {

void keepLargeBuffersInHeap() {
    constexpr int mappingThreshold = 64 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, mappingThreshold);
    mallopt(M_TRIM_THRESHOLD, 2 * mappingThreshold);
}

void giveBackFreedHeap() {
    malloc_trim(0);
}

} // namespace platform::linux_desktop
