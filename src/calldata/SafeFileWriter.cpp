// Crash- and disk-full-safe replacement of a file, keeping the previous one as a backup.
#include "calldata/SafeFileWriter.h"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::error_code lastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

bool syncToDisk(std::FILE* file) {
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return ::fsync(::fileno(file)) == 0;
#endif
}

// Makes the renames themselves durable; a failure here loses nothing, so it is not reported.
void syncFolder([[maybe_unused]] const std::filesystem::path& folder) {
#ifndef _WIN32
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::filesystem::path target, std::filesystem::path backup)
    : target_(std::move(target)), backup_(std::move(backup)) {
    temporary_ = target_;
    temporary_.replace_filename(target_.filename().string() + ".velkmerge-new");
}

SafeFileWriter::~SafeFileWriter() {
    if (!committed_) {
        discardTemporary();
    }
}

bool SafeFileWriter::fail(Stage stage, std::error_code error) {
    failedStage_ = stage;
    error_ = error;
    return false;
}

void SafeFileWriter::discardTemporary() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
}

bool SafeFileWriter::open() {
    // A leftover of an interrupted run carries this program's own name; it is replaced.
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    errno = 0;
#ifdef _WIN32
    file_ = _wfopen(temporary_.c_str(), L"wbx");
#else
    file_ = std::fopen(temporary_.c_str(), "wbx");
#endif
    if (file_ == nullptr) {
        return fail(Stage::Write, lastError());
    }
    return true;
}

bool SafeFileWriter::write(std::string_view bytes) {
    if (file_ == nullptr) {
        return fail(Stage::Write, std::make_error_code(std::errc::bad_file_descriptor));
    }
    if (bytes.size() > byteLimit_ - written_) {
        return fail(Stage::Write, std::make_error_code(std::errc::no_space_on_device));
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        return fail(Stage::Write, lastError());
    }
    written_ += bytes.size();
    return true;
}

bool SafeFileWriter::commit() {
    if (file_ == nullptr) {
        return fail(Stage::Write, std::make_error_code(std::errc::bad_file_descriptor));
    }
    errno = 0;
    const bool flushed = std::fflush(file_) == 0 && syncToDisk(file_);
    const std::error_code flushError = lastError();
    errno = 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
        const std::error_code error = flushed ? lastError() : flushError;
        discardTemporary();
        return fail(Stage::Write, error);
    }

    std::error_code error;
    // The new file gets the old one's permissions; failing that, it keeps the defaults.
    const auto oldStatus = std::filesystem::status(target_, error);
    if (!error) {
        std::filesystem::permissions(temporary_, oldStatus.permissions(), error);
    }

    std::filesystem::rename(target_, backup_, error);
    if (error) {
        discardTemporary();
        return fail(Stage::Backup, error);
    }
    std::filesystem::rename(temporary_, target_, error);
    if (error) {
        std::error_code restoreError;
        std::filesystem::rename(backup_, target_, restoreError);
        restored_ = !restoreError;
        discardTemporary();
        return fail(Stage::Replace, error);
    }
    committed_ = true;
    syncFolder(target_.parent_path());
    return true;
}
