// Pairs the input records with the database by call: new calls are added, known calls converted
// and, when they still differ, handed back for the resolve step.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "calldata/ProgressDisplay.h"
#include "calldata/RecordList.h"
#include "merge/FieldPairing.h"
#include "merge/MergeChanges.h"
#include "merge/MergeOptions.h"

class MergeEngine {
  public:
    struct Counts {
        std::uint32_t insertedCount = 0;
        std::uint32_t autoCount = 0;
    };
    struct Outcome {
        bool inserted = false;
        // The input record, with its match set, when it still differs from its database record.
        std::unique_ptr<CallRecord> different;
    };

    // Takes the database's records; finish() gives them back merged. `changes` may be null.
    MergeEngine(RecordList& database, const MergeOptions& options, MergeChanges* changes);
    // Works on a part of the database's records, in call order (all of them, or a range of calls that
    // the input records given to this engine do not leave), and appends the merged order to `merged`;
    // takeMade() hands over the records the engine made.
    MergeEngine(std::span<CallRecord* const> databasePart, RecordList::Entries& merged,
                const FieldDefinition* databaseLayout, const MergeOptions& options, MergeChanges* changes);
    MergeEngine(const MergeEngine&) = delete;
    MergeEngine& operator=(const MergeEngine&) = delete;

    // Places one input record, which the database's list must keep (RecordList::keepAllOf) as a new
    // call joins it; a differing one is moved out into the outcome. Records must come in ascending call
    // order, as a read list holds them: the database and the input are walked together, never searched
    // from the start.
    [[nodiscard]] Outcome mergeRecord(CallRecord& input);
    void finish();

    [[nodiscard]] std::uint32_t insertedCount() const { return insertedCount_; }
    [[nodiscard]] std::uint32_t autoCount() const { return autoCount_; }
    // How many of the database part's records the walk has passed.
    [[nodiscard]] std::size_t databaseWalked() const { return next_; }
    [[nodiscard]] RecordList::Blocks takeMade() { return std::move(made_); }

  private:
    RecordList* database_ = nullptr;  // the list the whole-list form gives the merged records back to
    const FieldDefinition* databaseLayout_;
    const MergeOptions& options_;
    // Made for the first input layout met; a record of another layout gets its own.
    std::optional<FieldPairing> pairing_;
    MergeChanges* changes_;
    RecordList::Entries taken_;  // the whole-list form's records
    std::span<CallRecord* const> old_;
    std::size_t next_ = 0;
    RecordList::Entries ownMerged_;  // the whole-list form's merged order
    RecordList::Entries& merged_;
    // New calls, in the database layout; in blocks of a fixed size, where they never move.
    RecordList::Blocks made_;
    std::uint32_t insertedCount_ = 0;
    std::uint32_t autoCount_ = 0;
};

// Merges every record of `input` (which ends up empty) into `database` and appends the pairs that
// still differ to `differences`, in call order.
[[nodiscard]] MergeEngine::Counts compareFiles(RecordList& database, RecordList& input,
                                               std::vector<std::unique_ptr<CallRecord>>& differences,
                                               const MergeOptions& options, ProgressDisplay& progress,
                                               MergeChanges* changes);
