// Paths and the text the program takes and shows, which is UTF-8 on every system. On Windows a path is
// wide, and a plain std::string would go through the local code page, which cannot hold every name; on
// other systems both are the same bytes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

[[nodiscard]] inline std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

[[nodiscard]] inline std::string utf8OfPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
