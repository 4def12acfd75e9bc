// Named access to a record's values, the line cutter and the record conversions.
#include "core/calldata/CallRecord.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <memory>
#include <utility>

#include "core/calldata/StationData.h"

void keepOutCommas(std::string& value) {
    std::replace(value.begin(), value.end(), ',', ';');
}

bool isWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view trimWhiteSpace(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isWhiteSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && isWhiteSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

namespace {

// Offset of the start of comma field `number`, or the line's length when there are fewer commas.
std::size_t commaFieldStart(std::string_view line, std::size_t number) {
    std::size_t at = 0;
    for (std::size_t n = 0; n < number; ++n) {
        const std::size_t comma = line.find(',', at);
        if (comma == std::string_view::npos) {
            return line.size();
        }
        at = comma + 1;
    }
    return at;
}

}  // namespace

std::string extractField(std::string_view line, std::size_t position, std::size_t end, bool commaDelimited) {
    if (commaDelimited) {
        const std::size_t start = commaFieldStart(line, position);
        const std::size_t comma = line.find(',', start);
        return std::string(line.substr(start, comma == std::string_view::npos ? line.npos : comma - start));
    }
    if (position >= line.size()) {
        return {};
    }
    std::size_t column = position;
    // The skip of leading blanks may run past the field's end column.
    while (column < line.size() && isWhiteSpace(line[column])) {
        ++column;
    }
    const std::size_t start = column;
    while (column < end && column < line.size() && !isWhiteSpace(line[column])) {
        ++column;
    }
    return std::string(line.substr(start, column - start));
}

bool isValidCall(std::string_view text) {
    if (text.size() < 3) {
        return false;
    }
    int digits = 0;
    bool slashSeen = false;
    for (const char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            continue;
        }
        if (c >= '0' && c <= '9') {
            if (!slashSeen) {
                ++digits;
            }
        } else if (c == '/') {
            slashSeen = true;
        } else {
            return false;
        }
    }
    return digits == 1 || digits == 2;
}

namespace {

// The grid's form at position i: letters upper-case among the first four characters, lower-case after.
char gridCharacter(std::size_t i, char c) {
    if (i < 4 && c >= 'a' && c <= 'z') {
        return static_cast<char>(c - 'a' + 'A');
    }
    if (i >= 4 && c >= 'A' && c <= 'Z') {
        return static_cast<char>(c - 'A' + 'a');
    }
    return c;
}

}  // namespace

void normaliseGrid(std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = gridCharacter(i, text[i]);
    }
}

std::string_view CallRecord::call() const {
    if (text_.valueCount() == 0) {
        return {};
    }
    // A plain walk: a call is a few bytes, too few for a library search to pay for its call.
    const std::string_view values = text_.values();
    std::size_t length = 0;
    while (length < values.size() && values[length] != ',') {
        ++length;
    }
    return values.substr(0, length);
}

std::string_view CallRecord::value(std::size_t index) const {
    // A plain walk: values are short, too short for a library search to pay for its call.
    const std::string_view values = text_.values();
    const char* at = values.data();
    const char* const end = at + values.size();
    for (std::size_t n = 0; n < index; ++n) {
        while (at != end && *at != ',') {
            ++at;
        }
        if (at == end) {
            return {};
        }
        ++at;
    }
    const char* valueEnd = at;
    while (valueEnd != end && *valueEnd != ',') {
        ++valueEnd;
    }
    return {at, static_cast<std::size_t>(valueEnd - at)};
}

std::size_t CallRecord::viewValues(std::span<std::string_view> views) const {
    const std::string_view values = text_.values();
    const char* at = values.data();
    const char* const end = at + values.size();
    const std::size_t count = std::min<std::size_t>(text_.valueCount(), views.size());
    for (std::size_t n = 0; n < count; ++n) {
        const char* valueEnd = at;
        while (valueEnd != end && *valueEnd != ',') {
            ++valueEnd;
        }
        views[n] = {at, static_cast<std::size_t>(valueEnd - at)};
        at = valueEnd == end ? end : valueEnd + 1;
        if (valueEnd == end) {
            std::fill(views.begin() + static_cast<std::ptrdiff_t>(n) + 1,
                      views.begin() + static_cast<std::ptrdiff_t>(count), std::string_view());
            break;
        }
    }
    return text_.valueCount();
}

