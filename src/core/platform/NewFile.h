// A file created afresh for writing: nobody else's file, readable by its owner only until it is told
// otherwise, flushed to the disk itself before it counts as written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

class NewFile {
  public:
    // Creates `path`, which must not exist yet, with permissions for its owner only.
    [[nodiscard]] static std::unique_ptr<NewFile> create(const std::filesystem::path& path,
                                                         std::error_code& error);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Gives the file the owner (where this process may) and the permissions of `original`, on the open
    // file, so that no other file can be changed instead.
    [[nodiscard]] std::error_code takeOwnerAndModeOf(const std::filesystem::path& original);
    [[nodiscard]] std::error_code write(std::string_view bytes);
    // Flushes the file to the disk and closes it; it can no longer be written.
    [[nodiscard]] std::error_code syncAndClose();

  private:
    // Only create makes one; make_unique needs the constructor public.
    struct Made {
        explicit Made() = default;
    };

  public:
    NewFile(Made /*only create*/, std::intptr_t handle) : handle_(handle) {}

  private:
    void close();

    std::intptr_t handle_;  // the system's descriptor or handle; -1 once closed
};
