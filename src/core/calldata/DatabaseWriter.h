// Writes the merged records as the new "Call3.txt", keeping the old one as "Call3.bak".
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "core/calldata/RecordList.h"
#include "core/calldata/SafeFileWriter.h"

inline constexpr std::string_view databaseFileName{"Call3.txt"};
inline constexpr std::string_view backupFileName{"Call3.bak"};

class DatabaseWriter {
  public:
    struct Result {
        bool ok = false;
        SafeFileWriter::Stage failedStage = SafeFileWriter::Stage::None;
        int cause = 0;          // file-error cause code of the failure
        std::error_code error;  // what the system said
        bool restored = true;   // false only when the old files could not be put back after a failure
    };

    // Writes comments and records in list order, each line ending in CR LF, then the end marker.
    // The file starts with a UTF-8 byte-order mark when the old one did. `expected` is the stamp
    // Call3.txt had as it was read: a Call3.txt changed since is not replaced. Once every byte is written,
    // before the new file is flushed to disk and put in place, `allWritten` is called: from then on the
    // records are no longer read.
    [[nodiscard]] Result write(const RecordList& records, const std::filesystem::path& folder,
                               bool byteOrderMark, std::optional<FileStamp> expected,
                               const std::function<void()>& allWritten = {}) const;

    // What tests set to make the write fail or stop between its steps.
    SafeFileWriter::Seams seams;
};
