// Writes the merged records as the new "Call3.txt", keeping the old one as "Call3.bak".
#pragma once

#include <cstddef>
#include <filesystem>
#include <limits>
#include <string_view>

#include "calldata/RecordList.h"
#include "calldata/SafeFileWriter.h"

inline constexpr std::string_view databaseFileName{"Call3.txt"};
inline constexpr std::string_view backupFileName{"Call3.bak"};

struct WriteResult {
    bool ok = false;
    SafeFileWriter::Stage failedStage = SafeFileWriter::Stage::None;
    int cause = 0;         // file-error cause code of the failure
    bool restored = true;  // false only when "Call3.txt" could not be put back after a failure
};

class DatabaseWriter {
  public:
    // Writes comments and records in list order, each line ending in CR LF, then the end marker.
    // The file starts with a UTF-8 byte-order mark when the old one did.
    [[nodiscard]] WriteResult write(const RecordList& records, const std::filesystem::path& folder,
                                    bool byteOrderMark) const;

    // Test seam: the write fails for lack of space after this many bytes.
    void failAfterBytes(std::size_t limit) { byteLimit_ = limit; }

  private:
    std::size_t byteLimit_ = std::numeric_limits<std::size_t>::max();
};
