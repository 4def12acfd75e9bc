// A file's text: its bytes and stamp, and nothing for what is no regular file.
#include "core/calldata/FileText.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestFolder.h"

using namespace std::string_literals;

TEST(FileText, HoldsTheBytesAndStampOfARegularFileOnly) {
    TestFolder folder;
    // More than a page, with a NUL and a character of two bytes.
    const std::string bytes = "QA1AAA,,,,J\xC3\xBCrgen,,\r\n// a\0b\n"s + std::string(70000, 'z');
    folder.write("Call3.txt", bytes);
    folder.write("empty.txt", "");
    std::error_code error;
    const std::shared_ptr<const FileText> text = FileText::load(folder / "Call3.txt", error);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->bytes(), bytes);
    std::error_code stampError;
    EXPECT_EQ(text->stamp(), stampOf(folder / "Call3.txt", stampError));
    const std::shared_ptr<const FileText> empty = FileText::load(folder / "empty.txt", error);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->bytes().empty());
    EXPECT_FALSE(FileText::load(folder / "none.txt", error));
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(FileText::load(folder.path(), error));
}
