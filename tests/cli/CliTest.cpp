// The batch command: exit statuses, what goes to which stream, and the report.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliFolder.h"

TEST_F(Cli, ExitStatusSaysWhyNothingWasWrittenAndErrorsGoToStandardError) {
    const std::tuple<std::vector<std::string>, int, const char*> cases[] = {
        {{"lists/none.txt"}, 1, "File lists/none.txt does not exist.\n"},
        {{"--report", "lists/r.json", "new.txt"}, 1, "Cannot write the report lists/r.json.\n"},
        {{"--layout", "Custom Comma Delimited", "new.txt"}, 2, "no field definition for \"Custom Comma"},
        {{"--layout", "9", "new.txt"}, 2, "--layout"},
        {{"--fields", "Call,Name,Call", "new.txt"}, 2, "--fields: Call,Name,Call names no layout"},
        {{"--fields", "Call", "--layout", "1", "new.txt"}, 2, "leave out --layout 1"},
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
    EXPECT_TRUE(failed.err.starts_with("Unable to rename Call3.txt to Call3.bak (5)\n")) << failed.err;
    EXPECT_TRUE(failed.err.ends_with("\nAborting Merge.\n")) << failed.err;
    EXPECT_EQ(folder.read("Call3.txt"), database);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Call3.bak" / "keep"));
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
            "inputLine": "QD1AAA,JO19zz,,,Al,,", "settled": "input", "fields": {"Grid": "input"},
            "resultLine": "QD1AAA,JO19zz,,,Al,,"}],
        "duplicates": [], "commentLines": [], "nearMatches": [],
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

// --take settles every pair field by field; --resolve ask asks pair by pair at a terminal, and is refused
// without one; the report says how each pair and each of its fields was decided.
TEST_F(Cli, PairsAreDecidedFieldByFieldOrAskedAtTheTerminal) {
    folder.write("new.txt", "QD1AAA,JO19zz,,,Ann,,\nQD1BBB,JO99xx,,,Bob,,6M:1\n");
    const CliRun taken = run({"-q", "--take", "name", "--report", "-", "new.txt"});
    const auto report = nlohmann::json::parse(taken.out);
    EXPECT_EQ(report["differences"][0]["settled"], "edited");
    EXPECT_EQ(report["differences"][0]["fields"],
              nlohmann::json::parse(R"({"Grid": "kept", "Name": "input"})"));
    EXPECT_EQ(report["differences"][1]["settled"], "edited");  // its grid kept
    EXPECT_EQ(folder.read("Call3.txt"),
              "QD1AAA,JO10aa,,,Ann,,\r\nQD1BBB,JO11bb,EME,,Bob,,6M:1\r\n"
              "ZZZZZZ,End-Of-Callsign-Database\r\n");

    folder.write("Call3.txt", database);
    EXPECT_EQ(run({"--resolve", "ask", "new.txt"}).status, 2);
    const auto ask = [this](const std::string& answers) {
        std::istringstream in(answers);
        std::ostringstream out;
        std::ostringstream err;
        const std::string dir = folder.path().string();
        const char* argv[] = {"velkmerge-cli", "-q", "-C", dir.c_str(), "--resolve", "ask", "new.txt"};
        const int status = runCli(7, argv, {in, out, err, true});
        return std::make_pair(status, err.str());
    };
    EXPECT_EQ(ask("o\nq\n").first, 3);  // quit: nothing written
    EXPECT_EQ(folder.read("Call3.txt"), database);
    const auto [status, prompts] = ask("f\ngrid\nu\nx\ni\nf\nstation\n");
    EXPECT_EQ(status, 0);
    EXPECT_NE(prompts.find("Pair 1 of 2: QD1AAA (differs: Grid, Name)"), std::string::npos) << prompts;
    // The input has no EME there: not known, so no difference.
    EXPECT_NE(prompts.find("Pair 2 of 2: QD1BBB (differs: Grid, Name)\n"), std::string::npos) << prompts;
    EXPECT_NE(prompts.find("Answer i, o, f, u, s or q."), std::string::npos);
    EXPECT_EQ(folder.read("Call3.txt"),
              "QD1AAA,JO19zz,,,Ann,,\r\nQD1BBB,JO11bb,EME,,Bo,,6M:1\r\n"
              "ZZZZZZ,End-Of-Callsign-Database\r\n");
}

TEST_F(Cli, TheLayoutIsDetectedOrNamedAndAnInputThatDoesNotFitIsRefused) {
    folder.write("nohr.txt", "QD1CCC JO12cc  NI  Cy       cy@example.org\nQD1AAA JO10aa      Al\n");
    folder.write("named.txt", "Name,Call,Locator\nCy,QD1CCC,JO12cc\nAl,QD1AAA,JO10aa\n");
    folder.write("prose.txt", "Dear all,\nhere is the new list.\n");

    const CliRun refused = run({"nohr.txt"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err,
              "Most lines of the input do not fit VELK Standard. Merge anyway? (answered No)\n"
              "Choose the layout with --layout (auto finds it), or merge anyway with --force-layout.\n");
    EXPECT_EQ(run({"-q", "-n", "--force-layout", "nohr.txt"}).status, 0);
    const CliRun noFit = run({"--layout", "auto", "prose.txt"});
    EXPECT_EQ(noFit.status, 2);
    EXPECT_TRUE(noFit.err.starts_with("No layout fits prose.txt well enough to merge it")) << noFit.err;
    EXPECT_EQ(folder.read("Call3.txt"), database);

    const CliRun detected = run({"--layout", "auto", "--report", "-", "-n", "nohr.txt"});
    EXPECT_EQ(detected.status, 0);
    EXPECT_TRUE(detected.err.starts_with("Layout: Old Nohr Style (records that fit: VELK Standard 0%"))
        << detected.err;
    const nlohmann::json report = nlohmann::json::parse(detected.out);
    EXPECT_EQ(report["input"]["layout"], 2);
    EXPECT_EQ(report["input"]["layoutScores"]["Old Nohr Style"], 1.0);
    EXPECT_EQ(report["counts"]["inserted"], 1);

    const CliRun named = run({"-q", "--fields", "Name,Call,Grid", "--comments", "database", "named.txt"});
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(folder.read("Call3.txt"),
              "QD1AAA,JO10aa,,,Al,,\r\nQD1BBB,JO11bb,EME,,Bo,,\r\nQD1CCC,JO12cc,,,Cy,,\r\n"
              "ZZZZZZ,End-Of-Callsign-Database\r\n");
}
