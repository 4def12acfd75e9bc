// A temporary folder for one test, removed with everything in it afterwards, and file helpers.
#pragma once

#include "support/TestFailure.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// The bytes of a file; nothing when it cannot be read.
inline std::optional<std::string> readBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class TestFolder {
  public:
    TestFolder() {
        if (!std::filesystem::create_directory(path_)) {
            VELKMERGE_FAIL("cannot create " + path_.string());
        }
    }
    ~TestFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Writes bytes exactly as given (no line-end translation).
    void write(std::string_view name, std::string_view bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }
    [[nodiscard]] std::string read(std::string_view name) const {
        const auto bytes = readBytes(path_ / name);
        if (!bytes) {
            VELKMERGE_FAIL("cannot read " + (path_ / name).string());
        }
        return bytes.value_or("");
    }
    // The names in the folder, in order.
    [[nodiscard]] std::vector<std::string> names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_ =
        std::filesystem::temp_directory_path() / ("velkmerge-test-" + std::to_string(std::random_device()()));
};
