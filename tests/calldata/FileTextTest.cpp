// A file's text, read or mapped: the file's bytes either way, and nothing for what is no regular file.
#include "calldata/FileText.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestFolder.h"

using namespace std::string_literals;

TEST(FileText, ReadOrMappedItHoldsTheBytesOfARegularFileOnly) {
    TestFolder folder;
    // More than a page, with a NUL and a character of two bytes.
    const std::string bytes = "QA1AAA,,,,J\xC3\xBCrgen,,\r\n// a\0b\n"s + std::string(70000, 'z');
    folder.write("Call3.txt", bytes);
    folder.write("empty.txt", "");
    for (const bool mapped : {false, true}) {
        const std::shared_ptr<const FileText> text = FileText::load(folder / "Call3.txt", mapped);
        ASSERT_TRUE(text) << mapped;
        EXPECT_EQ(text->bytes(), bytes) << mapped;
        const std::shared_ptr<const FileText> empty = FileText::load(folder / "empty.txt", mapped);
        ASSERT_TRUE(empty) << mapped;
        EXPECT_TRUE(empty->bytes().empty()) << mapped;
        EXPECT_FALSE(FileText::load(folder / "none.txt", mapped)) << mapped;
        EXPECT_FALSE(FileText::load(folder.path(), mapped)) << mapped;
    }
    // A merge moves Call3.txt aside and puts a new file in its place while it holds the old text.
    const std::shared_ptr<const FileText> text = FileText::load(folder / "Call3.txt", true);
    std::filesystem::rename(folder / "Call3.txt", folder / "Call3.bak");
    folder.write("Call3.txt", "QB2BBB,,,,,,\r\n");
    EXPECT_EQ(text->bytes(), bytes);
}

// Once made private, a mapped text keeps its bytes, at the same place, whatever becomes of the file: cut
// short (which a mapping alone would not survive) or written over.
TEST(FileText, AMappedTextMadePrivateOutlivesChangesToItsFile) {
    TestFolder folder;
    const std::string bytes = "QA1AAA,,,,,,\r\n" + std::string(3 * 4096 + 17, 'y');
    folder.write("new.txt", bytes);
    const std::shared_ptr<const FileText> text = FileText::load(folder / "new.txt", true);
    ASSERT_TRUE(text);
    const char* const at = text->bytes().data();
    text->makePrivate();
    std::filesystem::resize_file(folder / "new.txt", 0);
    folder.write("new.txt", std::string(bytes.size(), 'x'));
    EXPECT_EQ(text->bytes().data(), at);
    EXPECT_EQ(text->bytes(), bytes);
}
