// Calls of the input that are not in the database but nearly are: the same station with a portable
// suffix or a country prefix, as "QA1ABC/P" or "EA8/QA1ABC" beside "QA1ABC". The merge treats them as
// different calls, as they are; this only lists them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/calldata/ReadResult.h"
#include "core/calldata/RecordList.h"

// One call of a near match: its line number (0 where the reading did not note it) and its line, without
// blanks around it, in the encoding of the records.
struct NearCall {
    std::string_view call;
    std::uint32_t line;
    std::string_view text;
};

struct NearMatch {
    NearCall input;
    NearCall database;
};

// The station's own call: the longest part between slashes once the portable marks (P, M, MM, AM, QRP,
// A) are left out; a call without a slash is its own.
[[nodiscard]] std::string_view baseCall(std::string_view call);

// For each input call that the database lacks, the database calls with the same base call, in the order of
// the input calls and then of the database calls. Both lists as read, with what reading them found, which
// the matches point into; one of two calls that nearly meet always holds a slash, so only those calls are
// looked at.
[[nodiscard]] std::vector<NearMatch> findNearMatches(const RecordList& database,
                                                     const ReadResult& databaseRead, const RecordList& input,
                                                     const ReadResult& inputRead);
