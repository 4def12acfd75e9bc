// The batch command: exit statuses, what goes to which stream, and the report.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "cli/CliRun.h"
#include "support/TestFolder.h"

using namespace std::string_literals;

const std::string database = "QD1AAA,JO10aa,,,Al,,\r\nQD1BBB,JO11bb,EME,,Bo,,\r\n";
const std::string status =
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

TEST_F(Cli, ExitStatusSaysWhyNothingWasWrittenAndErrorsGoToStandardError) {
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"lists/none.txt"}, 1, "File lists/none.txt does not exist.\n"},
        {{"--report", "lists/r.json", "new.txt"}, 1, "Cannot write the report lists/r.json.\n"},
        {{"--layout", "Custom Comma Delimited", "new.txt"}, 2, "no field definition for \"Custom Comma"},
        {{"--layout", "9", "new.txt"}, 2, "--layout"},
        {{"--frobnicate", "new.txt"}, 2, "frobnicate"},
        {{"--set", "alwaysGrids", "new.txt"}, 2, "alwaysGrids"},
        {{"--resolve", "maybe", "new.txt"}, 2, "maybe"},
        {{"--set", "useGrid", "--unset", "useGrid", "new.txt"}, 2, "useGrid"},
        {{}, 2, "INPUT"},
        {{"--resolve", "fail", "new.txt"}, 3, "QD1AAA,JO10aa,,,Al,,\n   Input file: QD1AAA,JO19zz,,,Al,,\n"},
    };
    for (const auto& [args, exitStatus, error] : cases) {
        const CliRun result = run(args);
        EXPECT_EQ(result.status, exitStatus) << testing::PrintToString(args);
        EXPECT_NE(result.err.find(error), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"Call3.txt", "new.txt"}));
    }
    std::filesystem::create_directories(folder / "Call3.bak" / "keep");  // the backup cannot be made
    const CliRun failed = run({"new.txt"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_EQ(failed.out, "Done: No changes to Call3.txt\n");
    EXPECT_TRUE(failed.err.ends_with("\nAborting Merge.\n")) << failed.err;
    EXPECT_EQ(folder.read("Call3.txt"), database);
}

TEST_F(Cli, ReportDescribesTheMergeAndHowEachDifferenceWasSettled) {
    const CliRun written = run({"-q", "--report", "report.json", "--resolve", "input", "new.txt"});
    EXPECT_EQ(written.status, 0);
    EXPECT_EQ(written.out + written.err, "");
    EXPECT_EQ(nlohmann::json::parse(folder.read("report.json")), nlohmann::json::parse(R"({
        "input": {"path": "new.txt", "layout": 0, "layoutName": "VELK Standard"},
        "outcome": "written", "written": true, "dryRun": false,
        "counts": {"inserted": 1, "automaticallyUpdated": 0, "manuallyUpdated": 1, "recordsToWrite": 3},
        "inserted": [{"call": "QD1CCC", "line": "QD1CCC,JO12cc,,,Cy,,"}],
        "automaticallyUpdated": [],
        "differences": [{"call": "QD1AAA", "databaseLine": "QD1AAA,JO10aa,,,Al,,",
            "inputLine": "QD1AAA,JO19zz,,,Al,,", "settled": "input", "resultLine": "QD1AAA,JO19zz,,,Al,,"}],
        "status": ["Done: 3 entries written to Callsign.txt", "   1 new entries were added.",
                   "   1 entries were updated manually.", "   The original file is saved as Call3.bak"],
        "errors": []})"));

    folder.write("Call3.txt", database);
    const CliRun dryRun = run({"-n", "--report", "-", "new.txt"});
    const auto report = nlohmann::json::parse(dryRun.out);  // nothing else on standard output
    EXPECT_EQ(report["outcome"], "dry-run");
    EXPECT_EQ(report["differences"][0]["settled"], "original");
    EXPECT_NE(dryRun.err.find("QD1CCC,JO12cc,,,Cy,,"), std::string::npos) << dryRun.err;  // the changes
    EXPECT_EQ(folder.read("Call3.txt"), database);
}

TEST_F(Cli, ProgramPrintsStatusAndErrorsOnTheirStreamsAndReturnsTheStatus) {
    const auto shell = [this](const std::string& args) {
        const std::string command =
            std::string("'") + VELKMERGE_CLI_PATH + "' -C '" + folder.path().string() + "' " + args + " >'" +
            (folder / "out.log").string() + "' 2>'" + (folder / "err.log").string() + "'";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(shell("gone.txt"), 1);
    EXPECT_EQ(folder.read("out.log") + "|" + folder.read("err.log"), "|File gone.txt does not exist.\n");
    EXPECT_EQ(shell("new.txt"), 0);
    EXPECT_EQ(folder.read("out.log") + "|" + folder.read("err.log"), status + "|");
}

TEST_F(Cli, WhatIsNotARegularFileIsRefusedWithoutWaitingForIt) {
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    ::alarm(60);  // a read that blocks kills the test here rather than at the CTest timeout
    for (const std::string input : {"/dev/null", "fifo"}) {
        const CliRun result = run({input});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out + "|" + result.err, "|Cannot open " + input + ".\n");
    }
    std::filesystem::rename(folder / "fifo", folder / "Call3.txt");
    EXPECT_EQ(run({"new.txt"}).err, "Cannot open Call3.txt.\n");
    ::alarm(0);
}
