// Memory hints: madvise where there is one.
#include "calldata/PlatformMemory.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void releasePages(const void* data, std::size_t bytes) {
#if defined(__linux__)
    static_assert(sizeof(std::uintptr_t) >= sizeof(void*));
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    // Only pages wholly inside the block: the ones at its ends may hold other data.
    const std::uintptr_t first = (begin + pageSize - 1) / pageSize * pageSize;
    const std::uintptr_t last = (begin + bytes) / pageSize * pageSize;
    if (last > first) {
        // Failing, the pages merely stay; the block is never read again either way.
        (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

void returnLargeBlocksWhenFreed() {
#if defined(__GLIBC__)
    // Blocks from 2 MiB on (a file's text, blocks of records, orders) get pages of their own; smaller
    // ones, such as the pieces of a file being written, are reused from the heap.
    (void)::mallopt(M_MMAP_THRESHOLD, 2 << 20);
#endif
}
