// The batch command end to end: exit statuses, what goes to which stream, and what the options do.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "cli/CliRun.h"
#include "support/TestFolder.h"

namespace {

const std::string database =
    "// Club list\r\nQD1AAA,JO10aa,,,Al,,\r\nQD1BBB,JO11bb,EME,,Bo,,144: 9el\r\n"
    "ZZZZZZ,End-Of-Callsign-Database\r\n";
// One new call and one call whose grid differs.
const std::string input = "// May list\nQD1CCC,JO12cc,,,Cy,,\nQD1AAA,JO19zz,,,Al,,\n";
const std::string writtenStatus =
    "Done: 3 entries written to Callsign.txt\n   1 new entries were added.\n"
    "   The original file is saved as Call3.bak\n";

class Cli : public testing::Test {
  protected:
    void SetUp() override {
        folder.write("Call3.txt", database);
        folder.write("new.txt", input);
    }
    CliRun run(std::vector<std::string> args) { return runIn(folder.path(), std::move(args)); }
    void expectUntouched() {
        EXPECT_EQ(folder.read("Call3.txt"), database);
        EXPECT_FALSE(folder.exists("Call3.bak"));
    }
    TestFolder folder;
};

TEST_F(Cli, MergeWritesTheFileAndPrintsOnlyTheStatusLines) {
    const CliRun result = run({"new.txt"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, writtenStatus);
    EXPECT_EQ(folder.read("Call3.bak"), database);
    EXPECT_EQ(folder.read("Call3.txt"),
              "// Club list\r\n// May list\r\nQD1AAA,JO10aa,,,Al,,\r\nQD1BBB,JO11bb,EME,,Bo,,144: 9el\r\n"
              "QD1CCC,JO12cc,,,Cy,,\r\nZZZZZZ,End-Of-Callsign-Database\r\n");

    folder.write("Call3.txt", database);
    const CliRun quiet = run({"-q", "new.txt"});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out, "");
    EXPECT_NE(folder.read("Call3.txt"), database);
}

TEST_F(Cli, CommentsOptionChoosesTheCommentLinesOfTheNewFile) {
    const std::pair<const char*, const char*> modes[] = {{"database", "// Club list\r\nQD1AAA"},
                                                         {"none", "QD1AAA"}};
    for (const auto& [mode, head] : modes) {
        folder.write("Call3.txt", database);
        EXPECT_EQ(run({"--comments", mode, "new.txt"}).status, 0);
        EXPECT_TRUE(folder.read("Call3.txt").starts_with(head)) << mode << ":\n" << folder.read("Call3.txt");
    }
}

TEST_F(Cli, FailedFileChecksExitWithOneAndNameTheFileAsTyped) {
    std::filesystem::create_directory(folder / "lists");
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);  // reading it would wait for a writer
    const std::pair<const char*, const char*> cases[] = {
        {"lists/none.txt", "File lists/none.txt does not exist.\n"},
        {"lists", "Cannot open lists.\n"},
        {"pipe", "Cannot open pipe.\n"}};
    for (const auto& [path, message] : cases) {
        const CliRun result = run({path});
        EXPECT_EQ(result.status, 1) << path;
        EXPECT_EQ(result.err, message);
        EXPECT_EQ(result.out, "");
        expectUntouched();
    }
    const std::string longPath =
        std::string(200, 'd') + "/" + std::string(200, 'e') + "/" + std::string(200, 'f');
    EXPECT_EQ(run({longPath}).err, "File " + longPath + " does not exist.\n");  // never cut short
    std::filesystem::remove(folder / "Call3.txt");
    const CliRun result = run({"new.txt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "File Call3.txt does not exist.\n");
}

TEST_F(Cli, FailedWriteExitsWithOneAndLeavesCall3AsItWas) {
    // A backup name taken by a folder with something in it cannot be replaced.
    std::filesystem::create_directories(folder / "Call3.bak" / "keep");
    const CliRun result = run({"new.txt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Done: No changes to Call3.txt\n");
    EXPECT_NE(result.err.find("Unable to rename Call3.txt to Call3.bak ("), std::string::npos) << result.err;
    EXPECT_TRUE(result.err.ends_with(")\nAborting Merge.\n")) << result.err;
    EXPECT_EQ(folder.read("Call3.txt"), database);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Call3.bak" / "keep"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 3)
        << "a temporary file is left";
}

TEST_F(Cli, BadUsageExitsWithTwoAndTouchesNothing) {
    const std::vector<std::vector<std::string>> cases = {
        {"--frobnicate", "new.txt"},
        {"--layout", "9", "new.txt"},
        {"--set", "alwaysGrids", "new.txt"},
        {"--resolve", "maybe", "new.txt"},
        {"--set", "useGrid", "--unset", "useGrid", "new.txt"},
        {}};
    for (const auto& args : cases) {
        const CliRun result = run(args);
        EXPECT_EQ(result.status, 2) << testing::PrintToString(args);
        EXPECT_EQ(result.out, "");
        EXPECT_NE(result.err, "");
        expectUntouched();
    }
}

TEST_F(Cli, CustomCommaDelimitedIsRefusedBeforeAnyFileIsRead) {
    for (const char* layout : {"3", "Custom Comma Delimited"}) {
        const CliRun result = run({"--layout", layout, "missing.txt"});
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("\"Custom Comma Delimited\""), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("does not exist"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

TEST_F(Cli, DryRunShowsTheChangesButWritesNothing) {
    const CliRun result = run({"--dry-run", "--report", "-", "new.txt"});
    EXPECT_EQ(result.status, 0);
    expectUntouched();
    const auto report = nlohmann::json::parse(result.out);  // nothing but the report on standard output
    EXPECT_FALSE(report["written"].get<bool>());
    EXPECT_EQ(report["inserted"][0]["line"], "QD1CCC,JO12cc,,,Cy,,");
    EXPECT_NE(run({"-n", "new.txt"}).out.find("QD1CCC,JO12cc,,,Cy,,"), std::string::npos);
    expectUntouched();
}

TEST_F(Cli, ReportFileDescribesTheMergeAndHowEachDifferenceWasSettled) {
    const CliRun result = run({"--report", "report.json", "--resolve", "input", "new.txt"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto report = nlohmann::json::parse(folder.read("report.json"));
    EXPECT_EQ(report["input"]["path"], "new.txt");
    EXPECT_EQ(report["input"]["layoutName"], "VELK Standard");
    EXPECT_EQ(report["counts"], nlohmann::json::parse(R"({"inserted": 1, "automaticallyUpdated": 0,
                                                         "manuallyUpdated": 1, "written": 3})"));
    EXPECT_EQ(report["inserted"],
              nlohmann::json::parse(R"([{"call": "QD1CCC", "line": "QD1CCC,JO12cc,,,Cy,,"}])"));
    EXPECT_EQ(report["differences"], nlohmann::json::parse(R"([{"call": "QD1AAA",
        "databaseLine": "QD1AAA,JO10aa,,,Al,,", "inputLine": "QD1AAA,JO19zz,,,Al,,",
        "settled": "input", "resultLine": "QD1AAA,JO19zz,,,Al,,"}])"));
    EXPECT_TRUE(report["written"].get<bool>());
    EXPECT_NE(folder.read("Call3.txt").find("QD1AAA,JO19zz,,,Al,,\r\n"), std::string::npos);
}

TEST_F(Cli, SetAndUnsetTurnMergeOptionsOnAndOff) {
    const CliRun always = run({"--set", "alwaysGrid", "--report", "report.json", "new.txt"});
    EXPECT_EQ(always.status, 0);
    EXPECT_NE(folder.read("Call3.txt").find("QD1AAA,JO19zz,,,Al,,\r\n"), std::string::npos);
    EXPECT_TRUE(nlohmann::json::parse(folder.read("report.json"))["differences"].empty());

    // An EME flag the database already has counts as a conversion, unless useEme is off. A relative
    // input is found in the working folder and shown as typed.
    folder.write("Call3.txt", database);
    std::filesystem::remove(folder / "Call3.bak");
    std::filesystem::create_directory(folder / "lists");
    folder.write("lists/same.txt", "QD1BBB,JO11bb,EME,,Bo,,144: 9el\n");
    const CliRun unset = run({"--unset", "useEme", "lists/same.txt"});
    EXPECT_EQ(unset.status, 0);
    EXPECT_EQ(unset.out, "No differences in file: lists/same.txt\nDone: No changes to Call3.txt\n");
    expectUntouched();
    EXPECT_NE(run({"lists/same.txt"}).out.find("   1 entries were automatically updated.\n"),
              std::string::npos);
}

TEST_F(Cli, ProgramSplitsStatusAndErrorsOverItsStreamsAndReturnsTheStatus) {
    const auto shell = [this](const std::string& args) {
        const std::string command =
            std::string("'") + VELKMERGE_CLI_PATH + "' -C '" + folder.path().string() + "' " + args + " >'" +
            (folder / "out.log").string() + "' 2>'" + (folder / "err.log").string() + "'";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    EXPECT_EQ(shell("gone.txt"), 1);
    EXPECT_EQ(folder.read("out.log"), "");
    EXPECT_EQ(folder.read("err.log"), "File gone.txt does not exist.\n");
    // Differences left unresolved are listed with both lines, and nothing is written.
    EXPECT_EQ(shell("--resolve fail new.txt"), 3);
    EXPECT_EQ(folder.read("out.log"), "");
    EXPECT_NE(folder.read("err.log").find("QD1AAA,JO10aa,,,Al,,"), std::string::npos);
    EXPECT_NE(folder.read("err.log").find("QD1AAA,JO19zz,,,Al,,"), std::string::npos);
    expectUntouched();
    EXPECT_EQ(shell("new.txt"), 0);
    EXPECT_EQ(folder.read("out.log"), writtenStatus);
    EXPECT_EQ(folder.read("err.log").find("Done:"), std::string::npos);
}

}  // namespace
