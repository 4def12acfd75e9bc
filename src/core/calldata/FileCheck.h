// The check that a file can be read before a merge touches anything.
#pragma once

#include <filesystem>
#include <system_error>

struct FileCheck {
    enum class State {
        Ok,
        Missing,     // nothing by that name, or an empty name
        CannotOpen,  // exists, but is not a regular file that opens for reading
        TooLarge,    // far larger than any callsign list
    };
    State state = State::Missing;
    std::error_code error;  // why it does not open, where the system said
};

[[nodiscard]] FileCheck checkFile(const std::filesystem::path& path);
