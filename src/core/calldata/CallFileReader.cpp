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

    // The line numbers, counted from 1, of the lines that hold the given places (in any order).
    [[nodiscard]] std::vector<std::uint32_t> lineNumbers(const std::vector<std::uint32_t>& places) const {
        std::vector<std::size_t> order(places.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        std::sort(order.begin(), order.end(),
                  [&](std::size_t a, std::size_t b) { return places[a] < places[b]; });
        std::vector<std::uint32_t> numbers(places.size());
        std::uint32_t line = 1;
        std::size_t counted = 0;
        for (const std::size_t i : order) {
            line += static_cast<std::uint32_t>(
                std::count(bytes_.begin() + static_cast<std::ptrdiff_t>(counted),
                           bytes_.begin() + static_cast<std::ptrdiff_t>(places[i]), end_));
            counted = places[i];
            numbers[i] = line;
        }
        return numbers;
    }

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

// A line's place in the call order. The first walk makes one for each station line, in file order; the
// keys are then sorted, and the second walk makes the records in call order, so that they lie in memory in
// the order in which the merge and the write visit them.
struct LineKey {
    std::uint64_t prefix;  // the first eight bytes of the call, see callPrefix
    // A line already in the database's form (see CallRecord::checkPlainLine) needs no record before the
    // second walk, which makes one from the trimmed line alone: `at` is where it starts in the text and
    // `length` its length. Any other line was cut in the first walk: `at` is its record's index among the
    // cut ones, `length` is 0, and `place` is where its line starts, so that keys sort in file order.
    std::uint32_t at;
    std::uint32_t length;
    [[nodiscard]] std::uint32_t filePlace(const std::vector<std::uint32_t>& cutPlaces) const {
        return length != 0 ? at : cutPlaces[at];
    }
};

// What the first walk finds: the keys of the station lines, and the records of the lines it had to cut.
struct FirstWalk {
    std::vector<LineKey> keys;
    std::vector<CallRecord> cut;
    std::vector<std::uint32_t> cutPlaces;  // where each of `cut` starts in the text
};

// The call of a key: of the line itself, or of its cut record.
std::string_view callOf(const LineKey& key, std::string_view text, const FirstWalk& walk) {
    if (key.length == 0) {
        return walk.cut[key.at].call();
    }
    const std::string_view line = text.substr(key.at, key.length);
    return line.substr(0, line.find(','));
}

// Sorts the keys by call and, within a call, by place in the file, so that the first line of a call comes
// first; the prefix decides most comparisons without a look at the text.
void sortKeys(FirstWalk& walk, std::string_view text) {
    const auto before = [&](const LineKey& a, const LineKey& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix;
        }
        // Calls that fill all eight bytes may differ after them.
        if ((a.prefix & 0xFFU) != 0) {
            if (const int order = callOf(a, text, walk).compare(callOf(b, text, walk)); order != 0) {
                return order < 0;
            }
        }
        return a.filePlace(walk.cutPlaces) < b.filePlace(walk.cutPlaces);
    };
    // A database this program wrote is in call order already.
    if (!std::is_sorted(walk.keys.begin(), walk.keys.end(), before)) {
        std::sort(walk.keys.begin(), walk.keys.end(), before);
    }
}

// The second walk: the records in call order, the first line of each call only, in the file's encoding
// or converted to `storeAs`.
// A line left out, and the line of its call that was kept: its key and the index of its record.
struct Dropped {
    LineKey left;
    LineKey kept;
    std::size_t keptRecord;
};

// `dropped` gets the lines left out.
std::vector<CallRecord> makeRecords(FirstWalk& walk, std::string_view text, const FieldDefinition& layout,
                                    std::optional<std::pair<TextEncoding, TextEncoding>> conversion,
                                    std::vector<Dropped>& dropped) {
    std::vector<CallRecord> records;
    records.reserve(walk.keys.size());
    std::uint64_t keptPrefix = 0;  // of the last record made
    LineKey kept{};
    for (const LineKey& key : walk.keys) {
        // Calls of up to seven bytes with one prefix are one call (calls hold no zero byte).
        if (!records.empty() && key.prefix == keptPrefix &&
            ((key.prefix & 0xFFU) == 0 || callOf(key, text, walk) == records.back().call())) {
            dropped.push_back({key, kept, records.size() - 1});
            continue;
        }
        keptPrefix = key.prefix;
        kept = key;
        CallRecord& record = key.length != 0 ? records.emplace_back(&layout)
                                             : records.emplace_back(std::move(walk.cut[key.at]));
        if (key.length != 0) {
            record.takePlainLine(text.substr(key.at, key.length));
        }
        if (conversion) {
            record.convertEncoding(conversion->first, conversion->second);
        }
    }
    return records;
}

