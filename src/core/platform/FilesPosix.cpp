// The platform file calls on POSIX systems (Linux, macOS, the BSDs).
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <new>
#include <vector>

#include "core/platform/FileLock.h"
#include "core/platform/NewFile.h"
#include "core/platform/PlatformFiles.h"
#include "core/platform/ReadWhole.h"

namespace {

std::error_code lastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

// An open descriptor that closes itself.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }

  private:
    int fd_;
};

FileStamp stampFrom(const struct stat& info) {
#if defined(__APPLE__)
    const struct timespec modified = info.st_mtimespec;
    const struct timespec changed = info.st_ctimespec;
#else
    const struct timespec modified = info.st_mtim;
    const struct timespec changed = info.st_ctim;
#endif
    return {static_cast<std::uint64_t>(info.st_dev),     static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),    static_cast<std::int64_t>(modified.tv_sec),
            static_cast<std::int64_t>(modified.tv_nsec), static_cast<std::int64_t>(changed.tv_sec),
            static_cast<std::int64_t>(changed.tv_nsec)};
}

// Opens without blocking (a FIFO would wait for a writer) and checks the open file itself, so that the
// check and the read see the same file.
FileProbe openRegular(const std::filesystem::path& path, int& fd, struct stat& info) {
    errno = 0;
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        return {RegularFile::Failed, lastError()};
    }
    if (!S_ISREG(info.st_mode)) {
        return {RegularFile::NotRegular, {}};
    }
    return {
        static_cast<std::uintmax_t>(info.st_size) > maximumFileSize ? RegularFile::TooLarge : RegularFile::Ok,
        {}};
}

bool memberOfGroup(gid_t group) {
    if (::getegid() == group) {
        return true;
    }
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(count, 0)));
    const int got = ::getgroups(count, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

}  // namespace

FileProbe probeRegularFile(const std::filesystem::path& path) {
    int fd = -1;
    struct stat info {};
    const FileProbe probe = openRegular(path, fd, info);
    const Descriptor closer(fd);
    return probe;
}

std::optional<FileBytes> readRegularFile(const std::filesystem::path& path, std::error_code& error,
                                         std::size_t limit) {
    int fd = -1;
    struct stat info {};
    const FileProbe probe = openRegular(path, fd, info);
    const Descriptor descriptor(fd);
    error = probe.error;
    if (probe.state != RegularFile::Ok) {
        return std::nullopt;
    }
    return readWhole(
        static_cast<std::size_t>(info.st_size), stampFrom(info),
        [&](char* into, std::size_t room) -> std::optional<std::size_t> {
            for (;;) {
                errno = 0;
                const ssize_t got = ::read(descriptor.get(), into, room);
                if (got >= 0) {
                    return static_cast<std::size_t>(got);
                }
                if (errno != EINTR) {
                    error = lastError();
                    return std::nullopt;
                }
            }
        },
        limit);
}

std::optional<FileStamp> stampOf(const std::filesystem::path& path, std::error_code& error) {
    struct stat info {};
    errno = 0;
    if (::stat(path.c_str(), &info) != 0) {
        error = lastError();
        return std::nullopt;
    }
    error.clear();
    return stampFrom(info);
}

std::error_code hardLink(const std::filesystem::path& existing, const std::filesystem::path& link) {
    errno = 0;
    return ::linkat(AT_FDCWD, existing.c_str(), AT_FDCWD, link.c_str(), 0) == 0 ? std::error_code()
                                                                                : lastError();
}

bool linksUnsupported(std::error_code error) {
    // vfat and exFAT answer EPERM; so does a kernel that keeps users from linking files of others.
    const int value = error.category() == std::generic_category() ? error.value() : 0;
    return value == EPERM || value == ENOTSUP || value == EOPNOTSUPP || value == EXDEV || value == EMLINK ||
           value == ENOSYS;
}

void FreeText::operator()(char* bytes) const {
    std::free(bytes);
}

TextMemory allocateText(std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Blocks of a large page and more are aligned to it and asked for large pages.
    constexpr std::size_t largePage = std::size_t{2} << 20;
    if (size >= largePage) {
        const std::size_t rounded = (size + largePage - 1) / largePage * largePage;
        TextMemory block(static_cast<char*>(std::aligned_alloc(largePage, rounded)));
        if (block) {
            (void)::madvise(block.get(), rounded, MADV_HUGEPAGE);  // a hint: refused, the pages stay small
        }
        return block;
    }
#endif
    return TextMemory(static_cast<char*>(std::malloc(size == 0 ? 1 : size)));
}

