// Hints to the system about large blocks of memory; where the system takes no such hint they do nothing.
#pragma once

#include <cstddef>

// Gives back the whole pages inside a block whose bytes will not be read again (they would read as
// zero), while the block itself stays allocated and the rest of it in use: a long walk over a large
// vector can hand back the part behind it.
void releasePages(const void* data, std::size_t bytes);
