// Mapping of platform errors onto the file-error cause codes.
#include "core/calldata/FileErrorCause.h"

#include <cerrno>

int fileErrorCause(std::error_code error) {
#ifdef _WIN32
    if (error.category() == std::system_category()) {
        switch (error.value()) {
            case 2:
                return 2;  // ERROR_FILE_NOT_FOUND
            case 3:
            case 123:
            case 161:
                return 3;  // PATH_NOT_FOUND, INVALID_NAME, BAD_PATHNAME
            case 4:
                return 4;  // TOO_MANY_OPEN_FILES
            case 5:
            case 80:
            case 183:
                return 5;  // ACCESS_DENIED, FILE_EXISTS, ALREADY_EXISTS
            case 6:
                return 6;  // INVALID_HANDLE
            case 16:
                return 7;  // CURRENT_DIRECTORY
            case 25:
                return 9;  // SEEK
            case 23:
            case 29:
            case 30:
            case 1117:
                return 10;  // CRC, WRITE_FAULT, READ_FAULT, IO_DEVICE
            case 32:
                return 11;  // SHARING_VIOLATION
            case 33:
                return 12;  // LOCK_VIOLATION
            case 39:
            case 112:
                return 13;  // HANDLE_DISK_FULL, DISK_FULL
            case 38:
                return 14;  // HANDLE_EOF
            default:
                return 1;
        }
    }
#endif
    using std::errc;
    if (error == errc::no_such_file_or_directory)
        return 2;
    if (error == errc::not_a_directory || error == errc::filename_too_long ||
        error == errc::invalid_argument || error == errc::too_many_symbolic_link_levels) {
        return 3;
    }
    if (error == errc::too_many_files_open || error == errc::too_many_files_open_in_system)
        return 4;
    if (error == errc::permission_denied || error == errc::operation_not_permitted ||
        error == errc::file_exists || error == errc::is_a_directory || error == errc::directory_not_empty ||
        error == errc::read_only_file_system) {
        return 5;
    }
    if (error == errc::bad_file_descriptor)
        return 6;
    if (error == errc::invalid_seek)
        return 9;
    if (error == errc::io_error)
        return 10;
    if (error == errc::device_or_resource_busy || error == errc::text_file_busy)
        return 11;
    if (error == errc::no_lock_available)
        return 12;
    if (error == errc::no_space_on_device || error == errc::file_too_large)
        return 13;
#ifdef EDQUOT
    if (error == std::error_code(EDQUOT, std::generic_category()))
        return 13;  // over quota
#endif
    return 1;
}

std::string fileErrorText(std::error_code error) {
    if (!error) {
        return {};
    }
    const bool diskFull =
        error == std::errc::no_space_on_device
#ifdef _WIN32
        || (error.category() == std::system_category() && (error.value() == 39 || error.value() == 112))
#endif
        ;
    if (diskFull) {
        return "The disk is full.";
    }
    switch (fileErrorCause(error)) {
        case 11:
        case 12:
            return "The file is locked by another program.";
        default:
            break;
    }
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) {
        return "Permission denied.";
    }
    std::string text = error.message();
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    if (text.empty()) {
        return "Error " + std::to_string(error.value()) + ".";
    }
    if (text.front() >= 'a' && text.front() <= 'z') {
        text.front() = static_cast<char>(text.front() - 'a' + 'A');
    }
    return text + ".";
}
