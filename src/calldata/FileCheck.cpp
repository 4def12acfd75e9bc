// File check before reading.
#include "calldata/FileCheck.h"

#include "calldata/FileBytes.h"

FileCheck checkFile(const std::filesystem::path& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) {
        return FileCheck::Missing;
    }
    // Folders, FIFOs and devices are refused here, so that no later read can block.
    return opensAsRegularFile(path) ? FileCheck::Ok : FileCheck::CannotOpen;
}
