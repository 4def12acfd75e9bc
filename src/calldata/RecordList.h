// An ordered list of owned records with the layout they were read with.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "calldata/CallRecord.h"
#include "calldata/FieldDefinition.h"

class RecordList {
  public:
    using Entries = std::vector<std::unique_ptr<CallRecord>>;

    explicit RecordList(const FieldDefinition* layout = nullptr) : layout_(layout) {}

    [[nodiscard]] const FieldDefinition* layout() const { return layout_; }
    void setLayout(const FieldDefinition* layout) { layout_ = layout; }

    [[nodiscard]] std::size_t size() const { return entries_.size(); }
    [[nodiscard]] bool empty() const { return entries_.empty(); }
    [[nodiscard]] CallRecord& at(std::size_t index) { return *entries_.at(index); }
    [[nodiscard]] const CallRecord& at(std::size_t index) const { return *entries_.at(index); }
    [[nodiscard]] Entries::iterator begin() { return entries_.begin(); }
    [[nodiscard]] Entries::iterator end() { return entries_.end(); }
    [[nodiscard]] Entries::const_iterator begin() const { return entries_.begin(); }
    [[nodiscard]] Entries::const_iterator end() const { return entries_.end(); }

    void append(std::unique_ptr<CallRecord> record) { entries_.push_back(std::move(record)); }
    // Puts records (comment records, say) ahead of everything the list holds, in their order.
    void insertAtHead(Entries records);
    // Places station records by call sign, ascending. A record whose call the list already
    // holds, or that an earlier record of `records` has, is discarded: the first one wins.
    void insertSorted(Entries records);
    // Hands over all entries and leaves the list empty. The records still point into this list's texts:
    // keep the list, or let the list that takes them share its texts, for as long as they live.
    [[nodiscard]] Entries takeAll();
    // Replaces all entries; the caller keeps them in call order.
    void replaceAll(Entries entries) { entries_ = std::move(entries); }
    void clear() {
        entries_.clear();
        texts_.clear();
    }
    // Keeps a file's text, which records of this list may point into, as long as the list lives. A list
    // that takes records of another shares its texts.
    void keepText(std::shared_ptr<const std::string> text) { texts_.push_back(std::move(text)); }
    void shareTextOf(const RecordList& other) {
        texts_.insert(texts_.end(), other.texts_.begin(), other.texts_.end());
    }

  private:
    const FieldDefinition* layout_;
    Entries entries_;
    std::vector<std::shared_ptr<const std::string>> texts_;
};