void syncFolder(const std::filesystem::path& folder) {
    const Descriptor descriptor(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC));
    if (descriptor.get() >= 0) {
        (void)::fsync(descriptor.get());
    }
}

bool standardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

void ignoreWriteSignals(bool brokenPipe) {
    (void)std::signal(SIGXFSZ, SIG_IGN);
    if (brokenPipe) {
        (void)std::signal(SIGPIPE, SIG_IGN);
    }
}

void holdStandardStreams() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            (void)::open("/dev/null", O_RDONLY);  // takes the lowest free number: this one
        }
    }
}

std::unique_ptr<NewFile> NewFile::create(const std::filesystem::path& path, std::error_code& error) {
    errno = 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0) {
        error = lastError();
        return nullptr;
    }
    error.clear();
    return std::make_unique<NewFile>(Made(), fd);
}

NewFile::~NewFile() {
    close();
}

void NewFile::close() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_));
        handle_ = -1;
    }
}

std::error_code NewFile::takeOwnerAndModeOf(const std::filesystem::path& original) {
    const int fd = static_cast<int>(handle_);
    struct stat wanted {};
    struct stat mine {};
    errno = 0;
    if (::stat(original.c_str(), &wanted) != 0 || ::fstat(fd, &mine) != 0) {
        return lastError();
    }
    // Root may give the file to anyone; a user only to one of their own groups. Otherwise the new file
    // is the user's own, as any file they write.
    const bool root = ::geteuid() == 0;
    const uid_t owner = root ? wanted.st_uid : static_cast<uid_t>(-1);
    const gid_t group =
        root || (wanted.st_uid == ::geteuid() && memberOfGroup(wanted.st_gid)) ? wanted.st_gid : mine.st_gid;
    if ((owner != static_cast<uid_t>(-1) && owner != mine.st_uid) || group != mine.st_gid) {
        if (::fchown(fd, owner, group) != 0) {
            return lastError();
        }
    }
    // After the owner: a change of owner clears the set-user and set-group bits.
    if (::fchmod(fd, wanted.st_mode & 07777) != 0) {
        return lastError();
    }
    return {};
}

std::error_code NewFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        errno = 0;
        const ssize_t wrote = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return lastError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return {};
}

std::error_code NewFile::syncAndClose() {
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    errno = 0;
    std::error_code error;
    if (::fsync(fd) != 0) {
        error = lastError();
    }
    errno = 0;
    if (::close(fd) != 0 && !error) {
        error = lastError();  // a file system that writes only when the file is closed fails here
    }
    return error;
}

FileLock::FileLock(std::filesystem::path path) : path_(std::move(path)) {
    // The holder removes the lock file as it lets go, so a file opened meanwhile may be one that nobody
    // can find any more: the lock counts only on the file that still has the name.
    for (int attempt = 0; attempt < 100; ++attempt) {
        errno = 0;
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
        if (fd < 0) {
            error_ = lastError();
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const bool held = errno == EWOULDBLOCK || errno == EAGAIN;
            error_ = lastError();
            ::close(fd);
            state_ = held ? State::HeldElsewhere : State::Failed;
            return;
        }
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) == 0 && ::stat(path_.c_str(), &named) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
            handle_ = fd;
            state_ = State::Locked;
            return;
        }
        ::close(fd);
    }
    error_ = std::make_error_code(std::errc::resource_unavailable_try_again);
}

FileLock::~FileLock() {
    if (state_ == State::Locked) {
        ::unlink(path_.c_str());  // while still held, so that nobody takes a file that is about to go
        ::close(static_cast<int>(handle_));
    }
}

std::vector<std::string> commandLineUtf8(int argc, char** argv) {
    return {argv, argv + argc};
}

void useUtf8Console() {
    // Terminals here take the bytes as they come.
}

std::error_code renameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return error;
}

std::error_code checkRenamable(const std::filesystem::path& /*path*/) {
    return {};  // an open file is renamed like any other
}
