// A file layout: how a line is cut into named fields, and the layouts the program knows.
#pragma once

#include <array>
#include <optional>
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

// Index of the comma layout of the user's own making: fields in an order the user names.
inline constexpr int customLayoutIndex = 3;

// The four layouts, in list order; the last has no fields until the user gives it its columns.
[[nodiscard]] std::vector<FieldDefinition> buildFieldDefinitions();

// What a column of a comma layout of the user's making may hold.
inline constexpr std::array<std::string_view, 7> columnNames{"Call", "Grid",  "EME",    "State",
                                                             "Name", "Email", "Station"};
// A comma layout from the names of its columns in order, "" for a column to ignore; the name's case does
// not matter. Nothing when they make no layout: no "Call", a name twice, or a name not in columnNames.
[[nodiscard]] std::optional<FieldDefinition> customCommaLayout(const std::vector<std::string>& columns);
// The columns as one text, "Call,,Name,Grid", as a layout of the user's making is remembered; and back.
[[nodiscard]] std::string columnsText(const std::vector<std::string>& columns);
[[nodiscard]] std::vector<std::string> columnsOf(std::string_view text);
