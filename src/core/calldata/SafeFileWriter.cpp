// Crash- and disk-full-safe replacement of a file, keeping the previous one as a backup.
//
// The order of commit: the new file is complete on disk; an earlier backup gets a second name; the old
// content gets a second name beside the backup (a hard link, or a copy where the file system has no hard
// links); that name is moved over the backup; the new file is moved over the target. Each move is one
// step of the file system, so the target's name always holds a whole file and so does the backup's.
#include "core/calldata/SafeFileWriter.h"

#include <string>

#include "core/platform/PathText.h"

namespace {

std::filesystem::path besideWithSuffix(const std::filesystem::path& path, const std::string& suffix) {
    std::filesystem::path result = path;
    result += suffix;
    return result;
}

const std::string newSuffix = ".velkmerge-new";
const std::string backupSuffix = ".velkmerge-backup";
const std::string previousSuffix = ".velkmerge-previous";

// A second name beside the backup, made from the name that was asked for (Call3.txt), not the file
// behind a link: the backup's folder is the one the user works in.
std::filesystem::path besideBackup(const std::filesystem::path& backup, const std::filesystem::path& target,
                                   const std::string& suffix) {
    std::filesystem::path name = target.filename();
    name += suffix;
    return backup.parent_path() / name;
}

// A byte-for-byte copy with the original's owner and permissions, complete on disk.
std::error_code copyFile(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    const std::optional<FileBytes> bytes = readRegularFile(from, error);
    if (!bytes) {
        return error ? error : std::make_error_code(std::errc::invalid_argument);
    }
    const std::unique_ptr<NewFile> copy = NewFile::create(to, error);
    if (!copy) {
        return error;
    }
    error = copy->takeOwnerAndModeOf(from);
    if (!error) {
        error = copy->write({bytes->data.get(), bytes->size});
    }
    if (const std::error_code closed = copy->syncAndClose(); !error) {
        error = closed;
    }
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(to, ignored);
    }
    return error;
}

}  // namespace

SafeFileWriter::SafeFileWriter(const std::filesystem::path& target, std::filesystem::path backup,
                               std::optional<FileStamp> expected, Seams seams)
    : target_(fileBehind(target)),
      backup_(std::move(backup)),
      backupMade_(besideBackup(backup_, target, backupSuffix)),
      previous_(besideBackup(backup_, target, previousSuffix)),
      expected_(expected),
      seams_(std::move(seams)) {}

SafeFileWriter::~SafeFileWriter() {
    discardTemporaries();
}

std::filesystem::path SafeFileWriter::fileBehind(const std::filesystem::path& target) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, error))) {
        return target;
    }
    const std::filesystem::path resolved = std::filesystem::canonical(target, error);
    return error ? target : resolved;
}

std::filesystem::path SafeFileWriter::lockPath(const std::filesystem::path& target) {
    return besideWithSuffix(fileBehind(target), ".velkmerge-lock");
}

void SafeFileWriter::removeLeftovers(const std::filesystem::path& target,
                                     const std::filesystem::path& backup) {
    const std::filesystem::path behind = fileBehind(target);
    const std::string newName = utf8OfPath(behind.filename()) + newSuffix;
    const auto isNewFile = [&newName](const std::string& name) {
        // The name itself, or the name with "-" and a number (taken while another was left over).
        return name == newName || (name.starts_with(newName + "-") && name.size() > newName.size() + 1 &&
                                   name.find_first_not_of("0123456789", newName.size() + 1) == name.npos);
    };
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(
             behind.parent_path().empty() ? "." : behind.parent_path(), error)) {
        const std::string name = utf8OfPath(entry.path().filename());
        std::error_code ignored;
        if (isNewFile(name) && !entry.is_directory(ignored)) {
            std::filesystem::remove(entry.path(), ignored);
        }
    }
    for (const std::string& suffix : {backupSuffix, previousSuffix}) {
        const std::filesystem::path left = besideBackup(backup, target, suffix);
        if (!std::filesystem::is_directory(std::filesystem::symlink_status(left, error))) {
            std::filesystem::remove(left, error);
        }
    }
}

bool SafeFileWriter::fail(Stage stage, std::error_code error) {
    failedStage_ = stage;
    error_ = error;
    discardTemporaries();
    return false;
}

void SafeFileWriter::step(Step step) const {
    if (seams_.beforeStep) {
        seams_.beforeStep(step);
    }
}

std::error_code SafeFileWriter::rename(const std::filesystem::path& from, const std::filesystem::path& to,
                                       Stage stage) const {
    // Renames that put things back pass None, which is never refused.
    if (stage != Stage::None && stage == seams_.refusedRename) {
        return std::make_error_code(std::errc::permission_denied);
    }
    return renameFile(from, to);
}

void SafeFileWriter::discardTemporaries() {
    // Only names this writer made: a file of someone else's by such a name is never touched.
    file_.reset();
    std::error_code ignored;
    if (!temporary_.empty()) {
        std::filesystem::remove(temporary_, ignored);
        temporary_.clear();
    }
    if (backupMadeHere_) {
        std::filesystem::remove(backupMade_, ignored);
        backupMadeHere_ = false;
    }
    if (previousKept_) {
        std::filesystem::remove(previous_, ignored);
        previousKept_ = false;
    }
}

