// The batch command in a process of its own: its streams and exit status, signals, FIFOs, links and a
// second merge at the same time.
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

#include "cli/CliFolder.h"

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
// for the other; neither is lost. A lock file left behind by a process that is gone holds nobody up.
TEST_F(Cli, TwoMergesAtOnceNeverLoseOne) {
    folder.write("a.txt", "QD1XAA,,,,,,\n");
    folder.write("b.txt", "QD1XBB,,,,,,\n");
    folder.write("Call3.txt.velkmerge-lock", "");
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

    // Started without standard output at all: the status lines must not land in a file opened later.
    folder.write("Call3.txt", database);
    Program noOutput(folder.path(), {"--report", "r.json", "new.txt"}, [] { ::close(1); });
    EXPECT_EQ(noOutput.wait(), 1);
    EXPECT_EQ(noOutput.err, "velkmerge-cli: cannot write to standard output.\n");
    EXPECT_EQ(nlohmann::json::parse(folder.read("r.json"))["outcome"], "written");
}
