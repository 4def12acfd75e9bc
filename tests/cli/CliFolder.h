// A folder with Call3.txt and new.txt for the batch command's tests, and what a merge of them prints.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "cli/CliRun.h"
#include "support/TestFolder.h"

inline const std::string database = "QD1AAA,JO10aa,,,Al,,\r\nQD1BBB,JO11bb,EME,,Bo,,\r\n";
inline const std::string status =
    "Done: 3 entries written to Callsign.txt\n   1 new entries were added.\n"
    "   The original file is saved as Call3.bak\n";

// A folder with Call3.txt and new.txt: one new call and one call whose grid differs.
class Cli : public testing::Test {
  protected:
    void SetUp() override {
        folder.write("Call3.txt", database);
        folder.write("new.txt", "QD1CCC,JO12cc,,,Cy,,\nQD1AAA,JO19zz,,,Al,,\n");
    }
    CliRun run(std::vector<std::string> args) { return runIn(folder.path(), std::move(args)); }
    TestFolder folder;
};
