// The check that a file is a regular, readable file before a merge reads it.
#include "calldata/FileCheck.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "support/TestFolder.h"

namespace {

TEST(FileCheck, RefusesWhatIsMissingOrNotARegularFile) {
    TestFolder folder;
    folder.write("Call3.txt", "QA1ABC,,,,,,\n");
    folder.write("empty.txt", "");
    std::filesystem::create_directory(folder / "folder");
    EXPECT_EQ(checkFile(folder / "Call3.txt"), FileCheck::Ok);
    EXPECT_EQ(checkFile(folder / "empty.txt"), FileCheck::Ok);
    EXPECT_EQ(checkFile(folder / "absent.txt"), FileCheck::Missing);
    EXPECT_EQ(checkFile(""), FileCheck::Missing);
    EXPECT_EQ(checkFile(folder / "folder"), FileCheck::CannotOpen);
#ifndef _WIN32
    // A FIFO without a writer would block a plain open for reading.
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(checkFile(folder / "fifo"), FileCheck::CannotOpen);
    EXPECT_EQ(checkFile("/dev/null"), FileCheck::CannotOpen);
#endif
}

}  // namespace
