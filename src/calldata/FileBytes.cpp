// Regular-file reading through the platform's file API.
#include "calldata/FileBytes.h"

#ifdef _WIN32
#include <fstream>
#include <iterator>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32

bool opensAsRegularFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

std::optional<std::string> readRegularFile(const std::filesystem::path& path) {
    if (!opensAsRegularFile(path)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) {
        return std::nullopt;
    }
    return bytes;
}

#else

namespace {

// Opens without blocking (a FIFO would wait for a writer) and keeps the descriptor only for
// a regular file, so the check and the read see the same file.
int openRegular(const std::filesystem::path& path, struct stat& info) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

bool opensAsRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    const int fd = openRegular(path, info);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

std::optional<std::string> readRegularFile(const std::filesystem::path& path) {
    struct stat info {};
    const int fd = openRegular(path, info);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2);  // the file grew while it was read
        }
        const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(used);
    return bytes;
}

#endif
