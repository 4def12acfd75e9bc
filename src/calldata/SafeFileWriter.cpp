// Crash- and disk-full-safe replacement of a file, keeping the previous one as a backup.
#include "calldata/SafeFileWriter.h"

#include <cerrno>
#include <string>

#include "calldata/PlatformFiles.h"

namespace {

std::error_code lastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

std::filesystem::path besideWithSuffix(const std::filesystem::path& path, const std::string& suffix) {
    std::filesystem::path result = path;
    result.replace_filename(path.filename().string() + suffix);
    return result;
}

// Where an earlier backup waits until the new file is in place.
std::filesystem::path setAsidePath(const std::filesystem::path& backup) {
    return besideWithSuffix(backup, ".velkmerge-old");
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::filesystem::path target, std::filesystem::path backup)
    : target_(std::move(target)), backup_(std::move(backup)) {}

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

std::error_code SafeFileWriter::rename(const std::filesystem::path& from, const std::filesystem::path& to,
                                       Stage stage) const {
    // The renames that set the older backup aside and put files back are never refused: None is also
    // what "no stage refused" reads as.
    if (stage != Stage::None && stage == refusedStage_) {
        return std::make_error_code(std::errc::permission_denied);
    }
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return error;
}

void SafeFileWriter::discardTemporary() {
    file_.reset();
    if (!temporary_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
}

bool SafeFileWriter::open() {
    // A name nobody else holds, created exclusively, so two runs never write into one file.
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        const std::string suffix =
            ".velkmerge-new" + (attempt == 0 ? std::string() : "-" + std::to_string(attempt));
        temporary_ = besideWithSuffix(target_, suffix);
        errno = 0;
#ifdef _WIN32
        file_.reset(_wfopen(temporary_.c_str(), L"wbx"));
#else
        file_.reset(std::fopen(temporary_.c_str(), "wbx"));
#endif
        if (!file_ && errno != EEXIST) {
            break;
        }
    }
    if (!file_) {
        const std::error_code error = lastError();
        temporary_.clear();
        return fail(Stage::Write, error);
    }
    return true;
}

bool SafeFileWriter::write(std::string_view bytes) {
    if (!file_) {
        return fail(Stage::Write, std::make_error_code(std::errc::bad_file_descriptor));
    }
    if (bytes.size() > byteLimit_ - written_) {
        return fail(Stage::Write, std::make_error_code(std::errc::no_space_on_device));
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) {
        return fail(Stage::Write, lastError());
    }
    written_ += bytes.size();
    return true;
}

bool SafeFileWriter::commit() {
    if (!file_) {
        return fail(Stage::Write, std::make_error_code(std::errc::bad_file_descriptor));
    }
    errno = 0;
    const bool flushed = std::fflush(file_.get()) == 0 && syncToDisk(file_.get());
    std::error_code error = lastError();
    errno = 0;
    const bool closed = std::fclose(file_.release()) == 0;
    if (!flushed || !closed) {
        if (flushed) {
            error = lastError();
        }
        discardTemporary();
        return fail(Stage::Write, error);
    }

    // The new file gets the old one's permissions; failing that, it keeps the defaults.
    const auto oldStatus = std::filesystem::status(target_, error);
    if (!error) {
        std::filesystem::permissions(temporary_, oldStatus.permissions(), error);
    }

    // An earlier backup (a plain file) steps aside first, so that no failure below can lose it.
    const std::filesystem::path aside = setAsidePath(backup_);
    std::error_code ignored;
    const bool setAside =
        std::filesystem::is_regular_file(std::filesystem::symlink_status(backup_, ignored)) &&
        !rename(backup_, aside, Stage::None);
    const auto putBackupBack = [&]() { return !setAside || !rename(aside, backup_, Stage::None); };

    error = rename(target_, backup_, Stage::Backup);
    if (error) {
        restored_ = putBackupBack();
        discardTemporary();
        return fail(Stage::Backup, error);
    }
    error = rename(temporary_, target_, Stage::Replace);
    if (error) {
        restored_ = !rename(backup_, target_, Stage::None) && putBackupBack();
        discardTemporary();
        return fail(Stage::Replace, error);
    }
    committed_ = true;
    if (setAside) {
        std::filesystem::remove(aside, ignored);
    }
    syncFolder(target_.parent_path());
    return true;
}
