// The few file operations the standard library lacks: reading or mapping without ever blocking on a FIFO
// or device, and flushing a file and a folder to disk. All platform file calls of the core live here; its
// memory hints live in PlatformMemory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// Callsign files are a few megabytes; anything beyond this is refused rather than read into memory.
inline constexpr std::uintmax_t maximumFileSize = std::uintmax_t{1} << 30;

enum class RegularFile {
    Ok,
    NotRegular,  // missing, a folder, a FIFO or a device, or it does not open for reading
    TooLarge,
};

// Whether path names a regular file that opens for reading and is not too large.
[[nodiscard]] RegularFile probeRegularFile(const std::filesystem::path& path);

// A file's bytes in a buffer of their own, which is not filled with zeros first: the read fills it.
struct FileBytes {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

// The whole content of a regular file; nothing when it is not one, is too large or cannot be read.
[[nodiscard]] std::optional<FileBytes> readRegularFile(const std::filesystem::path& path);

enum class MapResult {
    Mapped,
    Unmappable,  // an empty file, or a system other than Linux (see replaceMappingWithCopy): read it
    Refused,     // what readRegularFile refuses
};

// What tells one state of a file from another: which file it is, its size and when it last changed.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

// Maps a regular file's whole content read-only, its pages loaded at once, and notes its stamp;
// unmapFile gives it back.
[[nodiscard]] MapResult mapRegularFile(const std::filesystem::path& path, const char*& data,
                                       std::size_t& size, FileStamp& stamp);
// The stamp of the file at `path` now; nothing when there is none.
[[nodiscard]] std::optional<FileStamp> stampOf(const std::filesystem::path& path);
void unmapFile(const char* data, std::size_t size);
// Puts a private copy of a mapping's bytes in its place, at the same addresses, so that the file may
// change or shrink from then on without the bytes changing. False where the system cannot (the mapping
// then stays as it was).
[[nodiscard]] bool replaceMappingWithCopy(const char* data, std::size_t size);

// A mapped file that another program cuts short leaves the part cut off without bytes, and the system
// stops a program that looks there. This has it say what happened as it stops (on systems that stop it
// so): the files are read before Call3.txt is written, so Call3.txt is unchanged. Called once, at start-up.
void stopCleanlyOnFileCutShort();

// Flushes an open file's data to the disk itself.
[[nodiscard]] bool syncToDisk(std::FILE* file);

// Makes renames in a folder durable; failing that, nothing is lost, so nothing is reported.
void syncFolder(const std::filesystem::path& folder);