std::vector<std::string_view> CallRecord::valueViews() const {
    std::vector<std::string_view> views(text_.valueCount());
    (void)viewValues(views);
    return views;
}

std::vector<std::string> CallRecord::values() const {
    std::vector<std::string> copies;
    for (const std::string_view view : valueViews()) {
        copies.emplace_back(view);
    }
    return copies;
}

std::string_view CallRecord::extraFields() const {
    const std::size_t count = text_.valueCount();
    const std::string_view text = text_.values();
    std::size_t start = 0;
    for (std::size_t n = 0; n < count; ++n) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            return {};
        }
        if (n + 1 == count) {
            return text.substr(comma);
        }
        start = comma + 1;
    }
    return {};
}

namespace {

std::string joinValues(const std::vector<std::string_view>& values, std::string_view extra) {
    std::size_t size = extra.size() + values.size();
    for (const std::string_view value : values) {
        size += value.size();
    }
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            text += ',';
        }
        text += values[i];
    }
    text += extra;
    return text;
}

}  // namespace

void CallRecord::assignValues(const std::vector<std::string>& values) {
    // No layout has as many fields; values beyond what a record holds would not be fields of it.
    std::vector<std::string> kept(
        values.begin(), values.begin() + static_cast<std::ptrdiff_t>(std::min(values.size(), maxValueCount)));
    for (std::string& value : kept) {
        keepOutCommas(value);  // the values are held as comma fields
    }
    const std::vector<std::string_view> views(kept.begin(), kept.end());
    text_.setValues(joinValues(views, {}), views.size());
}

std::string_view CallRecord::fieldView(std::string_view name) const {
    const int index = layout != nullptr ? layout->indexOf(name) : -1;
    if (index >= 0 && static_cast<std::size_t>(index) < text_.valueCount()) {
        return value(static_cast<std::size_t>(index));
    }
    return unknownField;
}

void CallRecord::setField(std::string_view name, std::string text) {
    const int index = layout != nullptr ? layout->indexOf(name) : -1;
    if (index < 0 || static_cast<std::size_t>(index) >= text_.valueCount()) {
        return;
    }
    keepOutCommas(text);  // the values are held as comma fields
    std::vector<std::string_view> views = valueViews();
    views[static_cast<std::size_t>(index)] = text;
    text_.setValues(joinValues(views, extraFields()), views.size());
}

void CallRecord::setFieldNumber(std::string_view name, long long n) {
    setField(name, std::to_string(static_cast<std::uint16_t>(n)));
}

void CallRecord::copyFrom(const CallRecord& other) {
    layout = other.layout;
    text_.setValues(std::string(other.text_.values()), other.text_.valueCount());
}

bool CallRecord::sameAs(const CallRecord& other) const {
    if (layout == nullptr) {
        return true;
    }
    for (const FieldEntry& entry : layout->fields) {
        const std::string_view own = fieldView(entry.fieldName);
        const std::string_view theirs = other.fieldView(entry.fieldName);
        if (own == theirs) {
            continue;
        }
        if (theirs != unknownField) {
            return false;
        }
        if (entry.fieldName == "Station" && own != other.stationFromBands()) {
            return false;
        }
    }
    return true;
}

void CallRecord::convertFrom(const CallRecord& source) {
    if (layout == nullptr) {
        text_ = RecordText();
        return;
    }
    std::vector<std::string> values;
    values.reserve(layout->fields.size());
    for (const FieldEntry& entry : layout->fields) {
        const std::string_view value = source.fieldView(entry.fieldName);
        if (value != unknownField) {
            values.emplace_back(value);
        } else if (entry.fieldName == "Station") {
            values.push_back(source.stationFromBands());
        } else {
            values.emplace_back();
        }
    }
    const std::vector<std::string_view> views(values.begin(), values.end());
    text_.setValues(joinValues(views, source.extraFields()), views.size());
}

