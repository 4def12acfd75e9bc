// Keeping the records of a list, and placing them in its order.
#include "calldata/RecordList.h"

#include <algorithm>
#include <cassert>
#include <iterator>

void RecordList::placeSorted(Blocks blocks) {
    assert(entries_.empty());  // the records' order would not hold with others before them
    std::size_t count = 0;
    for (const std::vector<CallRecord>& block : blocks) {
        count += block.size();
    }
    entries_.reserve(count);
    for (std::vector<CallRecord>& block : blocks) {
        for (CallRecord& record : block) {
            entries_.push_back(&record);
        }
        blocks_.push_back(std::move(block));
    }
}

void RecordList::append(std::unique_ptr<CallRecord> record) {
    entries_.push_back(record.get());
    single_.push_back(std::move(record));
}

void RecordList::keepMade(Blocks records) {
    std::move(records.begin(), records.end(), std::back_inserter(made_));
}

void RecordList::insertAtHead(Owned records) {
    // Room first, so that nothing after it can fail with the records half placed.
    entries_.reserve(entries_.size() + records.size());
    single_.reserve(single_.size() + records.size());
    Entries head;
    head.reserve(records.size());
    for (std::unique_ptr<CallRecord>& record : records) {
        head.push_back(record.get());
        single_.push_back(std::move(record));
    }
    // In place where the order has room, as it has after a merge: a copy would hold it twice at once.
    entries_.insert(entries_.begin(), head.begin(), head.end());
}

RecordList::Entries RecordList::takeAll() {
    Entries all = std::move(entries_);
    entries_.clear();
    return all;
}

void RecordList::clear() {
    // Assigned afresh rather than cleared, so that their storage is given back too.
    entries_ = Entries();
    blocks_ = decltype(blocks_)();
    single_ = Owned();
    made_ = decltype(made_)();
    texts_ = decltype(texts_)();
}

void RecordList::keepAllOf(RecordList& other) {
    std::move(other.blocks_.begin(), other.blocks_.end(), std::back_inserter(blocks_));
    std::move(other.single_.begin(), other.single_.end(), std::back_inserter(single_));
    std::move(other.made_.begin(), other.made_.end(), std::back_inserter(made_));
    texts_.insert(texts_.end(), other.texts_.begin(), other.texts_.end());
    other.clear();
}
