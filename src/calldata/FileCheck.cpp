// File check before reading.
#include "calldata/FileCheck.h"

#include "calldata/PlatformFiles.h"

FileCheck checkFile(const std::filesystem::path& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) {
        return FileCheck::Missing;
    }
    // Folders, FIFOs and devices are refused here, so that no later read can block.
    switch (probeRegularFile(path)) {
        case RegularFile::Ok:
            return FileCheck::Ok;
        case RegularFile::TooLarge:
            return FileCheck::TooLarge;
        case RegularFile::NotRegular:
            break;
    }
    return FileCheck::CannotOpen;
}
