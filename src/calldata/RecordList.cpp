// Ordering and bulk insertion of a record list.
#include "calldata/RecordList.h"

#include <algorithm>
#include <iterator>

void RecordList::insertAtHead(Entries records) {
    entries_.insert(entries_.begin(), std::make_move_iterator(records.begin()),
                    std::make_move_iterator(records.end()));
}

void RecordList::insertSorted(Entries records) {
    const auto byCall = [](const std::unique_ptr<CallRecord>& a, const std::unique_ptr<CallRecord>& b) {
        return a->call() < b->call();
    };
    const auto sameCall = [](const std::unique_ptr<CallRecord>& a, const std::unique_ptr<CallRecord>& b) {
        return a->call() == b->call();
    };
    // Held records stand before the new ones and a stable sort keeps that order among equal calls,
    // so unique keeps the record that came first.
    entries_.insert(entries_.end(), std::make_move_iterator(records.begin()),
                    std::make_move_iterator(records.end()));
    std::stable_sort(entries_.begin(), entries_.end(), byCall);
    entries_.erase(std::unique(entries_.begin(), entries_.end(), sameCall), entries_.end());
}

RecordList::Entries RecordList::takeAll() {
    Entries all = std::move(entries_);
    entries_.clear();
    return all;
}
