// Pairs the input records with the database by call: new calls are added, known calls converted
// and, when they still differ, handed back for the resolve step.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "core/calldata/ProgressDisplay.h"
#include "core/calldata/RecordList.h"
#include "core/merge/FieldPairing.h"
#include "core/merge/MergeChanges.h"
#include "core/merge/MergeOptions.h"

// One walk over both lists in call order: each input record meets the database at the first database
// record whose call is not before its own, so no list is ever searched from its start.
class MergeEngine {
  public:
    struct Counts {
        std::uint32_t insertedCount = 0;
        std::uint32_t autoCount = 0;
        std::uint32_t knownCount = 0;  // input records whose call the database holds
    };

    // Walks the database's order, which it takes over; finish() gives the merged order back. The database
    // list must keep the input's records (RecordList::keepAllOf), as new calls join it. `changes` may be
    // null; `inputCount` is how many input records will come, at most.
    MergeEngine(RecordList& database, const MergeOptions& options, MergeChanges* changes,
                std::size_t inputCount = 0);
    MergeEngine(const MergeEngine&) = delete;
    MergeEngine& operator=(const MergeEngine&) = delete;

    // Places one input record; records must come in ascending call order. Returns the record, moved out
    // of the input with its match set, when it still differs from its database record.
    [[nodiscard]] std::unique_ptr<CallRecord> mergeRecord(CallRecord& input);
    [[nodiscard]] Counts finish();

  private:
    void addNewCall(CallRecord& input);

    RecordList& database_;
    const MergeOptions& options_;
    MergeChanges* changes_;
    // Made for the first input layout met; a record of another layout gets its own.
    std::optional<FieldPairing> pairing_;
    RecordList::Entries old_;
    std::size_t next_ = 0;
    RecordList::Entries merged_;
    Counts counts_;
};

// Merges every record of `input` (which ends up empty) into `database` and appends the pairs that
// still differ to `differences`, in call order.
[[nodiscard]] MergeEngine::Counts compareFiles(RecordList& database, RecordList& input,
                                               std::vector<std::unique_ptr<CallRecord>>& differences,
                                               const MergeOptions& options, ProgressDisplay& progress,
                                               MergeChanges* changes);
