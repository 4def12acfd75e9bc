// The merge of the input into the database, in one walk over both call-ordered lists.
#include "merge/MergeEngine.h"

#include <iterator>

#include "calldata/Prefetch.h"

#include "calldata/ProgressTicker.h"
#include "merge/DifferenceRules.h"

MergeEngine::MergeEngine(RecordList& database, const MergeOptions& options, MergeChanges* changes)
    : database_(database), options_(options), changes_(changes), old_(database.takeAll()) {
    merged_.reserve(old_.size());
}

MergeEngine::Outcome MergeEngine::mergeRecord(CallRecord& input) {
    const std::string_view call = input.call();
    // The records lie in file order, not call order: fetching a few ahead hides most of the wait.
    constexpr std::size_t ahead = 8;
    while (next_ < old_.size() && old_[next_]->call() < call) {
        if (next_ + 2 * ahead < old_.size()) {
            prefetch(old_[next_ + 2 * ahead]);
            prefetch(old_[next_ + ahead]->call().data());
        }
        merged_.push_back(old_[next_++]);
    }

    if (next_ < old_.size() && old_[next_]->call() == call) {
        CallRecord& database = *old_[next_];
        if (!pairing_) {
            pairing_.emplace(database.layout, input.layout);
        }
        std::string before = changes_ != nullptr ? database.databaseLine() : std::string();
        const PairSettlement settled = settlePair(database, input, options_, &*pairing_);
        if (settled.converted) {
            ++autoCount_;
            if (changes_ != nullptr) {
                changes_->updated.push_back({std::string(call), std::move(before), database.databaseLine()});
            }
        }
        if (!settled.different) {
            return {};
        }
        if (changes_ != nullptr) {
            changes_->addDifference({std::string(call),
                                     database.databaseLine(),
                                     std::string(input.line()),
                                     MergeChanges::Settlement::Unresolved,
                                     {},
                                     &database});
        }
        input.match = &database;
        return {false, std::make_unique<CallRecord>(std::move(input))};
    }

    // A new call is always stored in the database layout.
    CallRecord* placed = &input;
    if (input.layout == nullptr || !input.layout->commaDelimited) {
        CallRecord converted(database_.layout());
        converted.convertFrom(input);
        placed = &database_.keep(std::move(converted));
    }
    if (changes_ != nullptr) {
        changes_->inserted.push_back({std::string(placed->call()), placed->databaseLine()});
    }
    merged_.push_back(placed);
    ++insertedCount_;
    return {true, nullptr};
}

void MergeEngine::finish() {
    merged_.insert(merged_.end(), old_.begin() + static_cast<std::ptrdiff_t>(next_), old_.end());
    old_.clear();
    next_ = 0;
    database_.replaceAll(std::move(merged_));
    merged_.clear();
}

MergeEngine::Counts compareFiles(RecordList& database, RecordList& input,
                                 std::vector<std::unique_ptr<CallRecord>>& differences,
                                 const MergeOptions& options, ProgressDisplay& progress,
                                 MergeChanges* changes) {
    progress.setLabel("Comparing files");
    // New calls join the database's list, which keeps the input's records and the text they point into.
    const RecordList::Entries records = input.takeAll();
    database.keepAllOf(input);
    ProgressTicker ticker(progress, records.size());
    MergeEngine engine(database, options, changes);
    constexpr std::size_t ahead = 8;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i + 2 * ahead < records.size()) {
            prefetch(records[i + 2 * ahead]);
            prefetch(records[i + ahead]->call().data());
        }
        MergeEngine::Outcome outcome = engine.mergeRecord(*records[i]);
        if (outcome.different) {
            differences.push_back(std::move(outcome.different));
        }
        ticker.step();
    }
    engine.finish();
    return {engine.insertedCount(), engine.autoCount()};
}
