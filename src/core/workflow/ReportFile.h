// Where the JSON report goes: never one of the merge's own files, and never a half-written file.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "core/platform/NewFile.h"

class ReportFile {
  public:
    explicit ReportFile(std::filesystem::path path) : path_(std::move(path)) {}
    ~ReportFile();
    ReportFile(const ReportFile&) = delete;
    ReportFile& operator=(const ReportFile&) = delete;

    // Whether `path` is, by name or through any link, one of `files` (which need not exist yet).
    [[nodiscard]] static bool isOneOf(const std::filesystem::path& path,
                                      const std::vector<std::filesystem::path>& files);

    // Creates the temporary file beside the report, so that a report that cannot be written is known
    // before the merge starts.
    [[nodiscard]] std::error_code open();
    // Writes the text, flushes it to disk and puts it under the report's name in one step.
    [[nodiscard]] std::error_code write(std::string_view text);

  private:
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    std::unique_ptr<NewFile> file_;
};
