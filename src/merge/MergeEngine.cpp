// The merge of the input into the database, in one walk over both call-ordered lists.
#include "merge/MergeEngine.h"

#include <iterator>

#include "calldata/ProgressTicker.h"
#include "merge/DifferenceRules.h"

MergeEngine::MergeEngine(RecordList& database, const MergeOptions& options, MergeChanges* changes)
    : database_(database), options_(options), changes_(changes), old_(database.takeAll()) {
    merged_.reserve(old_.size());
}

MergeEngine::Outcome MergeEngine::mergeRecord(std::unique_ptr<CallRecord> input) {
    const std::string call(input->call());
    while (next_ < old_.size() && old_[next_]->call() < call) {
        merged_.push_back(std::move(old_[next_++]));
    }

    if (next_ < old_.size() && old_[next_]->call() == call) {
        CallRecord& database = *old_[next_];
        std::string before = changes_ != nullptr ? database.databaseLine() : std::string();
        if (applyConversions(database, *input, options_)) {
            ++autoCount_;
            if (changes_ != nullptr) {
                changes_->updated.push_back({call, std::move(before), database.databaseLine()});
            }
        }
        if (!isDifferent(database, *input, options_)) {
            return {};
        }
        if (changes_ != nullptr) {
            changes_->addDifference({call,
                                     database.databaseLine(),
                                     std::string(input->line()),
                                     MergeChanges::Settlement::Unresolved,
                                     {},
                                     &database});
        }
        input->match = &database;
        return {false, std::move(input)};
    }

    // A new call is always stored in the database layout.
    if (input->layout == nullptr || !input->layout->commaDelimited) {
        auto converted = std::make_unique<CallRecord>(database_.layout());
        converted->convertFrom(*input);
        input = std::move(converted);
    }
    if (changes_ != nullptr) {
        changes_->inserted.push_back({std::string(input->call()), input->databaseLine()});
    }
    merged_.push_back(std::move(input));
    ++insertedCount_;
    return {true, nullptr};
}

void MergeEngine::finish() {
    std::move(old_.begin() + static_cast<std::ptrdiff_t>(next_), old_.end(), std::back_inserter(merged_));
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
    // New calls move from the input's list to the database's, with the text they point into.
    database.shareTextOf(input);
    ProgressTicker ticker(progress, input.size());
    MergeEngine engine(database, options, changes);
    for (auto& record : input.takeAll()) {
        MergeEngine::Outcome outcome = engine.mergeRecord(std::move(record));
        if (outcome.different) {
            differences.push_back(std::move(outcome.different));
        }
        ticker.step();
    }
    engine.finish();
    return {engine.insertedCount(), engine.autoCount()};
}
