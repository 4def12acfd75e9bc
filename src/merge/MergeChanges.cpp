// Recording how the differences were settled.
#include "merge/MergeChanges.h"

#include <iterator>

void MergeChanges::addDifference(Difference difference) {
    differenceIndex_[difference.record] = differences.size();
    differences.push_back(std::move(difference));
}

void MergeChanges::noteSettlement(const CallRecord* databaseRecord, Settlement settlement) {
    const auto found = differenceIndex_.find(databaseRecord);
    if (found != differenceIndex_.end()) {
        differences[found->second].settlement = settlement;
    }
}

void MergeChanges::append(MergeChanges&& later) {
    std::move(later.inserted.begin(), later.inserted.end(), std::back_inserter(inserted));
    std::move(later.updated.begin(), later.updated.end(), std::back_inserter(updated));
    for (Difference& difference : later.differences) {
        addDifference(std::move(difference));
    }
    later = MergeChanges();
}