bool SafeFileWriter::open() {
    // A name nobody else holds, created exclusively, so that no other file is ever written into.
    std::error_code error;
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        temporary_ =
            besideWithSuffix(target_, newSuffix + (attempt == 0 ? "" : "-" + std::to_string(attempt)));
        file_ = NewFile::create(temporary_, error);
        if (error && error != std::errc::file_exists) {
            break;
        }
    }
    if (!file_) {
        temporary_.clear();
        return fail(Stage::Write, error);
    }
    std::error_code missing;
    error =
        std::filesystem::exists(target_, missing) ? file_->takeOwnerAndModeOf(target_) : std::error_code();
    return error ? fail(Stage::Write, error) : true;
}

bool SafeFileWriter::write(std::string_view bytes) {
    if (!file_) {
        return fail(Stage::Write, std::make_error_code(std::errc::bad_file_descriptor));
    }
    if (bytes.size() > seams_.byteLimit - written_) {
        return fail(Stage::Write, std::make_error_code(std::errc::no_space_on_device));
    }
    if (const std::error_code error = file_->write(bytes)) {
        return fail(Stage::Write, error);
    }
    written_ += bytes.size();
    return true;
}

bool SafeFileWriter::targetUnchanged(bool linksMade) {
    if (!expected_) {
        return true;
    }
    std::error_code error;
    const std::optional<FileStamp> now = stampOf(target_, error);
    if (!now && error != std::errc::no_such_file_or_directory) {
        return fail(Stage::Check, error);
    }
    // A link made to the file changes its inode's time; after the links only the content counts.
    bool unchanged = now && (linksMade ? now->sameContentAs(*expected_) : *now == *expected_);
    if (unchanged && linksMade && backupLinked_) {
        const std::optional<FileStamp> backup = stampOf(backupMade_, error);
        unchanged = backup && backup->sameContentAs(*expected_);
    }
    return unchanged || fail(Stage::Check, {});
}

bool SafeFileWriter::keepPreviousBackup() {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(backup_, error);
    if (!std::filesystem::exists(status) || std::filesystem::is_directory(status)) {
        return true;  // nothing to keep; a folder in the way fails the backup step below
    }
    step(Step::PreviousKept);
    error = hardLink(backup_, previous_);
    if (error && linksUnsupported(error) && std::filesystem::is_regular_file(status)) {
        error = copyFile(backup_, previous_);
    }
    if (error) {
        return fail(Stage::Backup, error);
    }
    previousKept_ = true;
    return true;
}

bool SafeFileWriter::targetRenamable() {
    // Found out before any second name is made: a name of a file held that way could not be removed again.
    const std::error_code error = checkRenamable(target_);
    return !error || fail(Stage::Backup, error);
}

bool SafeFileWriter::makeBackup() {
    step(Step::BackupMade);
    std::error_code error = hardLink(target_, backupMade_);
    backupLinked_ = !error;
    if (error && linksUnsupported(error)) {
        error = copyFile(target_, backupMade_);
    }
    backupMadeHere_ = !error;
    return !error || fail(Stage::Backup, error);
}

bool SafeFileWriter::placeBackupAndReplace() {
    step(Step::BackupPlaced);
    if (const std::error_code error = rename(backupMade_, backup_, Stage::Backup)) {
        return fail(Stage::Backup, error);
    }
    // A rename between two names of one file (a backup left linked to Call3.txt by a run killed just
    // before its last step) does nothing, and the second name stays.
    std::error_code ignored;
    std::filesystem::remove(backupMade_, ignored);
    backupMadeHere_ = false;
    step(Step::Replaced);
    if (const std::error_code error = rename(temporary_, target_, Stage::Replace)) {
        // The backup is the old content now; the earlier one, if any, goes back under its name.
        std::error_code undone;
        if (previousKept_) {
            undone = rename(previous_, backup_, Stage::None);
            previousKept_ = false;  // put back, or left where it is for the user
        } else {
            std::filesystem::remove(backup_, undone);
        }
        restored_ = !undone;
        return fail(Stage::Replace, error);
    }
    temporary_.clear();
    return true;
}

bool SafeFileWriter::commit() {
    if (!file_) {
        return fail(Stage::Write, std::make_error_code(std::errc::bad_file_descriptor));
    }
    const std::error_code flushed = file_->syncAndClose();
    file_.reset();
    if (flushed) {
        return fail(Stage::Write, flushed);
    }
    step(Step::Flushed);
    if (!targetUnchanged(false) || !targetRenamable() || !keepPreviousBackup() || !makeBackup() ||
        !targetUnchanged(true) || !placeBackupAndReplace()) {
        return false;
    }
    discardTemporaries();  // the earlier backup's second name
    syncFolder(backup_.parent_path());
    if (target_.parent_path() != backup_.parent_path()) {
        syncFolder(target_.parent_path());
    }
    return true;
}
