// The merge of the input into the database, in one walk over both call-ordered lists.
#include "merge/MergeEngine.h"

#include <algorithm>
#include <functional>
#include <future>
#include <iterator>
#include <system_error>
#include <utility>

#include "calldata/NullProgressDisplay.h"
#include "calldata/PlatformMemory.h"
#include "calldata/Prefetch.h"
#include "calldata/ProgressTicker.h"
#include "merge/DifferenceRules.h"

MergeEngine::MergeEngine(RecordList& database, const MergeOptions& options, MergeChanges* changes)
    : database_(&database),
      databaseLayout_(database.layout()),
      options_(options),
      changes_(changes),
      taken_(database.takeAll()),
      old_(taken_),
      merged_(ownMerged_) {
    merged_.reserve(old_.size());
}

MergeEngine::MergeEngine(std::span<CallRecord* const> databasePart, RecordList::Entries& merged,
                         const FieldDefinition* databaseLayout, const MergeOptions& options,
                         MergeChanges* changes)
    : databaseLayout_(databaseLayout),
      options_(options),
      changes_(changes),
      old_(databasePart),
      merged_(merged) {}

MergeEngine::Outcome MergeEngine::mergeRecord(CallRecord& input) {
    const std::string_view call = input.call();
    // The lines of records lie scattered over the file: fetching a few ahead hides most of the wait.
    constexpr std::size_t ahead = 8;
    while (next_ < old_.size() && old_[next_]->call() < call) {
        if (next_ + 2 * ahead < old_.size()) {
            prefetch(old_[next_ + 2 * ahead]);
            prefetchLine(old_[next_ + ahead]->line());
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
        input.setMatch(&database);
        return {false, std::make_unique<CallRecord>(std::move(input))};
    }

    // Small enough not to weigh on a small merge, large enough not to be allocated often in a large one.
    constexpr std::size_t madeBlockSize = 1 << 13;
    // A new call is always stored in the database layout, and in the engine's own keeping, so that the
    // input's records are all done with once the walk has passed them.
    CallRecord* placed = nullptr;
    if (input.layout == nullptr || !input.layout->commaDelimited) {
        CallRecord converted(databaseLayout_);
        converted.convertFrom(input);
        placed = &RecordList::addToBlocks(made_, madeBlockSize, std::move(converted));
    } else {
        placed = &RecordList::addToBlocks(made_, madeBlockSize, std::move(input));
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
    old_ = {};
    next_ = 0;
    if (database_ != nullptr) {
        database_->replaceAll(std::move(merged_));
        database_->keepMade(std::move(made_));
        merged_.clear();
        made_.clear();
        taken_.clear();
    }
}

namespace {

// One engine's share of a merge: a range of calls of both lists.
struct MergePart {
    MergeChanges changes;
    std::vector<std::unique_ptr<CallRecord>> differences;
    RecordList::Blocks made;
    MergeEngine::Counts counts;
};

// `walked(n)` is told, now and then and at the end, that the first n input records are done with.
void mergePart(std::span<CallRecord* const> database, std::span<CallRecord* const> input,
               RecordList::Entries& merged, const FieldDefinition* databaseLayout,
               const MergeOptions& options, bool recordChanges, ProgressDisplay& progress,
               std::size_t progressTotal, const std::function<void(std::size_t)>& walked, MergePart& part) {
    ProgressTicker ticker(progress, progressTotal);
    MergeEngine engine(database, merged, databaseLayout, options, recordChanges ? &part.changes : nullptr);
    // The records lie in call order, their lines scattered over the file: fetching a few ahead hides
    // most of the wait for them.
    constexpr std::size_t ahead = 8;
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (i + 2 * ahead < input.size()) {
            prefetch(input[i + 2 * ahead]);
            prefetchLine(input[i + ahead]->line());
        }
        MergeEngine::Outcome outcome = engine.mergeRecord(*input[i]);
        if (outcome.different) {
            part.differences.push_back(std::move(outcome.different));
        }
        ticker.step();
        // The orders behind the walk are given back as it goes, while the merged order grows.
        constexpr std::size_t releaseStep = 1 << 14;
        if ((i + 1) % releaseStep == 0) {
            releasePages(input.data(), (i + 1) * sizeof(CallRecord*));
            releasePages(database.data(), engine.databaseWalked() * sizeof(CallRecord*));
            walked(i + 1);
        }
    }
    walked(input.size());
    engine.finish();
    part.counts = {engine.insertedCount(), engine.autoCount()};
    part.made = engine.takeMade();
}

}  // namespace

MergeEngine::Counts compareFiles(RecordList& database, RecordList& input,
                                 std::vector<std::unique_ptr<CallRecord>>& differences,
                                 const MergeOptions& options, ProgressDisplay& progress,
                                 MergeChanges* changes) {
    progress.setLabel("Comparing files");
    RecordList::Entries records = input.takeAll();
    // The input's records that the walk keeps are moved out (new calls into the engines' own records,
    // differing ones into the difference list), so that each block of them is given back as soon as
    // the walk has left it; the database's list keeps the rest of the input's, and the text of both.
    RecordList::Blocks inputBlocks = input.takeBlocks();
    database.keepAllOf(input);
    RecordList::Entries old = database.takeAll();
    // Where each block starts and ends in the input's order; left empty when the order is not just the
    // blocks one after another (as for records placed one by one), and then the blocks go only at the end.
    std::vector<std::pair<std::size_t, std::size_t>> blockSpans;
    std::size_t blockStart = 0;
    for (const std::vector<CallRecord>& block : inputBlocks) {
        if (block.empty() || blockStart + block.size() > records.size() ||
            records[blockStart] != &block.front() ||
            records[blockStart + block.size() - 1] != &block.back()) {
            blockSpans.clear();
            break;
        }
        blockSpans.emplace_back(blockStart, blockStart + block.size());
        blockStart += block.size();
    }
    // Each range gives back only the blocks wholly inside it, and looks at no other block, so that the
    // two threads never touch the same one.
    const auto releaseBlocks = [&inputBlocks, &blockSpans](std::size_t from, std::size_t to) {
        for (std::size_t k = 0; k < blockSpans.size(); ++k) {
            if (blockSpans[k].first >= from && blockSpans[k].second <= to) {
                inputBlocks[k] = std::vector<CallRecord>();
            }
        }
    };

    // A large merge is cut in two at an input call, each half merged on its own core; only the first
    // reports progress, as a window may only be drawn from the thread that made it. The cut leaves
    // as many records of both lists on one side as on the other, so that both halves end together.
    constexpr std::size_t smallestSplit = 50'000;
    const auto databaseBefore = [&old, &records](std::size_t inputAt) {
        return inputAt < records.size()
                   ? static_cast<std::size_t>(
                         std::lower_bound(old.begin(), old.end(), records[inputAt]->call(),
                                          [](const CallRecord* record, std::string_view call) {
                                              return record->call() < call;
                                          }) -
                         old.begin())
                   : old.size();
    };
    std::size_t inputSplit = records.size();
    if (records.size() >= smallestSplit) {
        // The records before the cut grow with the input call it is made at: the first at which they
        // reach half of all.
        std::size_t low = 0;
        std::size_t high = records.size() - 1;
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (2 * (middle + databaseBefore(middle)) < old.size() + records.size()) {
                low = middle + 1;
            } else {
                high = middle;
            }
        }
        inputSplit = low;
    }
    const std::size_t databaseSplit = databaseBefore(inputSplit);
    const std::span<CallRecord* const> all(old);
    const std::span<CallRecord* const> inputs(records);
    // The merged order takes the first range's directly and the second's once both are done; room for
    // all is kept from the start, untouched until used, so that it never moves.
    RecordList::Entries merged;
    merged.reserve(old.size() + records.size());
    RecordList::Entries secondMerged;
    secondMerged.reserve(old.size() - databaseSplit + records.size() - inputSplit);
    MergePart first;
    MergePart second;
    NullProgressDisplay quiet;
    const auto mergeSecond = [&] {
        mergePart(
            all.subspan(databaseSplit), inputs.subspan(inputSplit), secondMerged, database.layout(), options,
            changes != nullptr, quiet, records.size() - inputSplit,
            [&](std::size_t walked) { releaseBlocks(inputSplit, inputSplit + walked); }, second);
    };
    std::future<void> secondHalf;
    if (inputSplit < records.size()) {
        try {
            secondHalf = std::async(std::launch::async, mergeSecond);
        } catch (const std::system_error&) {
            // No second thread to be had: the second range is merged after the first.
        }
    }
    // The bar counts the whole input and stands at the first range's share of it when that is done.
    mergePart(
        all.first(databaseSplit), inputs.first(inputSplit), merged, database.layout(), options,
        changes != nullptr, progress, records.size(), [&](std::size_t walked) { releaseBlocks(0, walked); },
        first);
    if (secondHalf.valid()) {
        secondHalf.get();
    } else if (inputSplit < records.size()) {
        mergeSecond();
    }
    progress.setPosition(records.size());

    // Assigned afresh, not cleared (as `= {}` would), so that their storage goes too.
    old = RecordList::Entries();
    records = RecordList::Entries();
    inputBlocks = RecordList::Blocks();
    // Copied a piece at a time, each piece given back once copied, so that the two never add up.
    constexpr std::size_t piece = 1 << 16;
    for (std::size_t at = 0; at < secondMerged.size(); at += piece) {
        const std::size_t end = std::min(at + piece, secondMerged.size());
        merged.insert(merged.end(), secondMerged.begin() + static_cast<std::ptrdiff_t>(at),
                      secondMerged.begin() + static_cast<std::ptrdiff_t>(end));
        releasePages(secondMerged.data(), end * sizeof(CallRecord*));
    }
    secondMerged = RecordList::Entries();
    // The made records first: should keeping them fail, no order points into records already gone.
    database.keepMade(std::move(first.made));
    database.keepMade(std::move(second.made));
    database.replaceAll(std::move(merged));
    for (MergePart* part : {&first, &second}) {
        std::move(part->differences.begin(), part->differences.end(), std::back_inserter(differences));
        if (changes != nullptr) {
            changes->append(std::move(part->changes));
        }
    }
    return {first.counts.insertedCount + second.counts.insertedCount,
            first.counts.autoCount + second.counts.autoCount};
}
