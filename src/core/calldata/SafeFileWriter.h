// Writes a file's new content beside it and swaps it in only when it is complete on disk, keeping the old
// content under a backup name. The target's name exists at every moment: a program killed at any point
// leaves the target whole, old or new, and the backup whole.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/platform/NewFile.h"
#include "core/platform/PlatformFiles.h"

class SafeFileWriter {
  public:
    enum class Stage {
        None,
        Write,    // creating, writing or flushing the new file
        Check,    // the target changed since it was read (no error), or could not be looked at (error)
        Backup,   // putting the old content under the backup name
        Replace,  // putting the new file under the target's name
    };
    // The steps of commit, in order, each done in one move of the file system.
    enum class Step {
        Flushed,       // the new file is complete on disk
        PreviousKept,  // an earlier backup has a second name, to be put back should the replace fail
        BackupMade,    // the old content has a second name beside the backup (a link, or a copy)
        BackupPlaced,  // that name is moved over the backup
        Replaced,      // the new file is moved over the target
    };
    // What tests set to make a write fail, or to stop the program between two steps.
    struct Seams {
        std::size_t byteLimit = std::numeric_limits<std::size_t>::max();  // out of space after this
        Stage refusedRename = Stage::None;                                // Backup or Replace
        std::function<void(Step)> beforeStep;
    };

    // `target` is replaced; when it is a symbolic link, the file it leads to is, and the link stays. The
    // old content goes to `backup`, a plain file in its own folder. With `expected` (the stamp the target
    // had as it was read), a target changed since is not replaced.
    SafeFileWriter(const std::filesystem::path& target, std::filesystem::path backup,
                   std::optional<FileStamp> expected, Seams seams);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the new file beside the target, with the target's owner and permissions.
    [[nodiscard]] bool open();
    [[nodiscard]] bool write(std::string_view bytes);
    // Flushes the new file to disk, checks the target, then puts the old content under the backup name
    // and the new file under the target's. On failure the target and an earlier backup are as they were;
    // only when even putting the backup back fails is `restored` false.
    [[nodiscard]] bool commit();

    [[nodiscard]] Stage failedStage() const { return failedStage_; }
    [[nodiscard]] std::error_code error() const { return error_; }
    [[nodiscard]] bool restored() const { return restored_; }

    // The file a write of `target` replaces: the end of its symbolic links, or `target` itself.
    [[nodiscard]] static std::filesystem::path fileBehind(const std::filesystem::path& target);
    // The lock file that keeps two writers of `target` apart (see FileLock).
    [[nodiscard]] static std::filesystem::path lockPath(const std::filesystem::path& target);
    // Removes the temporary files that a writer of `target` stopped midway left behind. Only under the
    // lock, when no other writer can be using them.
    static void removeLeftovers(const std::filesystem::path& target, const std::filesystem::path& backup);

  private:
    bool fail(Stage stage, std::error_code error);
    void step(Step step) const;
    [[nodiscard]] std::error_code rename(const std::filesystem::path& from, const std::filesystem::path& to,
                                         Stage stage) const;
    [[nodiscard]] bool targetUnchanged(bool linksMade);
    [[nodiscard]] bool targetRenamable();
    [[nodiscard]] bool keepPreviousBackup();
    [[nodiscard]] bool makeBackup();
    [[nodiscard]] bool placeBackupAndReplace();
    void discardTemporaries();

    std::filesystem::path target_;  // links followed
    std::filesystem::path backup_;
    std::filesystem::path temporary_;
    std::filesystem::path backupMade_;  // the old content's second name, beside the backup
    std::filesystem::path previous_;    // an earlier backup's second name
    std::optional<FileStamp> expected_;
    Seams seams_;
    std::unique_ptr<NewFile> file_;
    std::size_t written_ = 0;
    bool backupLinked_ = false;    // backupMade_ is a link to the target, not a copy
    bool backupMadeHere_ = false;  // backupMade_ exists and is this writer's to remove
    bool previousKept_ = false;    // previous_ exists and is this writer's to remove
    Stage failedStage_ = Stage::None;
    std::error_code error_;
    bool restored_ = true;
};
