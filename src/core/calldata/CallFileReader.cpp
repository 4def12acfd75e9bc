// Reading callsign files: line ends, comments, the end marker and the call order.
#include "core/calldata/CallFileReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

#include "core/calldata/ProgressTicker.h"

namespace {

// The bytes that hold lines: without a leading byte-order mark and without the Ctrl-Z run at the end.
std::string_view callText(std::string_view bytes, ReadResult& result, const ReadResult* inspected = nullptr) {
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
    if (inspected != nullptr) {
        result.hasNonAscii = inspected->hasNonAscii;
        result.encoding = inspected->encoding;
        return bytes;
    }
    result.hasNonAscii = hasNonAscii(bytes);
    result.encoding =
        result.encodingKnown() && isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    return bytes;
}

// The lines of a text, one at a time: they end at LF (a CR before it is dropped), or, in a text
// without any LF, at CR, so that a file saved with old Macintosh line ends is not read as one line.
class LineWalk {
  public:
    explicit LineWalk(std::string_view bytes)
        : bytes_(bytes),
          end_(bytes.find('\n') == bytes.npos && bytes.find('\r') != bytes.npos ? '\r' : '\n') {}

    [[nodiscard]] std::size_t count() const {
        const auto ends = static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), end_));
        return ends + (bytes_.empty() || bytes_.back() == end_ ? 0 : 1);
    }
    // The next line without its end, and whether it had one; false once the text is done.
    bool next(std::string_view& line, bool& ended) {
        if (start_ >= bytes_.size()) {
            return false;
        }
        const std::size_t lineEnd = bytes_.find(end_, start_);
        ended = lineEnd != std::string_view::npos;
        line = bytes_.substr(start_, ended ? lineEnd - start_ : bytes_.npos);
        start_ = ended ? lineEnd + 1 : bytes_.size();
        if (ended && end_ == '\n' && line.ends_with('\r')) {
            line.remove_suffix(1);  // CR LF reads as LF
        }
        return true;
    }

  private:
    std::string_view bytes_;
    char end_;
    std::size_t start_ = 0;
};

// The first eight bytes of a call, big-endian and padded with zero bytes: orders calls as their text
// does (calls hold no zero byte), and decides most comparisons without a look at the records.
std::uint64_t callPrefix(std::string_view call) {
    std::array<unsigned char, 8> bytes{};
    std::memcpy(bytes.data(), call.data(), std::min(call.size(), bytes.size()));
    std::uint64_t prefix = 0;
    for (const unsigned char byte : bytes) {
        prefix = (prefix << 8) | byte;
    }
    return prefix;
}

// The records in call order, of several with one call only the first in the file. Sorted by keys (the
// call's first bytes and the record's place) rather than the records themselves: a key holds what
// most comparisons need, and the place keeps the first line of a call ahead of the later ones.
RecordList::Entries orderByCall(std::vector<CallRecord>& records) {
    struct Key {
        std::uint64_t prefix;
        std::uint32_t index;
    };
    std::vector<Key> keys;
    keys.reserve(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        keys.push_back({callPrefix(records[i].call()), static_cast<std::uint32_t>(i)});
    }
    const auto before = [&records](const Key& a, const Key& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix;
        }
        // Calls that fill all eight bytes may differ after them.
        if ((a.prefix & 0xFFU) != 0) {
            if (const int order = records[a.index].call().compare(records[b.index].call()); order != 0) {
                return order < 0;
            }
        }
        return a.index < b.index;
    };
    // A database this program wrote is in call order already.
    if (!std::is_sorted(keys.begin(), keys.end(), before)) {
        std::sort(keys.begin(), keys.end(), before);
    }
    RecordList::Entries order;
    order.reserve(keys.size());
    for (const Key& key : keys) {
        CallRecord& record = records[key.index];
        if (order.empty() || order.back()->call() != record.call()) {
            order.push_back(&record);
        }
    }
    return order;
}

}  // namespace

ReadResult inspectCallText(std::string_view bytes) {
    ReadResult result;
    (void)callText(bytes, result);
    return result;
}

ReadResult readCallText(RecordList& records, std::vector<std::string>& comments,
                        std::shared_ptr<const FileText> fileText, const FieldDefinition& layout,
                        const std::string& labelName, ProgressDisplay& progress,
                        std::optional<TextEncoding> storeAs, const ReadResult* inspected) {
    records.setLayout(&layout);
    std::string_view bytes = fileText->bytes();
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return {};  // far beyond the largest file the program opens
    }
    records.keepText(std::move(fileText));  // the records point into it
    ReadResult result;
    bytes = callText(bytes, result, inspected);
    // Lines are cut in their own encoding (column positions count its bytes), then converted.
    const TextEncoding readAs = result.encoding;
    const bool converting = storeAs && *storeAs != readAs && result.hasNonAscii;
    if (converting) {
        result.encoding = *storeAs;
    }

    LineWalk lines(bytes);
    const std::size_t lineCount = lines.count();
    progress.setLabel("Loading " + labelName);
    ProgressTicker ticker(progress, lineCount);
    std::vector<CallRecord> read;
    read.reserve(lineCount);
    std::string_view line;
    bool ended = false;
    while (lines.next(line, ended)) {
        CallRecord& record = read.emplace_back(&layout);
        record.cutLine(line, readAs);
        if (record.isComment()) {
            if (!record.line().starts_with("ZZZZZZ")) {
                comments.push_back(convertEncoding(line, readAs, result.encoding) + (ended ? "\n" : ""));
            }
            read.pop_back();
        } else if (converting) {
            record.convertEncoding(readAs, result.encoding);
        }
        ticker.step();
    }
    RecordList::Entries order = orderByCall(read);
    records.placeRead(std::move(read), std::move(order));
    return result;
}
