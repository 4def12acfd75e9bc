// One named field of a layout and where it starts on a line.
#pragma once

#include <cstdint>
#include <string>

struct FieldEntry {
    // Comma layouts: the number of commas before the field; column layouts: its first column.
    std::uint16_t position = 0;
    std::string fieldName;
};
