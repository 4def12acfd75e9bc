// Writes the merged records as the new "Call3.txt", keeping the old one as "Call3.bak".
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <string_view>

#include "calldata/RecordList.h"
#include "calldata/SafeFileWriter.h"

inline constexpr std::string_view databaseFileName{"Call3.txt"};
inline constexpr std::string_view backupFileName{"Call3.bak"};

class DatabaseWriter {
  public:
    struct Result {
        bool ok = false;
        SafeFileWriter::Stage failedStage = SafeFileWriter::Stage::None;
        int cause = 0;         // file-error cause code of the failure
        bool restored = true;  // false only when the old files could not be put back after a failure
        bool stopped = false;  // allWritten said not to go on: nothing was replaced
    };

    // Writes comments and records in list order, each line ending in CR LF, then the end marker.
    // The file starts with a UTF-8 byte-order mark when the old one did. Once every byte is written,
    // before the new file is flushed to disk and put in place, `allWritten` is asked whether to go on:
    // from then on the records are no longer read, whatever it answers and however the write ends.
    [[nodiscard]] Result write(const RecordList& records, const std::filesystem::path& folder,
                               bool byteOrderMark, const std::function<bool()>& allWritten = {}) const;

    // Test seams: the write runs out of space after this many bytes; a stage's rename is refused.
    void failAfterBytes(std::size_t limit) { byteLimit_ = limit; }
    void failRenameAt(SafeFileWriter::Stage stage) { refusedStage_ = stage; }

  private:
    std::size_t byteLimit_ = std::numeric_limits<std::size_t>::max();
    SafeFileWriter::Stage refusedStage_ = SafeFileWriter::Stage::None;
};
