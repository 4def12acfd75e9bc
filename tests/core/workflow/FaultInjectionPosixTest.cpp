// Merges whose files fail for real: a full disk, a vanishing or changed file, a
// read-only folder, a kill midway, links, permissions, leftovers and too few file handles.
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
using Step = SafeFileWriter::Step;

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
        rig.expectFailedWrite(outcome, "Unable to write the new Call3.txt (13)\nFile too large." + unchanged);
        EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");
    }
}

// The checks passed, so only the read can notice; it is refused as the check would have refused it,
// and nothing is written.
TEST(FaultInjection, FileVanishingBetweenTheCheckAndTheReadStopsTheMergeUnwritten) {
    for (const std::string name : {"Call3.txt", "in.txt"}) {
        Rig rig;
        rig.window.onBeginBusy = [&rig, name]() { std::filesystem::remove(rig.folder / name); };
        EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::CheckFailed);
        EXPECT_EQ(rig.window.boxes.shown,
                  Strings{error + "Cannot open " + name + ".\nNo such file or directory."});
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

// The files are read into memory of the program's own: an input written over afterwards changes nothing
// of the merge, while a Call3.txt changed by another program up to the moment it is replaced is kept.
TEST(FaultInjection, ChangesAfterTheReadAreHarmlessOrRefused) {
    Rig rig;
    int busy = 0;
    rig.window.onBeginBusy = [&rig, &busy] {
        if (++busy == 2) {                                 // as the new file is about to be written
            rig.folder.write("in.txt", "QA7ZZZ,,,,,,\n");  // the same size
        }
    };
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
    EXPECT_EQ(rig.folder.read("Call3.txt"),
              "QA1ABC,AB12,,XY,Abc,,\r\nQA2BBB,,,,,,\r\nZZZZZZ,End-Of-Callsign-Database\r\n");

    for (const Step step : {Step::Flushed, Step::BackupMade}) {
        Rig edited;
        const std::string edit = database + "QA5EEE,,,,,,\r\n";
        edited.dialog.databaseWriter.seams.beforeStep = [&edited, &edit, step](Step now) {
            if (now == step) {
                edited.folder.write("Call3.txt", edit);
            }
        };
        EXPECT_EQ(edited.dialog.onMerge(), MergeOutcome::WriteFailed);
        EXPECT_EQ(edited.window.boxes.shown,
                  (Strings{error + "Call3.txt was changed by another program during the merge." + unchanged +
                               "\nAborting Merge.",
                           noChanges}));
        EXPECT_EQ(edited.folder.read("Call3.txt"), edit);
        EXPECT_EQ(edited.folder.read("Call3.bak"), "old backup");
        EXPECT_EQ(edited.folder.names(), (Strings{"Call3.bak", "Call3.txt", "in.txt"}));
    }
    // A Call3.txt that cannot be looked at is not said to be changed by another program.
    Rig looped;
    looped.dialog.databaseWriter.seams.beforeStep = [&looped](Step now) {
        if (now == Step::Flushed) {
            std::filesystem::remove(looped.folder / "Call3.txt");
            std::filesystem::create_symlink("Call3.txt", looped.folder / "Call3.txt");
        }
    };
    EXPECT_EQ(looped.dialog.onMerge(), MergeOutcome::WriteFailed);
    EXPECT_EQ(looped.window.boxes.shown.at(0), error +
                                                   "Unable to check whether Call3.txt was changed (3)\n"
                                                   "Too many levels of symbolic links." +
                                                   unchanged + "\nAborting Merge.");
}

// Killed before any step of the write, the program leaves Call3.txt and Call3.bak whole, each old or new;
// the next merge clears what it left and writes as always.
TEST(FaultInjection, KilledAtAnyStepOfTheWriteLeavesBothFilesWhole) {
    const std::string merged = database + "QA2BBB,,,,,,\r\nZZZZZZ,End-Of-Callsign-Database\r\n";
    for (const Step step :
         {Step::Flushed, Step::PreviousKept, Step::BackupMade, Step::BackupPlaced, Step::Replaced}) {
        Rig rig;
        rig.dialog.databaseWriter.seams.beforeStep = [step](Step now) {
            if (now == step) {
                ::kill(::getpid(), SIGKILL);
            }
        };
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::alarm(20);
            (void)rig.dialog.onMerge();
            std::_Exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << static_cast<int>(step);
        const bool backupPlaced = step > Step::BackupPlaced;
        EXPECT_EQ(rig.folder.read("Call3.txt"), database) << static_cast<int>(step);
        EXPECT_EQ(rig.folder.read("Call3.bak"), backupPlaced ? database : "old backup")
            << static_cast<int>(step);

        rig.dialog.databaseWriter.seams.beforeStep = nullptr;
        EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
        EXPECT_EQ(rig.folder.read("Call3.txt"), merged);
        EXPECT_EQ(rig.folder.read("Call3.bak"), database);
        EXPECT_EQ(rig.folder.names(), (Strings{"Call3.bak", "Call3.txt", "in.txt"}))
            << static_cast<int>(step);
    }
}

// A Call3.txt that is a link is written through to its target and stays a link; the backup is a plain file
// of the old data in the Velk folder (a copy when the target is on another file system, where no hard link
// can reach), also when the old Call3.bak was a link, whose target stays as it was.
TEST(FaultInjection, LinkedDatabaseStaysALinkAndTheBackupIsAPlainFile) {
    std::vector<std::filesystem::path> places{"data"};
    const std::filesystem::path shared = "/dev/shm/velkmerge-test-" + std::to_string(::getpid());
    struct stat tmp {};
    struct stat shm {};
    if (::stat("/dev/shm", &shm) == 0 && ::stat(std::filesystem::temp_directory_path().c_str(), &tmp) == 0 &&
        shm.st_dev != tmp.st_dev) {
        places.push_back(shared);
    }
    for (const std::filesystem::path& place : places) {
        Rig rig;
        const std::filesystem::path real =
            (place.is_absolute() ? place : rig.folder.path() / place) / "real.txt";
        std::filesystem::create_directory(real.parent_path());
        std::filesystem::rename(rig.folder / "Call3.txt", rig.folder / "moved");
        std::filesystem::copy_file(rig.folder / "moved", real);
        std::filesystem::remove(rig.folder / "moved");
        const std::filesystem::path link = place.is_absolute() ? real : place / "real.txt";
        std::filesystem::create_symlink(link, rig.folder / "Call3.txt");
        rig.folder.write("elsewhere.bak", "keep me");
        std::filesystem::remove(rig.folder / "Call3.bak");
        std::filesystem::create_symlink("elsewhere.bak", rig.folder / "Call3.bak");
        EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written) << place;
        EXPECT_EQ(std::filesystem::read_symlink(rig.folder / "Call3.txt"), link);
        EXPECT_EQ(readBytes(real), database + "QA2BBB,,,,,,\r\nZZZZZZ,End-Of-Callsign-Database\r\n");
        EXPECT_FALSE(std::filesystem::is_symlink(rig.folder / "Call3.bak"));
        EXPECT_EQ(rig.folder.read("Call3.bak"), database);
        EXPECT_EQ(rig.folder.read("elsewhere.bak"), "keep me");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(real.parent_path()), {}), 1);
        std::filesystem::remove_all(shared);
    }
}

