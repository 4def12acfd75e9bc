// An ordered list of records with the layout they were read with; the list keeps the records it holds.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "calldata/CallRecord.h"
#include "calldata/FieldDefinition.h"
#include "calldata/FileText.h"

class RecordList {
  public:
    // The order of the list. The records themselves stay where the list keeps them, so that a pointer to
    // one stays valid while the order changes.
    using Entries = std::vector<CallRecord*>;
    using Owned = std::vector<std::unique_ptr<CallRecord>>;
    // Records in blocks, each filled up to the room it was given and never grown, so that no record
    // moves; the reader's blocks hold blockRecords records.
    using Blocks = std::vector<std::vector<CallRecord>>;
    static constexpr std::size_t blockRecords = std::size_t{1} << 16;

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

    void append(std::unique_ptr<CallRecord> record);
    // Keeps records made elsewhere without placing them in the order; the caller places them with
    // replaceAll.
    void keepMade(Blocks records);
    // Makes a record at the end of the last of `blocks` from `arguments`, or in a new block with room
    // for `blockSize` when that one is full, so that no record already there moves.
    template <typename... Arguments>
    static CallRecord& addToBlocks(Blocks& blocks, std::size_t blockSize, Arguments&&... arguments) {
        if (blocks.empty() || blocks.back().size() == blocks.back().capacity()) {
            blocks.emplace_back().reserve(blockSize);
        }
        return blocks.back().emplace_back(std::forward<Arguments>(arguments)...);
    }
    // Puts records (comment records, say) ahead of everything the list holds, in their order.
    void insertAtHead(Owned records);
    // Takes station records already in ascending call order, one per call (the reader orders them and
    // keeps the first line of a call), into a list that holds no records yet.
    void placeSorted(Blocks blocks);
    // Hands over the order and leaves the list empty; the records stay in this list's keeping (and point
    // into its texts), so the list must outlive them or pass them on with keepAllOf.
    [[nodiscard]] Entries takeAll();
    // Replaces the order; the caller keeps it in call order, of records this list keeps.
    void replaceAll(Entries entries) { entries_ = std::move(entries); }
    void clear();
    // Keeps a file's text, which records of this list may point into, as long as the list lives.
    void keepText(std::shared_ptr<const FileText> text) { texts_.push_back(std::move(text)); }
    [[nodiscard]] const std::vector<std::shared_ptr<const FileText>>& texts() const { return texts_; }
    // Takes over everything `other` keeps (records and texts); `other` is left empty.
    void keepAllOf(RecordList& other);
    // Hands over the blocks of records placed by placeSorted, which the list then no longer keeps. Until
    // the order is replaced it is these blocks one after another, as a walk that frees them relies on.
    [[nodiscard]] Blocks takeBlocks() { return std::exchange(blocks_, {}); }

  private:
    const FieldDefinition* layout_;
    Entries entries_;
    // Records read from files, in blocks in call order.
    Blocks blocks_;
    Owned single_;
    // Records made by the list's user.
    Blocks made_;
    std::vector<std::shared_ptr<const FileText>> texts_;
};
