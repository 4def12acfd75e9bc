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
    // A stable sort keeps the records of one call in reading order, so unique keeps the first.
    std::stable_sort(records.begin(), records.end(), byCall);
    records.erase(std::unique(records.begin(), records.end(), sameCall), records.end());
    if (entries_.empty()) {
        entries_ = std::move(records);
        return;
    }
    Entries merged;
    merged.reserve(entries_.size() + records.size());
    auto held = entries_.begin();
    for (auto& record : records) {
        while (held != entries_.end() && (*held)->call() < record->call()) {
            merged.push_back(std::move(*held++));
        }
        if (held == entries_.end() || (*held)->call() != record->call()) {
            merged.push_back(std::move(record));
        }
    }
    std::move(held, entries_.end(), std::back_inserter(merged));
    entries_ = std::move(merged);
}

RecordList::Entries RecordList::takeAll() {
    Entries all = std::move(entries_);
    entries_.clear();
    return all;
}
