// Formatting the database lines and handing them to the safe writer in large pieces.
#include "calldata/DatabaseWriter.h"

#include <algorithm>
#include <functional>
#include <future>
#include <string>
#include <system_error>

#include "calldata/CallFileReader.h"
#include "calldata/FileErrorCause.h"
#include "calldata/Prefetch.h"

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

    // The lines are formatted in pieces, two at a time on two cores, and written in order by this thread.
    constexpr std::size_t pieceRecords = 1 << 14;
    const std::size_t count = records.size();
    const auto format = [&records](std::size_t begin, std::size_t end, std::string& out) {
        // The lines of records lie scattered over the files read: fetching a few ahead hides the wait.
        constexpr std::size_t ahead = 8;
        for (std::size_t i = begin; i < end; ++i) {
            if (i + 2 * ahead < end) {
                prefetch(&records.at(i + 2 * ahead));
                prefetchLine(records.at(i + ahead).line());
            }
            const CallRecord& record = records.at(i);
            if (record.isComment) {
                out += record.line();
            } else {
                record.appendDatabaseLine(out);
            }
            out += "\r\n";
        }
    };
    std::string chunk;
    if (byteOrderMark) {
        chunk += utf8ByteOrderMark;
    }
    for (std::size_t begin = 0; begin < count; begin += 2 * pieceRecords) {
        const std::size_t middle = std::min(begin + pieceRecords, count);
        const std::size_t end = std::min(middle + pieceRecords, count);
        std::string second;
        second.reserve(chunk.capacity());   // grown a piece at a time, it is copied over and over
        std::future<void> secondFormatted;  // declared after its text: it is joined before the text goes
        if (middle < end) {
            try {
                secondFormatted = std::async(std::launch::async, format, middle, end, std::ref(second));
            } catch (const std::system_error&) {
                // No second thread to be had: this one formats both pieces.
            }
        }
        format(begin, middle, chunk);
        if (!writer.write(chunk)) {
            return failed();
        }
        chunk.clear();
        if (secondFormatted.valid()) {
            secondFormatted.get();
        } else {
            format(middle, end, second);
        }
        if (!writer.write(second)) {
            return failed();
        }
    }
    chunk += endMarkerLine;
    chunk += "\r\n";
    if (!writer.write(chunk)) {
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
