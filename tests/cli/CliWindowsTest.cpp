// The Windows file calls under a merge: wide folder and file names from the command line, a Call3.txt that
// another program holds open, and a second merge holding the lock.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "cli/CliFolder.h"
#include "core/calldata/SafeFileWriter.h"
#include "core/platform/PathText.h"

namespace {

const std::string merged = database + "QD1CCC,JO12cc,,,Cy,,\r\nZZZZZZ,End-Of-Callsign-Database\r\n";

// A handle another program would hold on the file at `path`, closed when it goes.
class HeldFile {
  public:
    HeldFile(const std::filesystem::path& path, DWORD share)
        : handle_(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (valid()) {
            ::CloseHandle(handle_);
        }
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// velkmerge-cli.exe started with a wide command line, as Explorer or a console would; its exit status.
DWORD runProgram(const std::wstring& arguments) {
    std::wstring command =
        L"\"" + pathFromUtf8(VELKMERGE_CLI_PATH).make_preferred().wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return 1000 + ::GetLastError();
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    return status;
}

}  // namespace

TEST_F(Cli, WideFolderAndFileNamesReachTheMergeFromTheCommandLine) {
    const std::filesystem::path wide = folder.path() / u8"Velk \u00d6rdner \u2713";
    std::filesystem::create_directory(wide);
    std::ofstream(wide / "Call3.txt", std::ios::binary) << database;
    std::ofstream(wide / u8"neue Liste \u00e9.txt", std::ios::binary) << folder.read("new.txt");

    const std::wstring arguments =
        L"-q --resolve original -C \"" + wide.wstring() + L"\" \"neue Liste \u00e9.txt\"";
    EXPECT_EQ(runProgram(arguments), 0U);
    EXPECT_EQ(readBytes(wide / "Call3.txt"), merged);  // written with CR LF, whatever the input had
    EXPECT_EQ(readBytes(wide / "Call3.bak"), database);
}

// A Call3.txt that an editor holds open without letting it be replaced: the merge says so and changes
// nothing; once the editor lets go, the same merge goes through.
TEST_F(Cli, ACall3HeldOpenByAnotherProgramIsLeftAsItWas) {
    {
        const HeldFile editor(folder / "Call3.txt", FILE_SHARE_READ);
        ASSERT_TRUE(editor.valid());
        const CliRun refused = run({"new.txt"});
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err,
                  "Unable to rename Call3.txt to Call3.bak (11)\nThe file is locked by another program.\n"
                  "Aborting Merge.\n");
    }
    EXPECT_EQ(folder.read("Call3.txt"), database);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"Call3.txt", "new.txt"}));
    EXPECT_EQ(run({"-q", "new.txt"}).status, 0);
    EXPECT_EQ(folder.read("Call3.txt"), merged);
}

// Another merge holds the lock (LockFileEx on the lock file): this one waits for nothing and writes nothing.
TEST_F(Cli, ASecondMergeFindsTheLockTakenAndChangesNothing) {
    const std::filesystem::path lockPath = SafeFileWriter::lockPath(folder / "Call3.txt");
    {
        const HeldFile other(lockPath, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        ASSERT_TRUE(other.valid());
        OVERLAPPED whole{};
        ASSERT_TRUE(::LockFileEx(other.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &whole));
        const CliRun refused = run({"new.txt"});
        EXPECT_EQ(refused.status, 1);
        EXPECT_EQ(refused.err,
                  "Call3.txt is being merged by another VelkMerge. Try again when it has finished.\n");
        EXPECT_EQ(folder.read("Call3.txt"), database);
    }
    std::ofstream(lockPath) << "";  // left behind, as by a merge that was killed
    EXPECT_EQ(run({"-q", "new.txt"}).status, 0);
    EXPECT_EQ(folder.read("Call3.txt"), merged);
}

// Names that differ only in case name one file here: such a report would replace Call3.txt.
TEST_F(Cli, AReportNamedLikeCall3InAnotherCaseIsRefused) {
    const CliRun refused = run({"--report", "CALL3.TXT", "new.txt"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err,
              "--report: CALL3.TXT is Call3.txt, Call3.bak or the input file; choose another name.\n");
    EXPECT_EQ(folder.read("Call3.txt"), database);
}