std::string CallRecord::stationFromBands() const {
    return StationData::fromRecord(*this).toText();
}

std::string CallRecord::databaseLine() const {
    std::string text;
    appendDatabaseLine(text);
    return text;
}

void CallRecord::appendDatabaseLine(std::string& out) const {
    // A record of the database's own layout that holds all its fields is that line already.
    const std::string_view values = text_.values();
    const std::size_t count = text_.valueCount();
    if (layout != nullptr && layout->databaseOrder && count == layout->fields.size()) {
        std::size_t commas = 0;
        for (std::size_t i = 0; i < values.size() && commas + 1 < count; ++i) {
            commas += values[i] == ',' ? 1 : 0;
        }
        if (commas + 1 >= count) {
            out += values;
            return;
        }
    }
    bool first = true;
    for (const char* name : {"Call", "Grid", "EME", "State", "Name", "Email", "Station"}) {
        if (!first) {
            out += ',';
        }
        first = false;
        out += fieldView(name);
    }
    out += extraFields();
}

void CallRecord::convertEncoding(TextEncoding from, TextEncoding to) {
    // Values are cut from the line: a line of ASCII reads the same in both encodings, and stays in the file.
    if (!hasNonAscii(text_.line())) {
        return;
    }
    std::vector<std::string> values;
    const std::vector<std::string_view> views = valueViews();
    for (std::size_t i = 0; i < views.size(); ++i) {
        std::string value = ::convertEncoding(views[i], from, to);
        if (layout != nullptr && i < layout->fields.size()) {
            if (layout->fields[i].fieldName == "State") {
                toUpperInPlace(value, to);
            } else if (layout->fields[i].fieldName == "Grid") {
                normaliseGrid(value);  // its letters sit at other places once characters change length
            }
        }
        values.push_back(std::move(value));
    }
    const std::string extra = ::convertEncoding(extraFields(), from, to);
    const bool comment = isComment();
    const std::string_view line = text_.keepLine(::convertEncoding(text_.line(), from, to));
    if (comment) {
        text_.makeComment(line);
        return;
    }
    if (views.empty()) {
        return;  // a record not yet cut stays so
    }
    const std::vector<std::string_view> converted(values.begin(), values.end());
    text_.setPlain(line, converted.size());
    text_.setValues(joinValues(converted, extra), converted.size());
}

void CallRecord::makeComment(std::string line) {
    text_.makeComment(text_.keepLine(std::move(line)));
}

void CallRecord::cutOwnLine(std::string line, TextEncoding encoding) {
    cutLine(text_.keepLine(std::move(line)), encoding);
}

void CallRecord::cutLine(std::string_view line, TextEncoding encoding) {
    const std::string_view trimmed = trimWhiteSpace(line);
    // Without a layout, or one without fields, nothing can be cut out.
    if (layout == nullptr || layout->fields.empty()) {
        text_.makeComment(trimmed);
        return;
    }
    // Most lines of a database are already in its form: the line itself is then the record's text.
    if (layout->commaDelimited && layout->databaseOrder) {
        const PlainCheck check = checkPlainLine(trimmed, layout->fields.size());
        if (check.comment) {
            text_.makeComment(trimmed);
            return;
        }
        if (check.plain) {
            text_.setPlain(trimmed, layout->fields.size());
            return;
        }
    }
    cutFields(trimmed, encoding);
}

