// Recording how the differences were settled.
#include "core/merge/MergeChanges.h"

#include "core/calldata/CallRecord.h"

void MergeChanges::addDifference(Difference difference) {
    differenceIndex_[difference.record] = differences.size();
    differences.push_back(std::move(difference));
}

void MergeChanges::noteSettlement(const CallRecord* databaseRecord, Settlement settlement,
                                  std::vector<std::pair<std::string, std::string>> fields) {
    const auto found = differenceIndex_.find(databaseRecord);
    if (found != differenceIndex_.end()) {
        differences[found->second].settlement = settlement;
        differences[found->second].fields = std::move(fields);
    }
}

void MergeChanges::noteResultLines() {
    for (Difference& difference : differences) {
        difference.resultLine = difference.record->databaseLine();
    }
}
