// The merge of the input into the database, in one walk over both call-ordered lists.
#include "core/merge/MergeEngine.h"

#include <optional>

#include "core/calldata/Prefetch.h"
#include "core/calldata/ProgressTicker.h"
#include "core/merge/DifferenceRules.h"

MergeEngine::MergeEngine(RecordList& database, const MergeOptions& options, MergeChanges* changes,
                         std::size_t inputCount)
    : database_(database), options_(options), changes_(changes), old_(database.takeAll()) {
    merged_.reserve(old_.size() + inputCount);
}

std::unique_ptr<CallRecord> MergeEngine::mergeRecord(CallRecord& input) {
    const std::string_view call = input.call();
    while (next_ < old_.size() && old_[next_]->call() < call) {
        prefetchAhead(old_, next_);
        merged_.push_back(old_[next_++]);
    }
    if (next_ == old_.size() || old_[next_]->call() != call) {
        addNewCall(input);
        return nullptr;
    }

    CallRecord& database = *old_[next_];
    ++counts_.knownCount;
    if (!pairing_) {
        pairing_.emplace(database.layout, input.layout);
    }
    // A copy of a record shares its file's text; its line is the line as read, before the reading put
    // grid and state in their form, so that the change list shows what the file held.
    std::optional<CallRecord> before;
    if (changes_ != nullptr) {
        before.emplace(database);
    }
    const PairSettlement settled = settlePair(database, input, options_, &*pairing_);
    if (settled.converted) {
        ++counts_.autoCount;
        if (before) {
            changes_->updated.push_back(
                {std::string(call), std::string(trimWhiteSpace(before->line())), database.databaseLine()});
        }
    }
    if (!settled.different) {
        return nullptr;
    }
    if (changes_ != nullptr) {
        changes_->addDifference({std::string(call),
                                 database.databaseLine(),
                                 std::string(input.line()),
                                 MergeChanges::Settlement::Unresolved,
                                 {},
                                 &database,
                                 {}});
    }
    input.setMatch(&database);
    return std::make_unique<CallRecord>(std::move(input));
}

void MergeEngine::addNewCall(CallRecord& input) {
    // A new call is always stored in the database layout.
    CallRecord* placed = &input;
    if (input.layout != database_.layout()) {
        CallRecord converted(database_.layout());
        converted.convertFrom(input);
        placed = &database_.keep(std::move(converted));
    }
    if (changes_ != nullptr) {
        changes_->inserted.push_back({placed});
    }
    merged_.push_back(placed);
    ++counts_.insertedCount;
}

MergeEngine::Counts MergeEngine::finish() {
    merged_.insert(merged_.end(), old_.begin() + static_cast<std::ptrdiff_t>(next_), old_.end());
    old_ = RecordList::Entries();
    database_.replaceAll(std::move(merged_));
    merged_ = RecordList::Entries();
    return counts_;
}

MergeEngine::Counts compareFiles(RecordList& database, RecordList& input,
                                 std::vector<std::unique_ptr<CallRecord>>& differences,
                                 const MergeOptions& options, ProgressDisplay& progress,
                                 MergeChanges* changes) {
    progress.setLabel("Comparing files");
    const RecordList::Entries records = input.takeAll();
    // New calls of the input join the database as they are: the database keeps the input's records.
    database.keepAllOf(input);
    MergeEngine engine(database, options, changes, records.size());
    ProgressTicker ticker(progress, records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        prefetchAhead(records, i);
        if (std::unique_ptr<CallRecord> different = engine.mergeRecord(*records[i])) {
            differences.push_back(std::move(different));
        }
        ticker.step();
    }
    return engine.finish();
}
