// Reading callsign files: line ends, comments, the end marker and the call order.
#include "calldata/CallFileReader.h"

#include <algorithm>

#include "calldata/PlatformFiles.h"
#include "calldata/ProgressTicker.h"

namespace {

// The bytes that hold lines: without a leading byte-order mark and without the Ctrl-Z run at the end.
std::string_view callText(std::string_view bytes, ReadResult& result) {
    result.opened = true;
    if (bytes.starts_with(utf8ByteOrderMark)) {
        result.hadByteOrderMark = true;
        bytes.remove_prefix(utf8ByteOrderMark.size());
    }
    // A Ctrl-Z ends a text file, as old editors put one after its last line. One with more text after
    // it is an ordinary byte, so that the lines after it are not lost.
    const std::size_t lastText = bytes.find_last_not_of("\r\n\x1A");
    const std::size_t endOfFile = bytes.find('\x1A', lastText == bytes.npos ? 0 : lastText + 1);
    if (endOfFile != bytes.npos) {
        bytes = bytes.substr(0, endOfFile);
    }
    result.encoding = detectEncoding(bytes);
    result.hasNonAscii = hasNonAscii(bytes);
    return bytes;
}

}  // namespace

ReadResult inspectCallText(std::string_view bytes) {
    ReadResult result;
    (void)callText(bytes, result);
    return result;
}

ReadResult readCallFile(RecordList& records, std::vector<std::string>& comments,
                        const std::filesystem::path& path, const FieldDefinition& layout,
                        const std::string& labelName, ProgressDisplay& progress,
                        std::optional<TextEncoding> storeAs) {
    records.setLayout(&layout);
    std::optional<std::string> bytes = readRegularFile(path);
    if (!bytes) {
        return {};
    }
    return readSharedText(records, comments, std::make_shared<const std::string>(std::move(*bytes)), layout,
                          labelName, progress, storeAs);
}

ReadResult readCallText(RecordList& records, std::vector<std::string>& comments, std::string_view bytes,
                        const FieldDefinition& layout, const std::string& labelName,
                        ProgressDisplay& progress, std::optional<TextEncoding> storeAs) {
    return readSharedText(records, comments, std::make_shared<const std::string>(bytes), layout, labelName,
                          progress, storeAs);
}

ReadResult readSharedText(RecordList& records, std::vector<std::string>& comments,
                          std::shared_ptr<const std::string> fileText, const FieldDefinition& layout,
                          const std::string& labelName, ProgressDisplay& progress,
                          std::optional<TextEncoding> storeAs) {
    // Records point into the file's text, which their list keeps.
    records.keepText(fileText);
    std::string_view bytes = *fileText;
    records.setLayout(&layout);
    ReadResult result;
    bytes = callText(bytes, result);
    // Lines are cut in their own encoding (column positions count its bytes), then converted.
    const TextEncoding readAs = result.encoding;
    const bool converting = storeAs && *storeAs != readAs && result.hasNonAscii;
    if (converting) {
        result.encoding = *storeAs;
    }

    // Lines end at LF (a CR before it is dropped); in a file without any LF, at CR, so that a file
    // saved with old Macintosh line ends is not read as one long line.
    const char lineEnd = bytes.find('\n') == bytes.npos && bytes.find('\r') != bytes.npos ? '\r' : '\n';
    const std::size_t lineCount = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), lineEnd)) +
                                  (bytes.empty() || bytes.back() == lineEnd ? 0 : 1);
    progress.setLabel("Loading " + labelName);
    ProgressTicker ticker(progress, lineCount);

    RecordList::Entries read;
    read.reserve(lineCount);
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lineFeed = bytes.find(lineEnd, start);
        const bool hasLineFeed = lineFeed != std::string_view::npos;
        std::string_view text = bytes.substr(start, hasLineFeed ? lineFeed - start : bytes.npos);
        start = hasLineFeed ? lineFeed + 1 : bytes.size();
        if (hasLineFeed && lineEnd == '\n' && text.ends_with('\r')) {
            text.remove_suffix(1);  // CR LF reads as LF
        }

        auto record = std::make_unique<CallRecord>(&layout);
        record->parseSharedLine(text, readAs);
        if (record->isComment) {
            if (!record->line().starts_with("ZZZZZZ")) {
                std::string comment = convertEncoding(text, readAs, result.encoding);
                if (hasLineFeed) {
                    comment += '\n';
                }
                comments.push_back(std::move(comment));
            }
        } else {
            if (converting) {
                record->convertEncoding(readAs, result.encoding);
            }
            read.push_back(std::move(record));
        }
        ticker.step();
    }
    records.insertSorted(std::move(read));
    return result;
}
