// Named access to a record's values, the line cutter and the record conversions.
#include "calldata/CallRecord.h"

#include <algorithm>

#include "calldata/StationData.h"

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

void normaliseGrid(std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i < 4 && c >= 'a' && c <= 'z') {
            text[i] = static_cast<char>(c - 'a' + 'A');
        } else if (i >= 4 && c >= 'A' && c <= 'Z') {
            text[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
}

std::string_view CallRecord::fieldView(std::string_view name) const {
    const int index = layout != nullptr ? layout->indexOf(name) : -1;
    if (index >= 0 && static_cast<std::size_t>(index) < values.size()) {
        return values[static_cast<std::size_t>(index)];
    }
    return unknownField;
}

void CallRecord::setField(std::string_view name, std::string text) {
    const int index = layout != nullptr ? layout->indexOf(name) : -1;
    if (index >= 0 && static_cast<std::size_t>(index) < values.size()) {
        values[static_cast<std::size_t>(index)] = std::move(text);
    }
}

void CallRecord::setFieldNumber(std::string_view name, long long n) {
    setField(name, std::to_string(static_cast<std::uint16_t>(n)));
}

void CallRecord::copyFrom(const CallRecord& other) {
    values = other.values;
    extraFields = other.extraFields;
    layout = other.layout;
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
    values.clear();
    if (layout == nullptr) {
        return;
    }
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
    extraFields = source.extraFields;
}

std::string CallRecord::stationFromBands() const {
    return StationData::fromRecord(*this).toText();
}

std::string CallRecord::databaseLine() const {
    std::string text;
    bool first = true;
    for (const char* name : {"Call", "Grid", "EME", "State", "Name", "Email", "Station"}) {
        if (!first) {
            text += ',';
        }
        first = false;
        text += fieldView(name);
    }
    text += extraFields;
    return text;
}

void CallRecord::convertEncoding(TextEncoding from, TextEncoding to) {
    line = ::convertEncoding(line, from, to);
    extraFields = ::convertEncoding(extraFields, from, to);
    for (std::string& value : values) {
        value = ::convertEncoding(value, from, to);
    }
    if (layout != nullptr) {
        for (std::size_t i = 0; i < layout->fields.size() && i < values.size(); ++i) {
            if (layout->fields[i].fieldName == "State") {
                toUpperInPlace(values[i], to);
            } else if (layout->fields[i].fieldName == "Grid") {
                normaliseGrid(values[i]);  // its letters sit at other places once characters change length
            }
        }
    }
}

void CallRecord::parseLine(TextEncoding encoding) {
    const std::string_view trimmed = trimWhiteSpace(line);
    const std::size_t trimmedStart = static_cast<std::size_t>(trimmed.data() - line.data());
    line.erase(trimmedStart + trimmed.size()).erase(0, trimmedStart);  // in place: no new buffer
    values.clear();
    extraFields.clear();
    isComment = layout == nullptr;  // without a layout nothing can be cut out
    if (isComment) {
        return;
    }
    const std::vector<FieldEntry>& fields = layout->fields;
    // A UTF-8 character that a column boundary would cut belongs to the field where it starts, so that
    // no value holds half a character.
    const auto boundary = [&](std::size_t column) {
        while (encoding == TextEncoding::Utf8 && !layout->commaDelimited && column < line.size() &&
               (static_cast<unsigned char>(line[column]) & 0xC0U) == 0x80U) {
            ++column;
        }
        return column;
    };
    // Comma fields come in ascending order: one walk along the line finds them all.
    std::size_t fieldStart = 0;
    std::size_t commasPassed = 0;
    const auto commaValue = [&](std::size_t number) {
        for (; commasPassed < number; ++commasPassed) {
            const std::size_t comma = line.find(',', fieldStart);
            fieldStart = comma == std::string::npos ? line.size() : comma + 1;
        }
        const std::size_t comma = line.find(',', fieldStart);
        return std::string(line, fieldStart,
                           comma == std::string::npos ? std::string::npos : comma - fieldStart);
    };
    values.reserve(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldEntry& entry = fields[i];
        std::string value;
        if (layout->commaDelimited) {
            value = commaValue(entry.position);
        } else {
            const std::size_t end = i + 1 < fields.size() ? boundary(fields[i + 1].position) : line.size();
            value = extractField(line, boundary(entry.position), end, false);
            keepOutCommas(value);  // plain text in a column file
        }
        if (entry.fieldName == "Call") {
            toUpperInPlace(value, encoding);
            if (!isValidCall(value)) {
                isComment = true;
                values.clear();
                return;
            }
        } else if (entry.fieldName == "Grid") {
            normaliseGrid(value);
        } else if (entry.fieldName == "State") {
            toUpperInPlace(value, encoding);
        }
        values.push_back(std::move(value));
    }
    if (layout->commaDelimited && !fields.empty()) {
        // fieldStart is where the last field starts.
        const std::size_t comma = line.find(',', fieldStart);
        if (fieldStart < line.size() && comma != std::string::npos) {
            extraFields = line.substr(comma);
        }
    }
}
