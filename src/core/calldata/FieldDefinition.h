// A file layout: how a line is cut into named fields, and the layouts the program knows.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/calldata/FieldEntry.h"

struct FieldDefinition {
    std::vector<FieldEntry> fields;  // ascending by position; the first is always "Call"
    bool commaDelimited = false;
    // The fields are the database's own, Call to Station, at comma positions 0 to 6.
    bool databaseOrder = false;

    // Position of the first entry named `name` in `fields`, or -1.
    [[nodiscard]] int indexOf(std::string_view name) const;
};

// The texts of the layout list; index i is layout i. The last one has no definition.
inline constexpr std::array<std::string_view, 4> layoutNames{"VELK Standard", "VELK <=  V4.6",
                                                             "Old Nohr Style", "Custom Comma Delimited"};

// Index of the database's own layout, in which "Call3.txt" is read and written.
inline constexpr int databaseLayoutIndex = 0;

// The three defined layouts, in list order.
[[nodiscard]] std::vector<FieldDefinition> buildFieldDefinitions();