// The lines left out, with their numbers and texts, in file order.
void noteDuplicates(const std::vector<Dropped>& dropped, const FirstWalk& walk,
                    const std::vector<CallRecord>& records, std::string_view text, const LineWalk& lines,
                    TextEncoding readAs, ReadResult& result) {
    if (dropped.empty()) {
        return;
    }
    std::vector<std::uint32_t> places;
    for (const Dropped& line : dropped) {
        places.push_back(line.left.filePlace(walk.cutPlaces));
        places.push_back(line.kept.filePlace(walk.cutPlaces));
    }
    const std::vector<std::uint32_t> numbers = lines.lineNumbers(places);
    for (std::size_t i = 0; i < dropped.size(); ++i) {
        const LineKey& left = dropped[i].left;
        const std::string_view leftLine =
            left.length != 0 ? text.substr(left.at, left.length) : trimWhiteSpace(walk.cut[left.at].line());
        // The kept line is its record's, in the encoding the records are stored in.
        result.duplicates.push_back({numbers[2 * i], convertEncoding(leftLine, readAs, result.encoding),
                                     numbers[2 * i + 1],
                                     std::string(trimWhiteSpace(records[dropped[i].keptRecord].line()))});
    }
    std::sort(result.duplicates.begin(), result.duplicates.end(),
              [](const DroppedLine& a, const DroppedLine& b) { return a.line < b.line; });
}

void noteSlashedCall(std::string_view call, std::uint32_t lineNumber, std::string_view trimmed,
                     TextEncoding readAs, ReadResult& result) {
    if (call.find('/') != std::string_view::npos) {
        result.slashedCalls.push_back(
            {std::string(call), lineNumber, convertEncoding(trimmed, readAs, result.encoding)});
    }
}

}  // namespace

std::vector<std::uint32_t> lineNumbersOf(std::string_view bytes, const std::vector<std::uint32_t>& places) {
    return LineWalk(bytes).lineNumbers(places);
}

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
    FirstWalk walk;
    walk.keys.reserve(lineCount);
    std::uint32_t lineNumber = 0;
    const bool plainLayout = layout.commaDelimited && layout.databaseOrder && !layout.fields.empty();
    CallRecord scratch(&layout);
    std::string_view line;
    bool ended = false;
    while (lines.next(line, ended)) {
        ticker.step();
        ++lineNumber;
        // Most lines of a file in the database's form need no cut: a look along the line finds its call.
        const std::string_view trimmed = trimWhiteSpace(line);
        if (plainLayout && CallRecord::checkPlainLine(trimmed, layout.fields.size()).plain) {
            const std::string_view call = trimmed.substr(0, trimmed.find(','));
            noteSlashedCall(call, lineNumber, trimmed, readAs, result);
            walk.keys.push_back({callPrefix(call), static_cast<std::uint32_t>(trimmed.data() - bytes.data()),
                                 static_cast<std::uint32_t>(trimmed.size())});
            continue;
        }
        scratch.cutLine(line, readAs);
        if (scratch.isComment()) {
            if (!scratch.line().starts_with("ZZZZZZ")) {
                comments.push_back(convertEncoding(line, readAs, result.encoding) + (ended ? "\n" : ""));
                result.commentLines.push_back(lineNumber);
            }
            continue;
        }
        noteSlashedCall(scratch.call(), lineNumber, trimmed, readAs, result);
        walk.keys.push_back({callPrefix(scratch.call()), static_cast<std::uint32_t>(walk.cut.size()), 0});
        walk.cutPlaces.push_back(static_cast<std::uint32_t>(line.data() - bytes.data()));
        walk.cut.push_back(std::move(scratch));  // leaves the scratch record empty, with its layout
    }
    sortKeys(walk, bytes);
    std::vector<Dropped> dropped;
    std::vector<CallRecord> read =
        makeRecords(walk, bytes, layout,
                    converting ? std::optional(std::pair(readAs, result.encoding)) : std::nullopt, dropped);
    noteDuplicates(dropped, walk, read, bytes, lines, readAs, result);
    walk = FirstWalk();  // given back before the order is made
    RecordList::Entries order;
    order.reserve(read.size());
    for (CallRecord& record : read) {
        order.push_back(&record);
    }
    records.placeRead(std::move(read), std::move(order));
    return result;
}
