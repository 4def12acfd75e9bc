// Merges whose files fail for real: a full disk, a held backup name, a vanishing file, a read-only folder.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>

#include "support/ScriptedMerge.h"
#include "support/TestFolder.h"

namespace {

using Strings = std::vector<std::string>;

const std::string& database = rigDatabase;
const std::string error = "error: VELK Merge Program Error: ";
const std::string noChanges = "status: VELK Merge Status: Done: No changes to Call3.txt";
const std::string unchanged = "\nCall3.txt and Call3.bak are unchanged.";

struct Rig : FolderMergeRig {
    explicit Rig(const std::string& input = "QA2BBB,,,,,,\n") : FolderMergeRig(input) {}
    // Every failed write leaves Call3.txt as it was, shows why and leaves no temporary file behind.
    void expectFailedWrite(MergeOutcome outcome, const std::string& why) const {
        EXPECT_EQ(outcome, MergeOutcome::WriteFailed);
        EXPECT_EQ(window.boxes.shown, (Strings{error + why + "\nAborting Merge.", noChanges}));
        EXPECT_EQ(folder.read("Call3.txt"), database);
        EXPECT_EQ(folder.names(), (Strings{"Call3.bak", "Call3.txt", "in.txt"}));
        EXPECT_EQ(window.busyDepth, 0);
    }
};

// While it lives, no file of this process may grow beyond `bytes`, and a write past that fails with
// EFBIG instead of killing the process, as a full disk makes it fail with ENOSPC.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::size_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        set_ = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    [[nodiscard]] bool set() const { return set_; }

  private:
    void (*oldHandler_)(int);
    rlimit old_{};
    bool set_ = false;
};

// Runs as another effective user while it lives; root comes back whatever happens.
class EffectiveUser {
  public:
    explicit EffectiveUser(uid_t user) : switched_(::seteuid(user) == 0) {}
    ~EffectiveUser() {
        if (switched_ && ::seteuid(0) != 0) {
            std::abort();  // every later test would run without root
        }
    }
    EffectiveUser(const EffectiveUser&) = delete;
    EffectiveUser& operator=(const EffectiveUser&) = delete;
    [[nodiscard]] bool switched() const { return switched_; }

  private:
    bool switched_;
};

}  // namespace

// A small new file fails when it is flushed, one with a 3 MB line while it is written.
TEST(FaultInjection, DiskFillingUpWhileTheNewFileIsWrittenChangesNothing) {
    for (const std::size_t station : {std::size_t{0}, std::size_t{3} << 20}) {
        Rig rig("QA2BBB,,,,,," + std::string(station, 'x') + "\n");
        MergeOutcome outcome{};
        {
            const FileSizeLimit limit(database.size() + 8);
            ASSERT_TRUE(limit.set());
            outcome = rig.dialog.onMerge();
        }
        rig.expectFailedWrite(outcome, "Unable to write the new Call3.txt (13)" + unchanged);
        EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");
    }
}

TEST(FaultInjection, BackupNameHeldByAFolderKeepsTheFolderAndTheDatabase) {
    Rig rig;
    std::filesystem::remove(rig.folder / "Call3.bak");
    std::filesystem::create_directories(rig.folder / "Call3.bak" / "keep");
    rig.expectFailedWrite(rig.dialog.onMerge(), "Unable to rename Call3.txt to Call3.bak (5)");
    EXPECT_TRUE(std::filesystem::is_directory(rig.folder / "Call3.bak" / "keep"));
}

// The checks passed, so only the read can notice; it is refused as the check would have refused it,
// and nothing is written.
TEST(FaultInjection, FileVanishingBetweenTheCheckAndTheReadStopsTheMergeUnwritten) {
    for (const std::string name : {"Call3.txt", "in.txt"}) {
        Rig rig;
        rig.window.onBeginBusy = [&rig, name]() { std::filesystem::remove(rig.folder / name); };
        EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::CheckFailed);
        EXPECT_EQ(rig.window.boxes.shown, Strings{error + "Cannot open " + name + "."});
        EXPECT_EQ(rig.window.busyDepth, 0);
        Strings left{"Call3.bak", "Call3.txt", "in.txt"};
        std::erase(left, name);
        EXPECT_EQ(rig.folder.names(), left);
        EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");
        if (name != "Call3.txt") {
            EXPECT_EQ(rig.folder.read("Call3.txt"), database);
        }
    }
}

