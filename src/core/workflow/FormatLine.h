// printf-style formatting into a string of whatever length the result needs.
#pragma once

#include <cstdarg>
#include <string>
#include <vector>

[[nodiscard]] std::string formatLine(const char* format, std::va_list arguments);
[[nodiscard]] std::string joinLines(const std::vector<std::string>& lines);
