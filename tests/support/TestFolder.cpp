// Temporary folders and file helpers for tests.
#include "support/TestFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

TestFolder::TestFolder() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = base / ("velkmerge-test-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) {
            path_ = candidate;
            return;
        }
    }
    ADD_FAILURE() << "cannot create a temporary folder";
}

TestFolder::~TestFolder() {
    std::error_code error;
    // Tests may take rights away; give them back so that everything can go.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
    }
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 error);
    std::filesystem::remove_all(path_, error);
}

void TestFolder::write(std::string_view name, std::string_view bytes) const {
    std::ofstream file(path_ / name, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file.good()) << "cannot write " << (path_ / name);
}

std::string TestFolder::read(std::string_view name) const {
    const auto bytes = readBytes(path_ / name);
    EXPECT_TRUE(bytes.has_value()) << "cannot read " << (path_ / name);
    return bytes.value_or(std::string());
}

bool TestFolder::exists(std::string_view name) const {
    return std::filesystem::exists(path_ / name);
}

std::optional<std::string> readBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::optional<std::filesystem::path> realDataFolder() {
    const std::filesystem::path folder(VELKMERGE_SHARED_DATA_DIR);
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        return folder;
    }
    return std::nullopt;
}
