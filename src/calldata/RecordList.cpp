// Ordering and bulk insertion of a record list.
#include "calldata/RecordList.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

void RecordList::insertAtHead(Entries records) {
    entries_.insert(entries_.begin(), std::make_move_iterator(records.begin()),
                    std::make_move_iterator(records.end()));
}

void RecordList::insertSorted(Entries records) {
    entries_.insert(entries_.end(), std::make_move_iterator(records.begin()),
                    std::make_move_iterator(records.end()));
    // The sort moves small keys, not records: the first eight bytes of a call, big-endian, decide most
    // comparisons without a visit to the record. Held records stand before the new ones and the position
    // breaks ties, so the first record of a call comes first and is the one kept.
    struct Key {
        std::uint64_t prefix;
        std::uint32_t position;
    };
    std::vector<Key> keys;
    keys.reserve(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const std::string_view call = entries_[i]->call();
        std::uint64_t prefix = 0;
        for (std::size_t k = 0; k < 8; ++k) {
            prefix = (prefix << 8) | (k < call.size() ? static_cast<unsigned char>(call[k]) : 0U);
        }
        keys.push_back({prefix, static_cast<std::uint32_t>(i)});
    }
    const auto callOf = [this](const Key& key) { return entries_[key.position]->call(); };
    std::sort(keys.begin(), keys.end(), [&callOf](const Key& a, const Key& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix;
        }
        const std::string_view callA = callOf(a);
        const std::string_view callB = callOf(b);
        if (callA.size() > 8 || callB.size() > 8) {
            if (const int order = callA.compare(callB); order != 0) {
                return order < 0;
            }
        } else if (callA.size() != callB.size()) {
            return callA.size() < callB.size();  // calls hold no zero byte, so the padding cannot tie them
        }
        return a.position < b.position;
    });
    Entries sorted;
    sorted.reserve(keys.size());
    for (const Key& key : keys) {
        if (sorted.empty() || sorted.back()->call() != callOf(key)) {
            sorted.push_back(std::move(entries_[key.position]));
        }
    }
    entries_ = std::move(sorted);
}

RecordList::Entries RecordList::takeAll() {
    Entries all = std::move(entries_);
    entries_.clear();
    return all;
}
