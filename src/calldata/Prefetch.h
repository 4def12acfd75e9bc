// A hint to fetch memory that a loop will read soon (records visited in call order lie scattered).
#pragma once

inline void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}
