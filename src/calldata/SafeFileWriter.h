// Writes a file's new content beside it and swaps it in only when it is complete on disk.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <limits>
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
    // Flushes the new file to disk, moves the old target to the backup name (replacing an older
    // backup in one step) and the new file to the target name. On failure the target and the
    // backup are as they were before, except after a failed restore (then `restored` is false).
    [[nodiscard]] bool commit();

    [[nodiscard]] Stage failedStage() const { return failedStage_; }
    [[nodiscard]] std::error_code error() const { return error_; }
    [[nodiscard]] bool restored() const { return restored_; }
    [[nodiscard]] const std::filesystem::path& temporaryPath() const { return temporary_; }

    // Test seam: writing fails with "no space" once this many bytes have been written.
    void failAfterBytes(std::size_t limit) { byteLimit_ = limit; }

  private:
    bool fail(Stage stage, std::error_code error);
    void discardTemporary();

    std::filesystem::path target_;
    std::filesystem::path backup_;
    std::filesystem::path temporary_;
    std::FILE* file_ = nullptr;
    std::size_t written_ = 0;
    std::size_t byteLimit_ = std::numeric_limits<std::size_t>::max();
    Stage failedStage_ = Stage::None;
    std::error_code error_;
    bool restored_ = true;
    bool committed_ = false;
};
