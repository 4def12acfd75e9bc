// The platform file calls on Windows: wide paths throughout, so that any folder name works.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <io.h>
#include <cstdio>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "core/platform/FileLock.h"
#include "core/platform/NewFile.h"
#include "core/platform/PlatformFiles.h"
#include "core/platform/ReadWhole.h"

namespace {

std::error_code lastError() {
    const DWORD code = ::GetLastError();
    return {code != 0 ? static_cast<int>(code) : ERROR_GEN_FAILURE, std::system_category()};
}

HANDLE toHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

std::intptr_t fromHandle(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}

// An open handle that closes itself.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) {
            ::CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    [[nodiscard]] HANDLE get() const { return handle_; }
    [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

std::int64_t ticks(FILETIME time) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime);
}

std::optional<FileStamp> stampOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandle(file, &info) ||
        !::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) {
        return std::nullopt;
    }
    const std::int64_t modified = ticks(info.ftLastWriteTime);
    return FileStamp{info.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                     (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                     modified / 10'000'000,
                     modified % 10'000'000 * 100,
                     basic.ChangeTime.QuadPart / 10'000'000,
                     basic.ChangeTime.QuadPart % 10'000'000 * 100};
}

HANDLE openForReading(const std::filesystem::path& path) {
    // Other programs may go on reading, writing or renaming it meanwhile, as they may on other systems.
    return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Folders and devices are told apart before they are opened; a folder does not open as a file at all.
FileProbe openRegular(const std::filesystem::path& path, Handle& file, std::optional<FileStamp>& stamp) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return {RegularFile::Failed, lastError()};
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return {RegularFile::NotRegular, {}};
    }
    if (!file.valid()) {
        return {RegularFile::Failed, lastError()};
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return {RegularFile::NotRegular, {}};
    }
    stamp = stampOfHandle(file.get());
    if (!stamp) {
        return {RegularFile::Failed, lastError()};
    }
    return {stamp->size > maximumFileSize ? RegularFile::TooLarge : RegularFile::Ok, {}};
}

}  // namespace

FileProbe probeRegularFile(const std::filesystem::path& path) {
    Handle file(openForReading(path));
    std::optional<FileStamp> stamp;
    return openRegular(path, file, stamp);
}

std::optional<FileBytes> readRegularFile(const std::filesystem::path& path, std::error_code& error,
                                         std::size_t limit) {
    Handle file(openForReading(path));
    std::optional<FileStamp> stamp;
    const FileProbe probe = openRegular(path, file, stamp);
    error = probe.error;
    if (probe.state != RegularFile::Ok) {
        return std::nullopt;
    }
    return readWhole(
        static_cast<std::size_t>(stamp->size), *stamp,
        [&](char* into, std::size_t room) -> std::optional<std::size_t> {
            DWORD got = 0;
            const auto wanted = static_cast<DWORD>(std::min<std::size_t>(room, 1U << 30));
            if (!::ReadFile(file.get(), into, wanted, &got, nullptr)) {
                error = lastError();
                return std::nullopt;
            }
            return got;
        },
        limit);
}

std::optional<FileStamp> stampOf(const std::filesystem::path& path, std::error_code& error) {
    const Handle file(openForReading(path));
    std::optional<FileStamp> stamp;
    if (file.valid()) {
        stamp = stampOfHandle(file.get());
    }
    if (!stamp) {
        error = lastError();
        return std::nullopt;
    }
    error.clear();
    return stamp;
}

std::error_code hardLink(const std::filesystem::path& existing, const std::filesystem::path& link) {
    return ::CreateHardLinkW(link.c_str(), existing.c_str(), nullptr) ? std::error_code() : lastError();
}

bool linksUnsupported(std::error_code error) {
    if (error.category() != std::system_category()) {
        return false;
    }
    switch (error.value()) {
        case ERROR_INVALID_FUNCTION:  // FAT and exFAT
        case ERROR_NOT_SAME_DEVICE:
        case ERROR_NOT_SUPPORTED:
        case ERROR_TOO_MANY_LINKS:
            return true;
        default:
            return false;
    }
}

void FreeText::operator()(char* bytes) const {
    std::free(bytes);
}

TextMemory allocateText(std::size_t size) {
    return TextMemory(static_cast<char*>(std::malloc(size == 0 ? 1 : size)));
}

void syncFolder(const std::filesystem::path& /*folder*/) {
    // NTFS journals its renames; a folder cannot be flushed like a file here.
}

bool standardInputIsTerminal() {
    return ::_isatty(::_fileno(stdin)) != 0;
}

void ignoreWriteSignals(bool /*brokenPipe*/) {
    // Windows sends no signal for a full disk or a closed pipe: the write fails.
}

void holdStandardStreams() {
    // Windows gives files handles of their own, never the numbers of missing standard streams.
}

std::unique_ptr<NewFile> NewFile::create(const std::filesystem::path& path, std::error_code& error) {
    // Shared with nobody until it is closed; it inherits the folder's permissions.
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = lastError();
        return nullptr;
    }
    error.clear();
    return std::make_unique<NewFile>(Made(), fromHandle(file));
}

NewFile::~NewFile() {
    close();
}

void NewFile::close() {
    if (toHandle(handle_) != INVALID_HANDLE_VALUE) {
        ::CloseHandle(toHandle(handle_));
        handle_ = fromHandle(INVALID_HANDLE_VALUE);
    }
}

std::error_code NewFile::takeOwnerAndModeOf(const std::filesystem::path& /*original*/) {
    // A new file in the folder gets the folder's inherited permissions, as the old one did.
    return {};
}

std::error_code NewFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD wrote = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        if (!::WriteFile(toHandle(handle_), bytes.data(), wanted, &wrote, nullptr) || wrote == 0) {
            return lastError();
        }
        bytes.remove_prefix(wrote);
    }
    return {};
}

std::error_code NewFile::syncAndClose() {
    std::error_code error;
    if (!::FlushFileBuffers(toHandle(handle_))) {
        error = lastError();
    }
    if (!::CloseHandle(toHandle(handle_)) && !error) {
        error = lastError();
    }
    handle_ = fromHandle(INVALID_HANDLE_VALUE);
    return error;
}

FileLock::FileLock(std::filesystem::path path) : path_(std::move(path)) {
    // The file goes when its last handle closes, so a lock left by a killed process leaves nothing.
    const HANDLE file = ::CreateFileW(
        path_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error_ = lastError();
        return;
    }
    OVERLAPPED whole{};
    if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        error_ = lastError();
        state_ = error_.value() == ERROR_LOCK_VIOLATION ? State::HeldElsewhere : State::Failed;
        ::CloseHandle(file);
        return;
    }
    handle_ = fromHandle(file);
    state_ = State::Locked;
}

FileLock::~FileLock() {
    if (state_ == State::Locked) {
        ::CloseHandle(toHandle(handle_));  // unlocks, and removes the file
    }
}

std::vector<std::string> commandLineUtf8(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<std::size_t>(std::max(size, 1)), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, text.data(), size, nullptr, nullptr);
        text.resize(text.size() - 1);  // the terminating zero
        arguments.push_back(std::move(text));
    }
    ::LocalFree(wide);
    return arguments;
}

void useUtf8Console() {
    ::SetConsoleOutputCP(CP_UTF8);
}

std::error_code renameFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) ? std::error_code()
                                                                              : lastError();
}

std::error_code checkRenamable(const std::filesystem::path& path) {
    // Asking for the right to delete shares it with every other handle, or fails while one denies it.
    const Handle file(::CreateFileW(path.c_str(), DELETE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid() ? std::error_code() : lastError();
}
