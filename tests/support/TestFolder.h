// A temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

class TestFolder {
  public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Writes bytes exactly as given (no line-end translation).
    void write(std::string_view name, std::string_view bytes) const;
    [[nodiscard]] std::string read(std::string_view name) const;
    [[nodiscard]] bool exists(std::string_view name) const;

  private:
    std::filesystem::path path_;
};

// The bytes of a file anywhere; nothing when it cannot be read.
[[nodiscard]] std::optional<std::string> readBytes(const std::filesystem::path& path);

// The folder of real published databases beside the project, or nothing when it is absent.
[[nodiscard]] std::optional<std::filesystem::path> realDataFolder();
