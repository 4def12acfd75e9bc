// The check that a file can be read before a merge touches anything.
#pragma once

#include <filesystem>

enum class FileCheck {
    Ok,
    Missing,     // nothing by that name, or an empty name
    CannotOpen,  // exists, but is not a regular file that opens for reading
    TooLarge,    // far larger than any callsign list
};

[[nodiscard]] FileCheck checkFile(const std::filesystem::path& path);
