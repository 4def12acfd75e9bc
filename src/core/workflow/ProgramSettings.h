// The values remembered between runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct ProgramSettings {
    std::uint16_t OutFormat = 0;  // layout of the database file
    std::uint16_t InFormat = 0;   // layout of the last input file
    std::string LastBrowse;       // folder of the last input file
    // The columns of the comma layout of the user's making, "Call,,Name,Grid"; empty: none made yet.
    std::string CustomLayout;
};

// The path without its last component: "C:\Data\calls.txt" gives "C:\Data", "C:\calls.txt"
// gives "C:\", "/calls.txt" gives "/", a bare file name gives "".
[[nodiscard]] std::string folderOfPath(std::string_view path);
