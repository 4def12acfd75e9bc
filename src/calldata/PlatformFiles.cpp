// Platform file calls: non-blocking regular-file reads and mappings, and flushing to disk.
#include "calldata/PlatformFiles.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef _WIN32
#include <io.h>

#include <fstream>
#include <iterator>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

RegularFile probeRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return RegularFile::NotRegular;
    }
    if (std::filesystem::file_size(path, error) > maximumFileSize) {
        return RegularFile::TooLarge;
    }
    std::ifstream file(path, std::ios::binary);
    return file.is_open() ? RegularFile::Ok : RegularFile::NotRegular;
}

std::optional<FileBytes> readRegularFile(const std::filesystem::path& path) {
    if (probeRegularFile(path) != RegularFile::Ok) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        return std::nullopt;
    }
    FileBytes read{std::make_unique_for_overwrite<char[]>(bytes.size()), bytes.size()};
    std::copy(bytes.begin(), bytes.end(), read.data.get());
    return read;
}

MapResult mapRegularFile(const std::filesystem::path& path, const char*& /*data*/, std::size_t& /*size*/,
                         FileStamp& /*stamp*/) {
    return probeRegularFile(path) == RegularFile::Ok ? MapResult::Unmappable : MapResult::Refused;
}

std::optional<FileStamp> stampOf(const std::filesystem::path& /*path*/) {
    return std::nullopt;  // nothing is mapped here
}

void unmapFile(const char* /*data*/, std::size_t /*size*/) {}

bool replaceMappingWithCopy(const char* /*data*/, std::size_t /*size*/) {
    return false;
}

void stopCleanlyOnFileCutShort() {}

bool syncToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

void syncFolder(const std::filesystem::path& /*folder*/) {}

#else

namespace {

// An open descriptor that closes itself.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(-1); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

  private:
    int fd_;
};

// Opens without blocking (a FIFO would wait for a writer) and checks the open file itself, so that
// the check and the read see the same file.
RegularFile openRegular(const std::filesystem::path& path, Descriptor& descriptor, struct stat& info) {
    descriptor.reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (descriptor.get() < 0 || ::fstat(descriptor.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return RegularFile::NotRegular;
    }
    return static_cast<std::uintmax_t>(info.st_size) > maximumFileSize ? RegularFile::TooLarge
                                                                       : RegularFile::Ok;
}

}  // namespace

RegularFile probeRegularFile(const std::filesystem::path& path) {
    Descriptor descriptor;
    struct stat info {};
    return openRegular(path, descriptor, info);
}

std::optional<FileBytes> readRegularFile(const std::filesystem::path& path) {
    Descriptor descriptor;
    struct stat info {};
    if (openRegular(path, descriptor, info) != RegularFile::Ok) {
        return std::nullopt;
    }
    // One byte more than the file holds, to see its end in one read; more room if it grows meanwhile.
    std::size_t room = static_cast<std::size_t>(info.st_size) + 1;
    FileBytes bytes{std::make_unique_for_overwrite<char[]>(room), 0};
    std::size_t& used = bytes.size;
    for (;;) {
        if (used == room) {
            if (room > maximumFileSize) {
                return std::nullopt;  // it keeps growing
            }
            std::unique_ptr<char[]> larger = std::make_unique_for_overwrite<char[]>(2 * room);
            std::copy(bytes.data.get(), bytes.data.get() + used, larger.get());
            bytes.data = std::move(larger);
            room *= 2;
        }
        const ssize_t got = ::read(descriptor.get(), bytes.data.get() + used, room - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    return bytes;
}

namespace {

FileStamp stampFrom(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev),         static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),        static_cast<std::int64_t>(info.st_mtim.tv_sec),
            static_cast<std::int64_t>(info.st_mtim.tv_nsec), static_cast<std::int64_t>(info.st_ctim.tv_sec),
            static_cast<std::int64_t>(info.st_ctim.tv_nsec)};
}

}  // namespace

MapResult mapRegularFile(const std::filesystem::path& path, const char*& data, std::size_t& size,
                         FileStamp& stamp) {
    Descriptor descriptor;
    struct stat info {};
    if (openRegular(path, descriptor, info) != RegularFile::Ok) {
        return MapResult::Refused;
    }
#if defined(__linux__)
    if (info.st_size == 0) {
        return MapResult::Unmappable;  // nothing to map
    }
    const auto length = static_cast<std::size_t>(info.st_size);
    // Every page at once rather than a fault each.
    void* mapping = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, descriptor.get(), 0);
    if (mapping == MAP_FAILED) {
        return MapResult::Unmappable;
    }
    data = static_cast<const char*>(mapping);
    size = length;
    stamp = stampFrom(info);
    return MapResult::Mapped;
#else
    // Only Linux can put a private copy in a mapping's place (see replaceMappingWithCopy).
    (void)data;
    (void)size;
    (void)stamp;
    return MapResult::Unmappable;
#endif
}

std::optional<FileStamp> stampOf(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return stampFrom(info);
}

void unmapFile(const char* data, std::size_t size) {
    // The address mmap gave; the text only ever read through it.
    ::munmap(const_cast<char*>(data), size);
}

bool replaceMappingWithCopy(const char* data, std::size_t size) {
#if defined(__linux__)
    void* copy = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (copy == MAP_FAILED) {
        return false;
    }
    std::memcpy(copy, data, size);
    (void)::mprotect(copy, size, PROT_READ);
    // One step moves the copy over the mapping: a thread that reads meanwhile sees the same bytes either way.
    if (::mremap(copy, size, size, MREMAP_MAYMOVE | MREMAP_FIXED, const_cast<char*>(data)) == MAP_FAILED) {
        ::munmap(copy, size);
        return false;
    }
    return true;
#else
    (void)data;
    (void)size;
    return false;
#endif
}

#if defined(__linux__)
namespace {

// Nothing here may allocate or lock.
void onFileCutShort(int /*signal*/) {
    constexpr char message[] =
        "A file being merged was cut short by another program. Call3.txt is unchanged.\n";
    (void)!::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(1);
}

}  // namespace
#endif

void stopCleanlyOnFileCutShort() {
#if defined(__linux__)
    (void)std::signal(SIGBUS, onFileCutShort);  // only Linux maps the files
#endif
}

bool syncToDisk(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0;
}

void syncFolder(const std::filesystem::path& folder) {
    const Descriptor descriptor(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC));
    if (descriptor.get() >= 0) {
        ::fsync(descriptor.get());
    }
}

#endif
