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
}

#if defined(__linux__)
// Once made private, a mapped text keeps its bytes, at the same place, whatever becomes of the file: cut
// short (which a mapping alone would not survive) or written over. Whether the file changed before the
// copy, while the records could still see it, is what keptItsBytes tells.
TEST(FileText, AMappedTextTellsWhetherItsFileChangedWhileItWasMapped) {
    TestFolder folder;
    const std::string bytes = "QA1AAA,,,,,,\r\n" + std::string(3 * 4096 + 17, 'y');
    // A byte longer: a change within the clock's tick may keep the file's times.
    const std::string other(bytes.size() + 1, 'x');
    for (const bool changedFirst : {false, true}) {
        folder.write("new.txt", bytes);
        const std::shared_ptr<const FileText> text = FileText::load(folder / "new.txt", true);
        ASSERT_TRUE(text);
        EXPECT_TRUE(text->keptItsBytes());
        const char* const at = text->bytes().data();
        if (changedFirst) {
            folder.write("new.txt", other);  // in place
            EXPECT_FALSE(text->keptItsBytes());
        }
        text->makePrivate();
        std::filesystem::resize_file(folder / "new.txt", 0);
        folder.write("new.txt", other);
        EXPECT_EQ(text->bytes().data(), at);
        EXPECT_EQ(text->bytes(), changedFirst ? other.substr(0, bytes.size()) : bytes);
        EXPECT_EQ(text->keptItsBytes(), !changedFirst);
    }
    // A text read is the program's own from the start.
    folder.write("read.txt", bytes);
    const std::shared_ptr<const FileText> read = FileText::load(folder / "read.txt", false);
    folder.write("read.txt", other);
    EXPECT_TRUE(read->keptItsBytes());
    EXPECT_EQ(read->bytes(), bytes);
}

// A mapped file that another program cuts short stops the program with a message, before Call3.txt is
// touched, instead of a bare crash.
TEST(FileTextDeathTest, AMappedFileCutShortStopsTheProgramWithAMessage) {
    TestFolder folder;
    folder.write("Call3.txt", std::string(1 << 16, 'x'));
    EXPECT_EXIT(
        {
            stopCleanlyOnFileCutShort();
            const std::shared_ptr<const FileText> text = FileText::load(folder / "Call3.txt", true);
            std::filesystem::resize_file(folder / "Call3.txt", 0);
            const volatile char last = text->bytes().back();
            (void)last;
        },
        testing::ExitedWithCode(1),
        "A file being merged was cut short by another program. Call3.txt is unchanged.");
}
#endif
