// Ordering and bulk insertion of a record list.
#include "calldata/RecordList.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>

std::uint64_t callPrefix(std::string_view call) {
    std::array<unsigned char, 8> bytes{};
    std::memcpy(bytes.data(), call.data(), std::min(call.size(), bytes.size()));
    std::uint64_t prefix = 0;
    for (const unsigned char byte : bytes) {
        prefix = (prefix << 8) | byte;
    }
    return prefix;
}

void RecordList::placeSorted(std::vector<CallRecord> records) {
    if (!entries_.empty()) {
        insertSorted(std::move(records));
        return;
    }
    std::vector<CallRecord>& block = blocks_.emplace_back(std::move(records));
    entries_.reserve(block.size());
    for (CallRecord& record : block) {
        entries_.push_back(&record);
    }
}

void RecordList::append(std::unique_ptr<CallRecord> record) {
    entries_.push_back(record.get());
    single_.push_back(std::move(record));
}

void RecordList::keepMade(std::deque<CallRecord> records) {
    if (!records.empty()) {
        made_.push_back(std::move(records));
    }
}

void RecordList::insertAtHead(Owned records) {
    Entries head;
    head.reserve(records.size() + entries_.size());
    for (std::unique_ptr<CallRecord>& record : records) {
        head.push_back(record.get());
        single_.push_back(std::move(record));
    }
    head.insert(head.end(), entries_.begin(), entries_.end());
    entries_ = std::move(head);
}

void RecordList::insertSorted(std::vector<CallRecord> records) {
    std::vector<CallRecord>& block = blocks_.emplace_back(std::move(records));
    entries_.reserve(entries_.size() + block.size());
    for (CallRecord& record : block) {
        entries_.push_back(&record);
    }
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
        keys.push_back({callPrefix(entries_[i]->call()), static_cast<std::uint32_t>(i)});
    }
    const auto callOf = [this](const Key& key) { return entries_[key.position]->call(); };
    std::sort(keys.begin(), keys.end(), [&callOf](const Key& a, const Key& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix;
        }
        // Calls of up to eight bytes with one prefix are the same call (calls hold no zero byte).
        if (a.prefix & 0xFFU) {
            if (const int order = callOf(a).compare(callOf(b)); order != 0) {
                return order < 0;
            }
        }
        return a.position < b.position;
    });
    Entries sorted;
    sorted.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        // A call that the one before it has is dropped; only calls with one full prefix need a look.
        if (i > 0 && keys[i].prefix == keys[i - 1].prefix &&
            ((keys[i].prefix & 0xFFU) == 0 || callOf(keys[i]) == callOf(keys[i - 1]))) {
            continue;
        }
        sorted.push_back(entries_[keys[i].position]);
    }
    entries_ = std::move(sorted);
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
