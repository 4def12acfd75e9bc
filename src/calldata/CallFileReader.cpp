// Reading callsign files: line ends, comments, the end marker and the call order.
#include "calldata/CallFileReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

#include "calldata/PlatformMemory.h"
#include "calldata/ProgressTicker.h"

namespace {

// The first eight bytes of a call, big-endian and padded with zero bytes: orders calls as their text
// does (calls hold no zero byte), and decides most comparisons alone.
std::uint64_t callPrefix(std::string_view call) {
    std::array<unsigned char, 8> bytes{};
    std::memcpy(bytes.data(), call.data(), std::min(call.size(), bytes.size()));
    std::uint64_t prefix = 0;
    for (const unsigned char byte : bytes) {
        prefix = (prefix << 8) | byte;
    }
    return prefix;
}

// How often a byte occurs. Counted a block of 32 bytes at a time in 32 byte-sized counters, which
// the compiler keeps side by side in vector registers, emptied every 255 blocks before they can
// overflow: seven times as fast as std::count, which widens each byte's count first.
std::size_t countOf(std::string_view bytes, char wanted) {
    constexpr std::size_t width = 32;
    constexpr std::size_t blocks = 255;
    std::size_t count = 0;
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    while (left >= width * blocks) {
        std::array<unsigned char, width> counters{};
        for (std::size_t block = 0; block < blocks; ++block, at += width) {
            for (std::size_t i = 0; i < width; ++i) {
                counters[i] = static_cast<unsigned char>(counters[i] + (at[i] == wanted ? 1 : 0));
            }
        }
        for (const unsigned char n : counters) {
            count += n;
        }
        left -= width * blocks;
    }
    return count + static_cast<std::size_t>(std::count(at, at + left, wanted));
}

// A line's place in the call order, made by the first walk of the reader.
struct LineKey {
    std::uint64_t prefix;  // the first eight bytes of the call, big-endian
    // A plain line, already in database form (see CallRecord::plainCallLength), is made again from its
    // trimmed start and length; any other keeps its first cut, whose index is the offset.
    std::uint32_t offset;
    std::uint32_t plainLength;  // 0: not plain
};

// Sorts keys by `before`, which orders by prefix first. The keys are sorted by their prefix bytes, one
// byte after another from the last, each pass stable (a byte that all keys share is passed over), so
// that the keys of one prefix stay in file order, which is position order; only a run of keys that share
// all eight bytes, of calls that may differ after them, is then sorted by `before`. Twice as fast as
// spreading the keys into buckets in place, for a scratch copy of them while it runs.
template <typename Before>
void sortKeys(std::vector<LineKey>& keys, const Before& before) {
    const std::size_t count = keys.size();
    std::array<std::array<std::uint32_t, 256>, 8> counts{};
    for (const LineKey& key : keys) {
        for (std::size_t b = 0; b < 8; ++b) {
            ++counts[b][(key.prefix >> (8 * b)) & 0xFFU];
        }
    }
    std::unique_ptr<LineKey[]> scratch = std::make_unique_for_overwrite<LineKey[]>(count);
    LineKey* from = keys.data();
    LineKey* to = scratch.get();
    for (std::size_t b = 0; b < 8; ++b) {
        if (std::find(counts[b].begin(), counts[b].end(), count) != counts[b].end()) {
            continue;
        }
        std::array<std::uint32_t, 256> next{};
        std::uint32_t start = 0;
        for (std::size_t digit = 0; digit < next.size(); ++digit) {
            next[digit] = start;
            start += counts[b][digit];
        }
        for (std::size_t i = 0; i < count; ++i) {
            to[next[(from[i].prefix >> (8 * b)) & 0xFFU]++] = from[i];
        }
        std::swap(from, to);
    }
    if (from != keys.data()) {
        std::copy(from, from + count, keys.data());
    }
    scratch.reset();
    for (std::size_t first = 0; first < count;) {
        std::size_t end = first + 1;
        while (end < count && keys[end].prefix == keys[first].prefix) {
            ++end;
        }
        if (end - first > 1 && (keys[first].prefix & 0xFFU) != 0) {
            std::sort(keys.begin() + static_cast<std::ptrdiff_t>(first),
                      keys.begin() + static_cast<std::ptrdiff_t>(end), before);
        }
        first = end;
    }
}

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
    // What detectEncoding finds, with one look for non-ASCII bytes instead of two.
    result.hasNonAscii = hasNonAscii(bytes);
    result.encoding =
        result.encodingKnown() && isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
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
    std::error_code ignored;
    std::shared_ptr<const FileText> text = FileText::load(path, ignored);
    if (!text) {
        return {};
    }
    return readSharedText(records, comments, std::move(text), layout, labelName, progress, storeAs);
}

