// Keeping the records of a list, and placing them in its order.
#include "core/calldata/RecordList.h"

#include <cassert>
#include <iterator>

void RecordList::placeRead(std::vector<CallRecord> records, Entries order) {
    assert(order_.empty());               // the records' order would not hold with others before them
    read_.push_back(std::move(records));  // moving a vector keeps its records where they are
    order_ = std::move(order);
}

CallRecord& RecordList::keep(CallRecord record) {
    if (made_.empty()) {
        made_.emplace_back();
    }
    return made_.front().emplace_back(std::move(record));
}

void RecordList::append(CallRecord record) {
    order_.push_back(&keep(std::move(record)));
}

void RecordList::insertAtHead(std::vector<CallRecord> records) {
    Entries head;
    head.reserve(records.size());
    for (CallRecord& record : records) {
        head.push_back(&keep(std::move(record)));
    }
    order_.insert(order_.begin(), head.begin(), head.end());
}

RecordList::Entries RecordList::takeAll() {
    Entries all = std::move(order_);
    order_.clear();
    return all;
}

void RecordList::keepAllOf(RecordList& other) {
    std::move(other.read_.begin(), other.read_.end(), std::back_inserter(read_));
    std::move(other.made_.begin(), other.made_.end(), std::back_inserter(made_));
    texts_.insert(texts_.end(), other.texts_.begin(), other.texts_.end());
    other.clear();
}

void RecordList::clear() {
    order_ = Entries();
    read_.clear();
    made_.clear();
    texts_.clear();
}