// An input written over in place while the merge holds it mapped: its records were cut from bytes that
// have changed since, so nothing is put in place. A merge that read it, or whose copy was made before,
// holds bytes of its own and writes as always.
TEST(FaultInjection, InputWrittenOverWhileMappedStopsTheMergeUnwritten) {
    for (const auto access : {MergeDialog::FileAccess::Map, MergeDialog::FileAccess::Read}) {
        Rig rig;
        rig.dialog.fileAccess = access;
        int busy = 0;
        rig.window.onBeginBusy = [&rig, &busy] {
            if (++busy == 2) {  // as the new file is about to be written
                // A byte longer: a change within the clock's tick may keep the file's times.
                rig.folder.write("in.txt", "QA7ZZZ,,,,,,,\n");
            }
        };
        if (access == MergeDialog::FileAccess::Map) {
            rig.expectFailedWrite(
                rig.dialog.onMerge(),
                "Call3.txt or in.txt was changed by another program during the merge." + unchanged);
        } else {
            EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
            EXPECT_EQ(rig.folder.read("Call3.txt"),
                      "QA1ABC,AB12,,XY,Abc,,\r\nQA2BBB,,,,,,\r\nZZZZZZ,End-Of-Callsign-Database\r\n");
        }
    }
}

// Memory running out while the files are read (here: too little address space for the database's bytes)
// ends in a clear message, with the second thread given up rather than waited for forever.
TEST(FaultInjection, MemoryRunningOutWhileReadingEndsTheMergeWithAMessage) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers reserve the address space this test limits";
#else
    Rig rig;
    std::string big;
    for (std::size_t n = 0; big.size() < (96U << 20); ++n) {
        big += "QA1" + std::to_string(n) + ",,,,,,\r\n";  // digits only after QA1: not a call, a comment
    }
    rig.folder.write("Call3.txt", big);
    big = std::string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(20);  // a merge that hangs is killed and fails the test
        std::ifstream status("/proc/self/statm");
        std::size_t pages = 0;
        status >> pages;
        rlimit limited{};
        limited.rlim_cur = limited.rlim_max =
            static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE)) + (48U << 20);
        if (::setrlimit(RLIMIT_AS, &limited) != 0) {
            std::_Exit(2);
        }
        const MergeOutcome outcome = rig.dialog.onMerge();
        const bool told =
            rig.window.boxes.shown == Strings{error + "Not enough memory to merge in.txt into Call3.txt."};
        std::_Exit(outcome == MergeOutcome::CheckFailed && told ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the merge was killed (signal " << WTERMSIG(status) << ")";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");
#endif
}

// Root may write anywhere, so as root the merge runs as the unprivileged user 65534 ("nobody").
TEST(FaultInjection, FolderThatMayNotBeWrittenChangesNothing) {
    constexpr uid_t nobody = 65534;
    Rig rig;
    const bool root = ::geteuid() == 0;
    for (const char* name : {".", "Call3.txt", "Call3.bak", "in.txt"}) {
        ASSERT_TRUE(!root || ::chown((rig.folder / name).c_str(), nobody, nobody) == 0) << name;
    }
    ASSERT_EQ(::chmod(rig.folder.path().c_str(), 0555), 0);
    MergeOutcome outcome{};
    bool enforced = false;
    {
        const EffectiveUser user(root ? nobody : ::geteuid());
        enforced = (!root || user.switched()) &&
                   ::faccessat(AT_FDCWD, rig.folder.path().c_str(), W_OK, AT_EACCESS) != 0 &&
                   std::ifstream(rig.folder / "Call3.txt").is_open();
        if (enforced) {
            outcome = rig.dialog.onMerge();
        }
    }
    ::chmod(rig.folder.path().c_str(), 0755);
    if (!enforced) {
        GTEST_SKIP() << "folder permissions are not enforced for this user, nor can it act as user 65534";
    }
    rig.expectFailedWrite(outcome, "Unable to write the new Call3.txt (5)" + unchanged);
    EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");
}

#endif
