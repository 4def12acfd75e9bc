// A hint to fetch memory that a loop will read soon (records visited in call order lie scattered).
#pragma once

#include <string_view>

inline void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// A line, at both ends: most lines cross from one cache line into the next.
inline void prefetchLine(std::string_view line) {
    prefetch(line.data());
    prefetch(line.data() + line.size());
}
