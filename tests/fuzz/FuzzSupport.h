// Helpers shared by the fuzz targets: a silent progress display, failure reports and record summaries.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "calldata/ProgressDisplay.h"
#include "calldata/RecordList.h"

// Reading reports progress; the fuzzer only wants the records, and stdout stays quiet.
struct SilentProgress final : ProgressDisplay {
    void setRange(std::size_t /*maximum*/) override {}
    void setPosition(std::size_t /*position*/) override {}
    void setLabel(const std::string& /*text*/) override {}
};

// Bytes shown with escapes, so that a report on stderr stays one readable line.
inline std::string escaped(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\') {
            text += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            text += hex;
        }
    }
    return text;
}

// A broken property is a finding: libFuzzer keeps the input as a crash file when the process aborts.
[[noreturn]] inline void fuzzFailure(const std::string& what) {
    std::fprintf(stderr, "fuzz property violated: %s\n", what.c_str());
    std::abort();
}

inline void fuzzCheck(bool holds, const std::string& what) {
    if (!holds) {
        fuzzFailure(what);
    }
}

// What identifies a station record's content: its values and whatever followed its last field.
inline std::string recordKey(const CallRecord& record) {
    std::string key;
    for (const std::string& value : record.values) {
        key += escaped(value);
        key += '|';
    }
    key += escaped(record.extraFields);
    return key;
}

inline std::vector<std::string> recordKeys(const RecordList& records) {
    std::vector<std::string> keys;
    for (const auto& record : records) {
        keys.push_back(recordKey(*record));
    }
    return keys;
}

// A comment as read ends in its line feed (the last line of a file may lack one).
inline std::string_view withoutLineFeed(std::string_view comment) {
    if (comment.ends_with('\n')) {
        comment.remove_suffix(1);
    }
    return comment;
}

// Records ascend strictly by call: the list is sorted and no call appears twice.
inline void checkCallOrder(const RecordList& records, const std::string& where) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CallRecord& record = records.at(i);
        fuzzCheck(!record.isComment && !record.values.empty(),
                  where + ": a comment or empty record in the list");
        if (i > 0) {
            fuzzCheck(records.at(i - 1).call() < record.call(), where + ": calls not strictly ascending at " +
                                                                    escaped(records.at(i - 1).call()) +
                                                                    " / " + escaped(record.call()));
        }
    }
}
