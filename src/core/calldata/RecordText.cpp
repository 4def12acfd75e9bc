// The states of a record's text and the moves between them.
#include "core/calldata/RecordText.h"

#include <cassert>
#include <utility>

namespace {

// Whether `view` lies inside `home`.
bool within(std::string_view view, const std::string* home) {
    return home != nullptr && !view.empty() && view.data() >= home->data() &&
           view.data() < home->data() + home->size();
}

// `view` moved from one copy of its home to another.
std::string_view rebased(std::string_view view, const std::string& from, const std::string& to) {
    return std::string_view(to).substr(static_cast<std::size_t>(view.data() - from.data()), view.size());
}

}  // namespace

RecordText::RecordText(const RecordText& other)
    : data_(other.data_),
      size_(other.size_),
      valueCount_(other.valueCount_),
      comment_(other.comment_),
      lineIsValues_(other.lineIsValues_) {
    if (!other.own_) {
        return;
    }
    own_ = std::make_unique<Own>();
    own_->values = other.own_->values;
    own_->line = other.own_->line;
    own_->match = other.own_->match;
    if (other.own_->lineCopy) {
        own_->lineCopy = std::make_unique<std::string>(*other.own_->lineCopy);
    }
    // Views of the other's own strings point into this copy's.
    const auto rebase = [&](std::string_view text) {
        if (within(text, &other.own_->values)) {
            return rebased(text, other.own_->values, own_->values);
        }
        if (within(text, other.own_->lineCopy.get())) {
            return rebased(text, *other.own_->lineCopy, *own_->lineCopy);
        }
        return text;
    };
    setView(rebase(view()));
    own_->line = rebase(own_->line);
}

RecordText& RecordText::operator=(const RecordText& other) {
    if (this != &other) {
        RecordText copy(other);
        *this = std::move(copy);
    }
    return *this;
}

// The moved-from text is left Empty: its views may point into the heap part it gave away.
RecordText::RecordText(RecordText&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      own_(std::move(other.own_)),
      size_(std::exchange(other.size_, 0)),
      valueCount_(std::exchange(other.valueCount_, 0)),
      comment_(std::exchange(other.comment_, false)),
      lineIsValues_(std::exchange(other.lineIsValues_, true)) {}

RecordText& RecordText::operator=(RecordText&& other) noexcept {
    if (this != &other) {
        data_ = std::exchange(other.data_, nullptr);
        own_ = std::move(other.own_);
        size_ = std::exchange(other.size_, 0);
        valueCount_ = std::exchange(other.valueCount_, 0);
        comment_ = std::exchange(other.comment_, false);
        lineIsValues_ = std::exchange(other.lineIsValues_, true);
    }
    return *this;
}

RecordText::Own& RecordText::own() {
    if (!own_) {
        own_ = std::make_unique<Own>();
    }
    return *own_;
}

std::string_view RecordText::line() const {
    return lineIsValues_ ? view() : own_->line;
}

void RecordText::makeComment(std::string_view line) {
    assert(!own_ || !within(line, &own_->values));
    if (own_) {
        own_->values.clear();
    }
    setView(line);
    valueCount_ = 0;
    comment_ = true;
    lineIsValues_ = true;
}

void RecordText::setPlain(std::string_view line, std::size_t valueCount) {
    assert(valueCount > 0 && valueCount < 256);
    assert(!own_ || !within(line, &own_->values));
    if (own_) {
        own_->values.clear();
    }
    setView(line);
    valueCount_ = static_cast<std::uint8_t>(valueCount);
    comment_ = false;
    lineIsValues_ = true;
}

void RecordText::setValues(std::string values, std::size_t valueCount) {
    assert(valueCount < 256);
    // The line is kept where it is before the view turns to the values; `values` may be made from it.
    if (lineIsValues_) {
        own().line = view();
        lineIsValues_ = false;
    }
    own_->values = std::move(values);
    setView(own_->values);
    valueCount_ = static_cast<std::uint8_t>(valueCount);
    comment_ = false;
}

std::string_view RecordText::keepLine(std::string line) {
    // Empty again first: no view may be left of the copy it replaces.
    *this = RecordText(std::exchange(own_, nullptr));
    own().lineCopy = std::make_unique<std::string>(std::move(line));
    return *own_->lineCopy;
}

void RecordText::setMatch(CallRecord* record) {
    if (record != nullptr || own_) {
        own().match = record;
    }
}

void RecordText::checkInvariants() const {
    assert(!comment_ || valueCount_ == 0);
    assert(!comment_ || lineIsValues_);
    // Own: the view is the own values, nothing else, and the line is kept in the heap part.
    assert(lineIsValues_ || (own_ && data_ == own_->values.data() && size_ == own_->values.size()));
    // Empty, Comment, Plain: no own values are left over.
    assert(!lineIsValues_ || !own_ || own_->values.empty());
}
