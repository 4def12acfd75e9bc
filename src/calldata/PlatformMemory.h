// Hints to the system about large blocks of memory; where the system takes no such hint they do nothing.
#pragma once

#include <cstddef>

// Gives back the whole pages inside a block whose bytes will not be read again (they would read as
// zero), while the block itself stays allocated and the rest of it in use: a long walk over a large
// vector can hand back the part behind it.
void releasePages(const void* data, std::size_t bytes);

// Has large blocks given back to the system as soon as they are freed. Without it the allocator, once a
// large block is freed, serves later ones of up to that size from its heap, where freed memory stays
// with the process: whether a merge gives back the blocks it is done with would depend on which of its
// threads got there first. Called once at start-up.
void returnLargeBlocksWhenFreed();
