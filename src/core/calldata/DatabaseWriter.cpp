// Formatting the database lines and handing them to the safe writer in large pieces.
#include "core/calldata/DatabaseWriter.h"

#include <string>

#include "core/calldata/CallFileReader.h"
#include "core/calldata/FileErrorCause.h"
#include "core/calldata/Prefetch.h"

DatabaseWriter::Result DatabaseWriter::write(const RecordList& records, const std::filesystem::path& folder,
                                             bool byteOrderMark, std::optional<FileStamp> expected,
                                             const std::function<void()>& allWritten) const {
    SafeFileWriter writer(folder / databaseFileName, folder / backupFileName, expected, seams);
    const auto failed = [&writer]() {
        return Result{false, writer.failedStage(), fileErrorCause(writer.error()), writer.error(),
                      writer.restored()};
    };
    if (!writer.open()) {
        return failed();
    }
    // Lines are gathered into pieces of about this size: few writes, and little memory.
    constexpr std::size_t pieceSize = std::size_t{1} << 20;
    std::string piece;
    piece.reserve(pieceSize + 4096);
    if (byteOrderMark) {
        piece += utf8ByteOrderMark;
    }
    const RecordList::Entries& order = records.entries();
    for (std::size_t i = 0; i < order.size(); ++i) {
        prefetchAhead(order, i);
        const CallRecord* record = order[i];
        if (record->isComment()) {
            piece += record->line();
        } else {
            record->appendDatabaseLine(piece);
        }
        piece += "\r\n";
        if (piece.size() >= pieceSize) {
            if (!writer.write(piece)) {
                return failed();
            }
            piece.clear();
        }
    }
    piece += endMarkerLine;
    piece += "\r\n";
    if (!writer.write(piece)) {
        return failed();
    }
    if (allWritten) {
        allWritten();
    }
    if (!writer.commit()) {
        return failed();
    }
    return Result{true, SafeFileWriter::Stage::None, 0, {}, true};
}
