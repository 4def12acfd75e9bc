// Records for tests, from comma-separated values in the field order of their layout.
#pragma once

#include <algorithm>
#include <string_view>

#include "core/calldata/CallRecord.h"

// A database-layout record is cut as a file line is; a column-layout record takes one value per piece.
[[nodiscard]] inline CallRecord makeRecord(const FieldDefinition& layout, std::string_view text) {
    CallRecord record(&layout);
    if (layout.commaDelimited) {
        record.cutOwnLine(std::string(text));
        return record;
    }
    std::vector<std::string> values;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        values.emplace_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    record.assignValues(values);
    return record;
}
