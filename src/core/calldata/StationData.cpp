// Band values to station text.
#include "core/calldata/StationData.h"

#include "core/calldata/CallRecord.h"

std::uint16_t leadingNumber16(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Arithmetic modulo 2^16 gives the low 16 bits of any number, however long.
    std::uint16_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = static_cast<std::uint16_t>(value * 10u + static_cast<unsigned>(text[i] - '0'));
    }
    return negative ? static_cast<std::uint16_t>(0u - value) : value;
}

StationData StationData::fromRecord(const CallRecord& record) {
    StationData data;
    if (record.fieldView("P1") == unknownField) {
        return data;
    }
    // "unknown" has no leading digits, so a missing band reads as 0.
    data.hasBands = true;
    data.band6m = leadingNumber16(record.fieldView("P1"));
    data.band2m = leadingNumber16(record.fieldView("P2"));
    data.band222 = leadingNumber16(record.fieldView("P3"));
    data.band432 = leadingNumber16(record.fieldView("P4"));
    return data;
}

std::string StationData::toText() const {
    if (!hasBands) {
        return {};
    }
    std::string text;
    const auto add = [&text](const char* label, std::uint16_t value, bool space) {
        if (value != 0) {
            text += label;
            text += std::to_string(value);
            if (space) {
                text += ' ';
            }
        }
    };
    add("6M:", band6m, true);
    add("2M:", band2m, true);
    add("222:", band222, true);
    add("432:", band432, false);
    while (!text.empty() && isWhiteSpace(text.back())) {
        text.pop_back();
    }
    return text;
}
