// The check that a file is a regular, readable file before a merge reads it.
#include "core/calldata/FileCheck.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "support/TestFolder.h"

TEST(FileCheck, RefusesWhatIsMissingOrNotARegularFile) {
    TestFolder folder;
    folder.write("empty.txt", "");
    EXPECT_EQ(checkFile(folder / "empty.txt").state, FileCheck::State::Ok);
    EXPECT_EQ(checkFile(folder / "absent.txt").state, FileCheck::State::Missing);
    EXPECT_EQ(checkFile("").state, FileCheck::State::Missing);
    EXPECT_EQ(checkFile(folder.path()).state, FileCheck::State::CannotOpen);
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);  // a plain open would wait for a writer
    EXPECT_EQ(checkFile(folder / "fifo").state, FileCheck::State::CannotOpen);
    EXPECT_EQ(checkFile("/dev/null").state, FileCheck::State::CannotOpen);
#endif
}
