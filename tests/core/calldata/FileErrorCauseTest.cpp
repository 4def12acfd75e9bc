// Platform errors as the numbered causes of file error messages.
#include "core/calldata/FileErrorCause.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(FileErrorCause, MapsErrorsOntoTheirCauseNumbers) {
    using enum std::errc;
    const std::pair<std::errc, int> cases[] = {{no_such_file_or_directory, 2}, {too_many_files_open, 4},
                                               {permission_denied, 5},         {file_exists, 5},
                                               {directory_not_empty, 5},       {io_error, 10},
                                               {no_space_on_device, 13},       {not_supported, 1}};
    for (const auto& [error, cause] : cases) {
        EXPECT_EQ(fileErrorCause(std::make_error_code(error)), cause) << static_cast<int>(error);
    }
#ifndef _WIN32
    // The file-system library reports the same errors in the system category.
    EXPECT_EQ(fileErrorCause(std::error_code(ENOTEMPTY, std::system_category())), 5);
#endif
}

// The number alone reads wrongly ("13" is not "permission denied"): the line after it says it in words.
TEST(FileErrorCause, SaysTheCauseInWords) {
    using enum std::errc;
    const std::pair<std::errc, const char*> cases[] = {
        {no_space_on_device, "The disk is full."},
        {permission_denied, "Permission denied."},
        {device_or_resource_busy, "The file is locked by another program."},
        {too_many_files_open, "Too many open files."}};
    for (const auto& [error, text] : cases) {
        EXPECT_EQ(fileErrorText(std::make_error_code(error)), text);
    }
    EXPECT_EQ(fileErrorText({}), "");
}
