// The file calls the standard library lacks: reading without ever blocking on a FIFO or device, a file's
// stamp, hard links, flushing a folder, and the signals that would kill the program mid-write. One
// implementation per system: FilesPosix.cpp and FilesWindows.cpp. NewFile and FileLock are the other two
// pieces of this interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// Callsign files are a few megabytes; anything beyond this is refused rather than read into memory.
inline constexpr std::uintmax_t maximumFileSize = std::uintmax_t{1} << 30;

// What tells one state of a file from another: which file it is, its size and when it last changed.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;  // the inode's change time: also moves when a link is added
    std::int64_t changedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
    // The same file with the same content as far as the system tells, whatever links were made to it.
    [[nodiscard]] bool sameContentAs(const FileStamp& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
    }
};

enum class RegularFile {
    Ok,
    NotRegular,  // a folder, a FIFO or a device
    TooLarge,
    Failed,  // missing, or it does not open for reading: see the error
};

struct FileProbe {
    RegularFile state = RegularFile::Failed;
    std::error_code error;
};

// Whether path names a regular file that opens for reading and is not too large.
[[nodiscard]] FileProbe probeRegularFile(const std::filesystem::path& path);

// Memory for a file's bytes, freed with std::free. A large block gets the system's large pages where it has
// them: a merge visits the lines of both files out of file order, and with small pages nearly every line
// it visits would first wait for the page's address to be looked up (and each page of a fresh block to be
// filled on first touch). Only the speed differs; the bytes are the same either way.
struct FreeText {
    void operator()(char* bytes) const;
};
using TextMemory = std::unique_ptr<char[], FreeText>;
// Room for `size` bytes, not filled; null when there is no memory for it.
[[nodiscard]] TextMemory allocateText(std::size_t size);

// A file's bytes in a buffer of their own, and the file's stamp as it was opened.
struct FileBytes {
    TextMemory data;
    std::size_t size = 0;
    FileStamp stamp;
};

// The whole content of a regular file, or its first `limit` bytes; nothing when it is not one, is too large
// or cannot be read (then `error` says why, where the system said).
[[nodiscard]] std::optional<FileBytes> readRegularFile(const std::filesystem::path& path,
                                                       std::error_code& error, std::size_t limit = SIZE_MAX);

// The stamp of the file at `path` now, links followed; nothing, with the reason, when there is none.
[[nodiscard]] std::optional<FileStamp> stampOf(const std::filesystem::path& path, std::error_code& error);

// A second name for the file at `existing` (a link there is linked itself, not followed).
[[nodiscard]] std::error_code hardLink(const std::filesystem::path& existing,
                                       const std::filesystem::path& link);
// Whether a hardLink failure means the file system has no hard links here (rather than a real fault).
[[nodiscard]] bool linksUnsupported(std::error_code error);

// Renames `from` to `to`, replacing a file there, with the system's own reason when it fails.
[[nodiscard]] std::error_code renameFile(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether the file at `path` may be renamed now. On Windows another program that holds a file open without
// sharing its deletion keeps every name of it in place; elsewhere nothing does.
[[nodiscard]] std::error_code checkRenamable(const std::filesystem::path& path);

// Makes renames in a folder durable; failing that, nothing is lost, so nothing is reported.
void syncFolder(const std::filesystem::path& folder);

// A write beyond the process's file-size limit then fails with an error instead of killing the program,
// and, with `brokenPipe`, so does a write to a closed pipe. Called once, at start-up.
void ignoreWriteSignals(bool brokenPipe);

// Standard input, output or error that the program was started without is held by the null device, opened
// for reading only: no file the program opens can take its place, and a write meant for standard output
// fails instead of landing in Call3.txt, the lock or the report. Called first thing at start-up.
void holdStandardStreams();

// Whether the program's standard input is a terminal, where a person can answer questions.
[[nodiscard]] bool standardInputIsTerminal();

// The program's arguments in UTF-8. Windows hands main() them in the local code page, which cannot hold
// every file name, so there they are taken from the wide command line instead of argv.
[[nodiscard]] std::vector<std::string> commandLineUtf8(int argc, char** argv);

// Text written to a console shows UTF-8 as UTF-8 (Windows' consoles start with an older code page).
void useUtf8Console();
