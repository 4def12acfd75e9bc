// Formatting the database lines and handing them to the safe writer in large pieces.
#include "calldata/DatabaseWriter.h"

#include <string>

#include "calldata/CallFileReader.h"
#include "calldata/FileErrorCause.h"
#include "calldata/Prefetch.h"

DatabaseWriter::Result DatabaseWriter::write(const RecordList& records, const std::filesystem::path& folder,
                                             bool byteOrderMark) const {
    SafeFileWriter writer(folder / databaseFileName, folder / backupFileName);
    writer.failAfterBytes(byteLimit_);
    writer.failRenameAt(refusedStage_);
    const auto failed = [&writer]() {
        return Result{false, writer.failedStage(), fileErrorCause(writer.error()), writer.restored()};
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
    // The lines of records lie scattered over the files read: fetching a few ahead hides most of the wait.
    constexpr std::size_t ahead = 8;
    const std::size_t count = records.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (i + 2 * ahead < count) {
            prefetch(&records.at(i + 2 * ahead));
            prefetch(records.at(i + ahead).line().data());
        }
        const CallRecord* record = &records.at(i);
        if (record->isComment) {
            chunk += record->line();
        } else {
            record->appendDatabaseLine(chunk);
        }
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
    return Result{true, SafeFileWriter::Stage::None, 0, true};
}
