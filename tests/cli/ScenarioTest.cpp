// Golden merges: each folder under tests/scenarios holds a Call3.txt, an input file, optional extra
// arguments (one a line) and status lines, and, when the merge writes, the exact new Call3.txt.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "cli/CliRun.h"
#include "support/TestFolder.h"

namespace {

const std::filesystem::path scenarioRoot =
    std::filesystem::path(VELKMERGE_SOURCE_DIR) / "tests" / "scenarios";

std::vector<std::string> scenarioNames() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scenarioRoot)) {
        if (entry.is_directory()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Scenario : public testing::TestWithParam<std::string> {};

TEST_P(Scenario, MergeGivesExactlyTheExpectedFiles) {
    const std::filesystem::path source = scenarioRoot / GetParam();
    const auto original = readBytes(source / "Call3.txt");
    const auto input = readBytes(source / "input.txt");
    ASSERT_TRUE(original && input) << source << " needs Call3.txt and input.txt";
    TestFolder folder;
    folder.write("Call3.txt", *original);
    folder.write("input.txt", *input);
    std::vector<std::string> args;
    std::istringstream argLines(readBytes(source / "args").value_or(""));
    for (std::string line; std::getline(argLines, line);) {
        args.push_back(line);
    }
    args.emplace_back("input.txt");

    const CliRun run = runIn(folder.path(), args);
    EXPECT_EQ(run.status, 0) << run.err;
    if (const auto status = readBytes(source / "expected-status.txt")) {
        EXPECT_EQ(run.out, *status);
    }
    const auto expected = readBytes(source / "expected.txt");
    EXPECT_EQ(folder.read("Call3.txt"), expected.value_or(*original));
    EXPECT_EQ(readBytes(folder / "Call3.bak"), expected ? original : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Golden, Scenario, testing::ValuesIn(scenarioNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
