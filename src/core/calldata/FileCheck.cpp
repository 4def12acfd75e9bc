// File check before reading.
#include "core/calldata/FileCheck.h"

#include "core/platform/PlatformFiles.h"

FileCheck checkFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (path.empty() || status.type() == std::filesystem::file_type::not_found) {
        return {FileCheck::State::Missing, {}};
    }
    if (error) {
        return {FileCheck::State::CannotOpen, error};  // a folder on the way may not be looked into
    }
    // Folders, FIFOs and devices are refused here, so that no later read can block.
    const FileProbe probe = probeRegularFile(path);
    switch (probe.state) {
        case RegularFile::Ok:
            return {FileCheck::State::Ok, {}};
        case RegularFile::TooLarge:
            return {FileCheck::State::TooLarge, {}};
        case RegularFile::NotRegular:
        case RegularFile::Failed:
            break;
    }
    return {FileCheck::State::CannotOpen, probe.error};
}