// The new file is its owner's alone from the start, then gets the old file's owner and permissions, never
// wider ones meanwhile. Only root can give a file to another owner.
TEST(FaultInjection, NewDatabaseKeepsTheOwnerAndPermissionsOfTheOldOne) {
    constexpr uid_t nobody = 65534;
    Rig rig;
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chmod((rig.folder / "Call3.txt").c_str(), 0640), 0);
    if (root) {
        ASSERT_EQ(::chown((rig.folder / "Call3.txt").c_str(), nobody, nobody), 0);
    }
    std::vector<mode_t> modesWhileWritten;
    rig.dialog.databaseWriter.seams.beforeStep = [&rig, &modesWhileWritten](Step now) {
        struct stat info {};
        if (now == Step::Flushed && ::stat((rig.folder / "Call3.txt.velkmerge-new").c_str(), &info) == 0) {
            modesWhileWritten.push_back(info.st_mode & 07777);
        }
    };
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
    EXPECT_EQ(modesWhileWritten, std::vector<mode_t>{0640});
    struct stat info {};
    ASSERT_EQ(::stat((rig.folder / "Call3.txt").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640U);
    EXPECT_EQ(rig.folder.read("Call3.bak"), database);
    if (!root) {
        GTEST_SKIP() << "the owner is kept only when the program runs as root";
    }
    EXPECT_EQ(info.st_uid, nobody);
    EXPECT_EQ(info.st_gid, nobody);
}

// Temporary files of an earlier run that was killed go; a file of the user's own is never touched.
TEST(FaultInjection, LeftoversOfAKilledRunGoButTheUsersOwnFilesStay) {
    Rig rig;
    rig.folder.write("Call3.txt.velkmerge-new", "half");
    for (int n = 1; n < 100; ++n) {
        rig.folder.write("Call3.txt.velkmerge-new-" + std::to_string(n), "half");
    }
    rig.folder.write("Call3.txt.velkmerge-backup", "left");
    rig.folder.write("Call3.txt.velkmerge-previous", "left");
    rig.folder.write("Call3.bak.velkmerge-old", "mine");
    rig.folder.write("Call3.txt.velkmerge-new-notes", "mine too");
    EXPECT_EQ(rig.dialog.onMerge(), MergeOutcome::Written);
    EXPECT_EQ(rig.folder.names(), (Strings{"Call3.bak", "Call3.bak.velkmerge-old", "Call3.txt",
                                           "Call3.txt.velkmerge-new-notes", "in.txt"}));
    EXPECT_EQ(rig.folder.read("Call3.bak.velkmerge-old"), "mine");
    EXPECT_EQ(rig.folder.read("Call3.bak"), database);
}

// Out of file handles, the check says so rather than that the file cannot be opened for no reason.
TEST(FaultInjection, RunningOutOfFileHandlesIsSaidInWords) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers open files of their own as they check";
#else
    Rig rig;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(20);
        rlimit limited{3, 3};  // standard input, output and error only
        if (::setrlimit(RLIMIT_NOFILE, &limited) != 0) {
            std::_Exit(2);
        }
        const MergeOutcome outcome = rig.dialog.onMerge();
        const bool told =
            rig.window.boxes.shown == Strings{error + "Cannot open Call3.txt.\nToo many open files."};
        std::_Exit(outcome == MergeOutcome::CheckFailed && told ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(rig.folder.read("Call3.txt"), database);
#endif
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
    // Known before anything is read: the lock file cannot be made.
    EXPECT_EQ(outcome, MergeOutcome::CheckFailed);
    EXPECT_EQ(rig.window.boxes.shown,
              Strings{error + "Unable to write the new Call3.txt (5)\nPermission denied." + unchanged +
                      "\nAborting Merge."});
    EXPECT_TRUE(rig.window.labels.empty());
    EXPECT_EQ(rig.folder.read("Call3.txt"), database);
    EXPECT_EQ(rig.folder.read("Call3.bak"), "old backup");
}

#endif
