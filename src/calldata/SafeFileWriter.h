// Writes a file's new content beside it and swaps it in only when it is complete on disk.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>

class SafeFileWriter {
  public:
    enum class Stage {
        None,
        Write,    // creating, writing or flushing the new file
        Backup,   // moving the old file to the backup name
        Replace,  // moving the new file to the target name
    };

    SafeFileWriter(std::filesystem::path target, std::filesystem::path backup);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file in the target's folder.
    [[nodiscard]] bool open();
    [[nodiscard]] bool write(std::string_view bytes);
    // Flushes the new file to disk, moves the old target to the backup name and the new file to the
    // target name. On failure the target and an earlier backup are put back as they were; only when
    // even that fails is `restored` false.
    [[nodiscard]] bool commit();

    [[nodiscard]] Stage failedStage() const { return failedStage_; }
    [[nodiscard]] std::error_code error() const { return error_; }
    [[nodiscard]] bool restored() const { return restored_; }

    // Test seams: writing runs out of space after this many bytes; a stage's rename is refused.
    void failAfterBytes(std::size_t limit) { byteLimit_ = limit; }
    void failRenameAt(Stage stage) { refusedStage_ = stage; }

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool fail(Stage stage, std::error_code error);
    [[nodiscard]] std::error_code rename(const std::filesystem::path& from, const std::filesystem::path& to,
                                         Stage stage) const;
    void discardTemporary();

    std::filesystem::path target_;
    std::filesystem::path backup_;
    std::filesystem::path temporary_;
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::size_t written_ = 0;
    std::size_t byteLimit_ = std::numeric_limits<std::size_t>::max();
    Stage refusedStage_ = Stage::None;
    Stage failedStage_ = Stage::None;
    std::error_code error_;
    bool restored_ = true;
    bool committed_ = false;
};
