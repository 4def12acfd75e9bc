// Opening and reading files that must be regular files, without ever blocking on a FIFO or device.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// True when path names a regular file that opens for reading.
[[nodiscard]] bool opensAsRegularFile(const std::filesystem::path& path);

// The whole content of a regular file; nothing when it is not one or cannot be read.
[[nodiscard]] std::optional<std::string> readRegularFile(const std::filesystem::path& path);
