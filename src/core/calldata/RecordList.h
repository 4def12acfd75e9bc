// An ordered list of records with the layout they were read with. The list keeps every record it was
// given and the file texts they point into, for as long as it lives; its order says which of them are
// in the list and where. A record never moves once kept, so a pointer to one stays valid while the
// order changes.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <vector>

#include "core/calldata/CallRecord.h"
#include "core/calldata/FieldDefinition.h"
#include "core/calldata/FileText.h"

class RecordList {
  public:
    using Entries = std::vector<CallRecord*>;

    explicit RecordList(const FieldDefinition* layout = nullptr) : layout_(layout) {}

    [[nodiscard]] const FieldDefinition* layout() const { return layout_; }
    void setLayout(const FieldDefinition* layout) { layout_ = layout; }

    [[nodiscard]] std::size_t size() const { return order_.size(); }
    [[nodiscard]] bool empty() const { return order_.empty(); }
    [[nodiscard]] CallRecord& at(std::size_t index) { return *order_.at(index); }
    [[nodiscard]] const CallRecord& at(std::size_t index) const { return *order_.at(index); }
    [[nodiscard]] Entries::iterator begin() { return order_.begin(); }
    [[nodiscard]] Entries::iterator end() { return order_.end(); }
    [[nodiscard]] Entries::const_iterator begin() const { return order_.begin(); }
    [[nodiscard]] Entries::const_iterator end() const { return order_.end(); }
    [[nodiscard]] const Entries& entries() const { return order_; }

    // Keeps the records of one file, in file order, and takes `order` (pointers into them, in call order)
    // as the list's order. The list must hold no order yet.
    void placeRead(std::vector<CallRecord> records, Entries order);
    // Keeps a record made elsewhere without placing it in the order; returns where it is kept.
    CallRecord& keep(CallRecord record);
    // Keeps a record and places it last.
    void append(CallRecord record);
    // Keeps records (comment records, say) and places them ahead of everything, in their order.
    void insertAtHead(std::vector<CallRecord> records);
    // Hands over the order and leaves it empty; the records stay in this list's keeping.
    [[nodiscard]] Entries takeAll();
    // Replaces the order; the caller keeps it in call order, of records this list keeps.
    void replaceAll(Entries entries) { order_ = std::move(entries); }
    // Keeps a file's text, which records of this list may point into.
    void keepText(std::shared_ptr<const FileText> text) { texts_.push_back(std::move(text)); }
    [[nodiscard]] const std::vector<std::shared_ptr<const FileText>>& texts() const { return texts_; }
    // Takes over everything `other` keeps (records and texts), but not its order; `other` is left empty.
    void keepAllOf(RecordList& other);
    // Forgets the order and frees every record and text.
    void clear();

  private:
    const FieldDefinition* layout_;
    Entries order_;
    // Moving a container hands over its storage, so the records in it stay where they are.
    std::vector<std::vector<CallRecord>> read_;  // one per file read, never grown once kept
    std::vector<std::deque<CallRecord>> made_;   // kept one by one in the first: a deque never moves them
    std::vector<std::shared_ptr<const FileText>> texts_;
};
