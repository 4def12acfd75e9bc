// Formatting the database lines and handing them to the safe writer in large pieces.
#include "calldata/DatabaseWriter.h"

#include <string>

#include "calldata/CallFileReader.h"
#include "calldata/FileErrorCause.h"

WriteResult DatabaseWriter::write(const RecordList& records, const std::filesystem::path& folder,
                                  bool byteOrderMark) const {
    SafeFileWriter writer(folder / databaseFileName, folder / backupFileName);
    writer.failAfterBytes(byteLimit_);
    const auto failed = [&writer]() {
        return WriteResult{false, writer.failedStage(), fileErrorCause(writer.error()), writer.restored()};
    };
    if (!writer.open()) {
        return failed();
    }

    constexpr std::size_t chunkSize = 1 << 20;
    std::string chunk;
    chunk.reserve(chunkSize + 4096);
    if (byteOrderMark) {
        chunk += utf8ByteOrderMark;
    }
    for (const auto& record : records) {
        chunk += record->isComment ? record->line : record->databaseLine();
        chunk += "\r\n";
        if (chunk.size() >= chunkSize) {
            if (!writer.write(chunk)) {
                return failed();
            }
            chunk.clear();
        }
    }
    chunk += endMarkerLine;
    chunk += "\r\n";
    if (!writer.write(chunk) || !writer.commit()) {
        return failed();
    }
    return WriteResult{true, SafeFileWriter::Stage::None, 0, true};
}
