// Asks the processor to fetch records and their text while the program still works on earlier ones.
// Walks in call order visit lines that lie scattered over the files read; fetching a few ahead keeps
// them from waiting on memory at every step. A hint only: it changes no result.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/calldata/RecordList.h"

// Inlined always: GCC takes a function that does nothing but fetch for one without any effect, and drops
// every call to it.
#if defined(__GNUC__) || defined(__clang__)
#define VELKMERGE_ALWAYS_INLINE [[gnu::always_inline]]
#else
#define VELKMERGE_ALWAYS_INLINE
#endif

VELKMERGE_ALWAYS_INLINE inline void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// In a walk over `order`, at `i`: the record some steps ahead, and the text of the one half as far, whose
// record has been fetched by then. Most lines cross into a second cache line.
VELKMERGE_ALWAYS_INLINE inline void prefetchAhead(const RecordList::Entries& order, std::size_t i) {
    constexpr std::size_t distance = 16;
    if (i + distance < order.size()) {
        prefetch(order[i + distance]);
        const std::string_view text = order[i + distance / 2]->valueText();
        prefetch(text.data());
        prefetch(text.data() + text.size());
    }
}
