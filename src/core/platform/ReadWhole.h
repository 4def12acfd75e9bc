// The read loop both systems' file calls share.
#pragma once

#include <algorithm>
#include <cstddef>
#include <new>
#include <optional>

#include "core/platform/PlatformFiles.h"

// Reads a whole file with `readSome(into, room)`, which reads at most `room` bytes into `into` and returns
// how many (0 at the end), or nothing after an error. `size` is the file's size as it was opened: one byte
// more is asked for, to see the end in one read; the room grows should the file grow meanwhile. Stops after
// `limit` bytes, keeping those.
template <typename ReadSome>
std::optional<FileBytes> readWhole(std::size_t size, const FileStamp& stamp, ReadSome readSome,
                                   std::size_t limit) {
    std::size_t room = std::min(size, limit) + 1;
    FileBytes bytes{allocateText(room), 0, stamp};
    if (!bytes.data) {
        throw std::bad_alloc();  // as any allocation that fails
    }
    for (;;) {
        if (bytes.size >= limit) {
            bytes.size = limit;
            return bytes;
        }
        if (bytes.size == room) {
            if (room > maximumFileSize) {
                return std::nullopt;  // it keeps growing
            }
            TextMemory larger = allocateText(2 * room);
            if (!larger) {
                throw std::bad_alloc();
            }
            std::copy(bytes.data.get(), bytes.data.get() + bytes.size, larger.get());
            bytes.data = std::move(larger);
            room *= 2;
        }
        const std::optional<std::size_t> got = readSome(bytes.data.get() + bytes.size, room - bytes.size);
        if (!got) {
            return std::nullopt;
        }
        if (*got == 0) {
            return bytes;
        }
        bytes.size += *got;
    }
}
