// The batch command: exit statuses, what goes to which stream, and the report.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
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

namespace {

// velkmerge-cli in a process of its own, its standard error kept; `prepare` runs in the new process
// before the program starts (standard output goes nowhere unless it says otherwise).
class Program {
  public:
    Program(const std::filesystem::path& folder, const std::vector<std::string>& args,
            const std::function<void()>& prepare = {}) {
        int errors[2];
        if (::pipe(errors) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(errors[1], 2);
            ::close(errors[0]);
            const int nowhere = ::open("/dev/null", O_WRONLY);
            ::dup2(nowhere, 1);
            std::signal(SIGXFSZ, SIG_DFL);
            std::signal(SIGPIPE, SIG_DFL);
            if (prepare) {
                prepare();
            }
            std::vector<std::string> all{VELKMERGE_CLI_PATH, "-C", folder.string()};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& arg : all) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            std::_Exit(127);
        }
        ::close(errors[1]);
        errors_ = errors[0];
    }
    // The exit status, or 128 and the signal that ended the program.
    int wait() {
        char buffer[4096];
        for (ssize_t got; (got = ::read(errors_, buffer, sizeof buffer)) > 0;) {
            err.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(errors_);
        int raw = 0;
        ::waitpid(pid_, &raw, 0);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    std::string err;

  private:
    pid_t pid_ = -1;
    int errors_ = -1;
};

}  // namespace

// The report never takes the place of Call3.txt, Call3.bak or the input, by whatever name or link it is
// given; a report that cannot be put in place leaves no half file, and a written merge then exits 4.
TEST_F(Cli, ReportNeverReplacesTheMergesOwnFiles) {
    const std::string input = folder.read("new.txt");
    std::filesystem::create_symlink("Call3.txt", folder / "link.json");
    std::filesystem::create_symlink("Call3.bak", folder / "dangling.json");
    std::filesystem::create_hard_link(folder / "Call3.txt", folder / "hard.json");
    const std::string viaFolder = "../" + folder.path().filename().string() + "/Call3.txt";
    for (const std::string& report :
         std::vector<std::string>{"Call3.txt", "Call3.bak", "new.txt", "./new.txt", "link.json",
                                  "dangling.json", "hard.json", viaFolder}) {
        const CliRun refused = run({"--report", report, "new.txt"});
        EXPECT_EQ(refused.status, 2) << report;
        EXPECT_EQ(refused.err, "--report: " + report +
                                   " is Call3.txt, Call3.bak or the input file; choose "
                                   "another name.\n");
        EXPECT_EQ(folder.read("Call3.txt"), database);
        EXPECT_EQ(folder.read("new.txt"), input);
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"Call3.txt", "dangling.json", "hard.json",
                                                            "link.json", "new.txt"}));
    }
    std::filesystem::create_directory(folder / "taken.json");  // the report's name is held by a folder
    const CliRun written = run({"--report", "taken.json", "new.txt"});
    EXPECT_EQ(written.status, 4);
    EXPECT_EQ(written.out, status);
    EXPECT_EQ(written.err, "Cannot write the report taken.json.\nIs a directory.\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder / "taken.json"));
    EXPECT_EQ(folder.read("Call3.bak"), database);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Call3.bak", "Call3.txt", "dangling.json",
                                                        "hard.json", "link.json", "new.txt", "taken.json"}));
}

// Two merges started together: each one either writes with the other's calls kept or says that it waits
// for the other; neither is lost.
TEST_F(Cli, TwoMergesAtOnceNeverLoseOne) {
    folder.write("a.txt", "QD1XAA,,,,,,\n");
    folder.write("b.txt", "QD1XBB,,,,,,\n");
    for (int round = 0; round < 10; ++round) {
        folder.write("Call3.txt", database);
        Program first(folder.path(), {"a.txt"});
        Program second(folder.path(), {"b.txt"});
        const int statuses[] = {first.wait(), second.wait()};
        const Program* programs[] = {&first, &second};
        for (const int i : {0, 1}) {
            const std::string call = i == 0 ? "QD1XAA" : "QD1XBB";
            if (statuses[i] == 0) {
                EXPECT_NE(folder.read("Call3.txt").find(call), std::string::npos) << round;
            } else {
                EXPECT_EQ(statuses[i], 1);
                EXPECT_EQ(
                    programs[i]->err,
                    "Call3.txt is being merged by another VelkMerge. Try again when it has finished.\n");
            }
        }
    }
}

// A file-size limit makes the write fail with a message instead of killing the program; a closed standard
// output is an error, not a silent end, even after the file was written.
TEST_F(Cli, SignalsOfAFailedWriteBecomeMessages) {
    Program limited(folder.path(), {"new.txt"}, [] {
        const rlimit small{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    EXPECT_EQ(limited.wait(), 1);
    EXPECT_EQ(
        limited.err,
        "Unable to write the new Call3.txt (13)\nFile too large.\nCall3.txt and Call3.bak are unchanged.\n"
        "Aborting Merge.\n");
    EXPECT_EQ(folder.read("Call3.txt"), database);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Call3.txt", "new.txt"}));

    Program closedOutput(folder.path(), {"new.txt"}, [] {
        int output[2];
        if (::pipe(output) == 0) {
            ::close(output[0]);
            ::dup2(output[1], 1);
        }
    });
    EXPECT_EQ(closedOutput.wait(), 1);
    EXPECT_EQ(closedOutput.err, "velkmerge-cli: cannot write to standard output.\n");
    EXPECT_EQ(folder.read("Call3.bak"), database);
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
    EXPECT_EQ(report["differences"][1]["settled"], "edited");  // its EME and grid kept
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