CallRecord::PlainCheck CallRecord::checkPlainLine(std::string_view text, std::size_t fieldCount) {
    // Only the call, the grid and the state can need normalising, so the walk ends after the state. It
    // runs once over each byte: the reader's first walk makes it for every line of a file.
    const char* at = text.data();
    const char* const end = at + text.size();
    // The call: what isValidCall and hasLowerCase look for, in one walk.
    const char* const call = at;
    int digits = 0;
    bool slashSeen = false;
    bool lowerCase = false;
    for (; at != end && *at != ','; ++at) {
        const char c = *at;
        if (c >= 'A' && c <= 'Z') {
            continue;
        }
        if (c >= 'a' && c <= 'z') {
            lowerCase = true;
        } else if (c >= '0' && c <= '9') {
            digits += slashSeen ? 0 : 1;
        } else if (c == '/') {
            slashSeen = true;
        } else {
            return {true, false};
        }
    }
    if (at - call < 3 || (digits != 1 && digits != 2)) {
        return {true, false};
    }
    if (lowerCase) {
        return {};
    }
    for (std::size_t i = 1; i < std::min<std::size_t>(fieldCount, 4); ++i) {
        at = at == end ? end : at + 1;  // past the comma
        const char* const value = at;
        if (i == 1) {
            for (; at != end && *at != ','; ++at) {
                if (gridCharacter(static_cast<std::size_t>(at - value), *at) != *at) {
                    return {};
                }
            }
        } else if (i == 3) {
            // A state's letters are upper-cased in the file's encoding.
            for (; at != end && *at != ','; ++at) {
                if ((*at >= 'a' && *at <= 'z') || static_cast<unsigned char>(*at) >= 0x80) {
                    return {};
                }
            }
        } else {
            while (at != end && *at != ',') {
                ++at;
            }
        }
    }
    return {false, true};
}

void CallRecord::cutFields(std::string_view text, TextEncoding encoding) {
    const std::vector<FieldEntry>& fields = layout->fields;
    // A UTF-8 character that a column boundary would cut belongs to the field where it starts, so that
    // no value holds half a character.
    const auto boundary = [&](std::size_t column) {
        while (encoding == TextEncoding::Utf8 && !layout->commaDelimited && column < text.size() &&
               (static_cast<unsigned char>(text[column]) & 0xC0U) == 0x80U) {
            ++column;
        }
        return column;
    };
    // Comma fields come in ascending order: one walk along the line finds them all.
    std::size_t fieldStart = 0;
    std::size_t commasPassed = 0;
    const auto commaValue = [&](std::size_t number) {
        if (number < commasPassed) {  // a layout of the user's making may name an earlier column later
            fieldStart = 0;
            commasPassed = 0;
        }
        for (; commasPassed < number; ++commasPassed) {
            const std::size_t comma = text.find(',', fieldStart);
            fieldStart = comma == std::string_view::npos ? text.size() : comma + 1;
        }
        const std::size_t comma = text.find(',', fieldStart);
        return text.substr(fieldStart,
                           comma == std::string_view::npos ? std::string_view::npos : comma - fieldStart);
    };
    // The values as read, and whether any differs from the line (normalised, or cut from columns).
    std::vector<std::string> normalised(fields.size());
    std::vector<std::string_view> views(fields.size());
    bool changed = !layout->commaDelimited || !layout->databaseOrder;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldEntry& entry = fields[i];
        std::string value;
        if (layout->commaDelimited) {
            views[i] = commaValue(entry.position);
            value = std::string(views[i]);
        } else {
            const std::size_t end = i + 1 < fields.size() ? boundary(fields[i + 1].position) : text.size();
            value = extractField(text, boundary(entry.position), end, false);
            keepOutCommas(value);  // plain text in a column file
        }
        if (entry.fieldName == "Call") {
            toUpperInPlace(value, encoding);
            if (!isValidCall(value)) {
                text_.makeComment(text);
                return;
            }
        } else if (entry.fieldName == "Grid") {
            normaliseGrid(value);
        } else if (entry.fieldName == "State") {
            toUpperInPlace(value, encoding);
        }
        if (!changed && value != views[i]) {
            changed = true;
        }
        normalised[i] = std::move(value);
    }
    std::string_view extra;
    if (layout->commaDelimited && layout->databaseOrder) {
        // fieldStart is where the last field starts.
        const std::size_t comma = text.find(',', fieldStart);
        if (fieldStart < text.size() && comma != std::string_view::npos) {
            extra = text.substr(comma);
        }
    }
    // The line is the record's line either way; only values that differ from it are copied.
    text_.setPlain(text, fields.size());
    if (changed) {
        const std::vector<std::string_view> values(normalised.begin(), normalised.end());
        text_.setValues(joinValues(values, extra), values.size());
    }
}
