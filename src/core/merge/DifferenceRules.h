// The automatic conversions and the test whether a matched pair still differs.
#pragma once

#include "core/calldata/CallRecord.h"
#include "core/merge/FieldPairing.h"
#include "core/merge/MergeOptions.h"

// Copies input values into the database record as the options say; true when any rule fired,
// even if the value it wrote was already there.
// `pairing`, when made for the two records' layouts, saves finding their fields again.
[[nodiscard]] bool applyConversions(CallRecord& database, const CallRecord& input,
                                    const MergeOptions& options, const FieldPairing* pairing = nullptr);

// A name without the stars some lists put behind it, which ignoreNameStar leaves out of comparisons.
[[nodiscard]] std::string_view withoutTrailingStars(std::string_view text);

// True when some field of the database layout holds data the input contradicts.
[[nodiscard]] bool isDifferent(const CallRecord& database, const CallRecord& input,
                               const MergeOptions& options, const FieldPairing* pairing = nullptr);

struct PairSettlement {
    bool converted = false;  // what applyConversions gives
    bool different = false;  // what isDifferent then gives
};
// Both steps for one pair, finding the values of each record once.
[[nodiscard]] PairSettlement settlePair(CallRecord& database, const CallRecord& input,
                                        const MergeOptions& options, const FieldPairing* pairing = nullptr);