ReadResult readCallText(RecordList& records, std::vector<std::string>& comments, std::string_view bytes,
                        const FieldDefinition& layout, const std::string& labelName,
                        ProgressDisplay& progress, std::optional<TextEncoding> storeAs) {
    return readSharedText(records, comments, std::make_shared<const FileText>(bytes), layout, labelName,
                          progress, storeAs);
}

ReadResult readSharedText(RecordList& records, std::vector<std::string>& comments,
                          std::shared_ptr<const FileText> fileText, const FieldDefinition& layout,
                          const std::string& labelName, ProgressDisplay& progress,
                          std::optional<TextEncoding> storeAs, const ReadResult* inspected) {
    // Records point into the file's text, which their list keeps.
    records.keepText(fileText);
    std::string_view bytes = fileText->bytes();
    if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
        return {};  // far beyond the largest file the program opens
    }
    records.setLayout(&layout);
    ReadResult result;
    bytes = callText(bytes, result, inspected);
    // Lines are cut in their own encoding (column positions count its bytes), then converted.
    const TextEncoding readAs = result.encoding;
    const bool converting = storeAs && *storeAs != readAs && result.hasNonAscii;
    if (converting) {
        result.encoding = *storeAs;
    }

    // Lines end at LF (a CR before it is dropped); in a file without any LF, at CR, so that a file
    // saved with old Macintosh line ends is not read as one long line.
    const char lineEnd = bytes.find('\n') == bytes.npos && bytes.find('\r') != bytes.npos ? '\r' : '\n';
    const std::size_t lineCount =
        countOf(bytes, lineEnd) + (bytes.empty() || bytes.back() == lineEnd ? 0 : 1);
    progress.setLabel("Loading " + labelName);
    ProgressTicker ticker(progress, lineCount);

    // First walk, in file order: each line is cut to tell comments from stations and to find its call.
    // The records are made in a second walk in call order, so that they lie in memory as the merge and
    // the write visit them.
    std::vector<LineKey> keys;
    keys.reserve(lineCount);
    std::vector<CallRecord> cutLines;
    std::vector<std::uint32_t> cutOffsets;  // where each of cutLines starts in the file
    CallRecord scratch(&layout);
    const std::size_t fieldCount = layout.fields.size();
    const bool plainLayout = layout.commaDelimited && layout.databaseOrder && fieldCount != 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lineFeed = bytes.find(lineEnd, start);
        const bool hasLineFeed = lineFeed != std::string_view::npos;
        std::string_view text = bytes.substr(start, hasLineFeed ? lineFeed - start : bytes.npos);
        const std::size_t offset = start;
        start = hasLineFeed ? lineFeed + 1 : bytes.size();
        if (hasLineFeed && lineEnd == '\n' && text.ends_with('\r')) {
            text.remove_suffix(1);  // CR LF reads as LF
        }

        // Most lines of a file in the database's form need no cut: a look along the line finds its call.
        if (plainLayout) {
            const std::string_view trimmed = trimWhiteSpace(text);
            if (const std::size_t callLength = CallRecord::checkPlainLine(trimmed, fieldCount).callLength;
                callLength != 0) {
                keys.push_back({callPrefix(trimmed.substr(0, callLength)),
                                static_cast<std::uint32_t>(trimmed.data() - bytes.data()),
                                static_cast<std::uint32_t>(trimmed.size())});
                ticker.step();
                continue;
            }
        }
        scratch.parseSharedLine(text, readAs);
        if (scratch.isComment) {
            if (!scratch.line().starts_with("ZZZZZZ")) {
                std::string comment = convertEncoding(text, readAs, result.encoding);
                if (hasLineFeed) {
                    comment += '\n';
                }
                comments.push_back(std::move(comment));
            }
        } else if (scratch.plainCallLength() != 0) {
            const std::string_view trimmed = scratch.line();
            keys.push_back({callPrefix(scratch.call()),
                            static_cast<std::uint32_t>(trimmed.data() - bytes.data()),
                            static_cast<std::uint32_t>(trimmed.size())});
        } else {
            keys.push_back({callPrefix(scratch.call()), static_cast<std::uint32_t>(cutLines.size()), 0});
            cutOffsets.push_back(static_cast<std::uint32_t>(offset));
            cutLines.push_back(std::move(scratch));  // leaves the scratch record empty, with its layout
        }
        ticker.step();
    }

    // The call of a key, and where its line starts in the file: calls that share their first eight bytes
    // are told apart by the rest, and the position breaks ties, so that the first line of a call comes
    // first and is the one kept.
    const auto lineOf = [bytes](const LineKey& key) { return bytes.substr(key.offset, key.plainLength); };
    const auto callOf = [&](const LineKey& key) {
        if (key.plainLength == 0) {
            return cutLines[key.offset].call();
        }
        const std::string_view line = lineOf(key);
        return line.substr(0, line.find(','));
    };
    const auto positionOf = [&](const LineKey& key) {
        return key.plainLength == 0 ? cutOffsets[key.offset] : key.offset;
    };
    const auto before = [&](const LineKey& a, const LineKey& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix;
        }
        if ((a.prefix & 0xFFU) != 0) {
            if (const int order = callOf(a).compare(callOf(b)); order != 0) {
                return order < 0;
            }
        }
        return positionOf(a) < positionOf(b);
    };
    // A database this program wrote is in call order already.
    if (!std::is_sorted(keys.begin(), keys.end(), before)) {
        sortKeys(keys, before);
    }

    // Made in blocks of a fixed size, so that a merge can give back each block it is done with.
    RecordList::Blocks read;
    std::string_view lastCall;
    std::uint64_t previousPrefix = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // The keys behind the walk are given back as it goes, while the records grow.
        constexpr std::size_t releaseStep = 1 << 14;
        if (i % releaseStep == 0) {
            releasePages(keys.data(), i * sizeof(LineKey));
        }
        // Calls of up to eight bytes with one prefix are one call (calls hold no zero byte).
        const bool samePrefix = i > 0 && keys[i].prefix == previousPrefix;
        previousPrefix = keys[i].prefix;
        if (samePrefix && ((keys[i].prefix & 0xFFU) == 0 || callOf(keys[i]) == lastCall)) {
            continue;
        }
        const std::size_t blockSize = std::min(RecordList::blockRecords, keys.size() - i);
        CallRecord* record = nullptr;
        if (keys[i].plainLength == 0) {
            record = &RecordList::addToBlocks(read, blockSize, std::move(cutLines[keys[i].offset]));
        } else {
            // Made from the key alone, without a visit to the line, unless the call is long.
            const std::size_t callLength =
                (keys[i].prefix & 0xFFU) == 0
                    ? 8 - static_cast<std::size_t>(std::countr_zero(keys[i].prefix)) / 8
                    : callOf(keys[i]).size();
            record = &RecordList::addToBlocks(read, blockSize, &layout, lineOf(keys[i]), callLength);
        }
        if (converting) {
            record->convertEncoding(readAs, result.encoding);
        }
        lastCall = record->call();
    }
    // Assigned afresh, not cleared (as `= {}` would), so that their storage is given back before the
    // list's order is made.
    cutLines = std::vector<CallRecord>();
    cutOffsets = std::vector<std::uint32_t>();
    keys = std::vector<LineKey>();
    records.placeSorted(std::move(read));
    return result;
}
