// A file's bytes held in memory of the program's own, for the records that point into them.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/platform/PlatformFiles.h"

class FileText {
  public:
    explicit FileText(FileBytes read) : read_(std::move(read)) {}
    // A copy of bytes already in memory; it has no file, and so no stamp.
    explicit FileText(std::string_view bytes);

    [[nodiscard]] std::string_view bytes() const { return {read_.data.get(), read_.size}; }
    // The file's stamp as it was opened for the read; nothing for a text given from memory.
    [[nodiscard]] std::optional<FileStamp> stamp() const {
        return hasFile_ ? std::optional(read_.stamp) : std::nullopt;
    }

    // The whole content of a regular file; nothing when it is not one, is too large or cannot be read
    // (`error` then says why, where the system said).
    [[nodiscard]] static std::shared_ptr<const FileText> load(const std::filesystem::path& path,
                                                              std::error_code& error);

  private:
    FileBytes read_;
    bool hasFile_ = true;
};
