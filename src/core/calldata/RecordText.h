// The text of one record: the line it was read from, and its values as comma fields in its layout's
// order (followed by the extra fields of a longer line). Most lines of a database are already in that
// form, so most records hold one view of their line and nothing else.
//
// | state   | made by                                   | values()               | line()
// |---------|-------------------------------------------|------------------------|------------------------------
// | Empty   | a new record                              | empty                  | empty
// | Comment | makeComment, a line that holds no call    | empty (no values)      | the line
// | Plain   | setPlain: a line in the database's form   | the line itself        | the line
// | Own     | setValues: a cut that changed something,  | own_->values           | own_->line
// |         | an edit, a conversion                     |                        |
//
// A line is a view: of a file's text, which the record's list keeps as long as the record lives, or of
// own_->lineCopy when the record was given a line of its own (keepLine). own_, a small heap part, exists
// only in the Own state or when a line was copied or a match set; it also holds the match, which only
// differing records have, so that every record stays small (a large merge holds millions).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class CallRecord;

class RecordText {
  public:
    RecordText() = default;
    RecordText(const RecordText& other);
    RecordText& operator=(const RecordText& other);
    RecordText(RecordText&& other) noexcept;
    RecordText& operator=(RecordText&& other) noexcept;
    ~RecordText() = default;

    [[nodiscard]] bool isComment() const { return comment_; }
    // The values as comma fields, then the extra fields; empty for a comment or a new record.
    [[nodiscard]] std::string_view values() const { return comment_ ? std::string_view() : view(); }
    [[nodiscard]] std::size_t valueCount() const { return valueCount_; }
    [[nodiscard]] std::string_view line() const;

    // Comment: `line` (a view; see keepLine) is a comment line.
    void makeComment(std::string_view line);
    // Plain: `line` (a view; see keepLine) is the values, `valueCount` of them.
    void setPlain(std::string_view line, std::size_t valueCount);
    // Own: `values`, `valueCount` of them, replace the values; the line stays what line() was (set it
    // first with setPlain or makeComment).
    void setValues(std::string values, std::size_t valueCount);
    // Empty again, with a copy of `line` of the record's own, so that it may outlive the text it came
    // from; returns its view, which makeComment, setPlain or setValues then make the record's line.
    [[nodiscard]] std::string_view keepLine(std::string line);

    [[nodiscard]] CallRecord* match() const { return own_ ? own_->match : nullptr; }
    void setMatch(CallRecord* record);

    // Stops the program when the state breaks the table above; in debug builds only.
    void checkInvariants() const;

  private:
    struct Own {
        std::unique_ptr<std::string> lineCopy;  // only a line the record was given to keep
        std::string values;
        std::string_view line;
        CallRecord* match = nullptr;
    };

    [[nodiscard]] std::string_view view() const { return {data_, size_}; }
    void setView(std::string_view text) {
        data_ = text.data();
        size_ = static_cast<std::uint32_t>(text.size());
    }
    [[nodiscard]] Own& own();
    explicit RecordText(std::unique_ptr<Own> own) : own_(std::move(own)) {
        if (own_) {
            own_->values.clear();
            own_->lineCopy.reset();
            own_->line = {};
        }
    }

    // The values (Plain, Own) or the line (Comment).
    const char* data_ = nullptr;
    std::unique_ptr<Own> own_;
    std::uint32_t size_ = 0;
    std::uint8_t valueCount_ = 0;
    bool comment_ = false;
    bool lineIsValues_ = true;  // Empty, Comment, Plain: line() is the view itself
};
