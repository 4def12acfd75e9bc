// An advisory lock on a lock file, held while it lives, so that two merges never write one database at
// once. It dies with its process, so a merge that was killed never blocks the next one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <system_error>

class FileLock {
  public:
    enum class State {
        Locked,
        HeldElsewhere,  // another process (or another lock of this one) holds it
        Failed,         // the lock file cannot be made or opened: see error()
    };

    // Tries once, without waiting; the lock file is made if needed and removed again when the lock goes.
    explicit FileLock(std::filesystem::path path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    [[nodiscard]] State state() const { return state_; }
    [[nodiscard]] std::error_code error() const { return error_; }

  private:
    std::filesystem::path path_;
    std::intptr_t handle_ = -1;
    State state_ = State::Failed;
    std::error_code error_;
};
