// Calls of the input that are not in the database but nearly are: the same station with a portable
// suffix or a country prefix, as "QA1ABC/P" or "EA8/QA1ABC" beside "QA1ABC". The merge treats them as
// different calls, as they are; this only lists them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/calldata/RecordList.h"

struct NearMatch {
    const CallRecord* input;
    const CallRecord* database;
};

// The station's own call: the longest part between slashes once the portable marks (P, M, MM, AM, QRP,
// A) are left out; a call without a slash is its own.
[[nodiscard]] std::string_view baseCall(std::string_view call);

// For each input call that the database lacks, the database calls with the same base call, in call
// order. Both lists must be in call order.
[[nodiscard]] std::vector<NearMatch> findNearMatches(const RecordList& database, const RecordList& input);
