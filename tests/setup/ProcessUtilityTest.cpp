#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CSingleApp.h"
#include "ProcessUtility.h"
#include "support/ChildProcess.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"

using Corvane::Base::AppFrame::CSingleApp;
using Setup::RunProcess;
using Setup::ShellOpen;

namespace {

const DWORD kTimeout = 20000;

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitForFile(const std::string& path, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (Exists(path))
            return true;
        Sleep(20);
    }
    return Exists(path);
}

// RunProcess on a thread of its own: a wait that never ends fails the test
// instead of hanging it. The call's state is leaked when it does not end.
struct RunCall {
    std::string commandLine;
    bool wait;
    std::string workingFolder;
    bool result = false;

    static DWORD WINAPI Run(LPVOID p)
    {
        RunCall* call = static_cast<RunCall*>(p);
        call->result = RunProcess(call->commandLine, call->wait, call->workingFolder);
        return 0;
    }
};

bool RunProcessWithin(const std::string& commandLine, bool wait, const std::string& workingFolder, bool* result)
{
    RunCall* call = new RunCall{commandLine, wait, workingFolder};
    HANDLE h = CreateThread(nullptr, 0, &RunCall::Run, call, 0, nullptr);
    if (h == nullptr) {
        delete call;
        return false;
    }
    bool ended = WaitForSingleObject(h, kTimeout) == WAIT_OBJECT_0;
    CloseHandle(h);
    if (!ended)
        return false;
    *result = call->result;
    delete call;
    return true;
}

// The probe reports to a file of the scratch folder; a copy of it lies in a
// folder whose name holds a blank, another where the part before the blank
// names a program. The test runs in a current directory of its own.
class ProcessUtilityTest : public ::testing::Test {
protected:
    TestSupport::ScratchDir dir;
    TestSupport::CurrentDirectoryGuard restoreDirectory;
    std::string out;
    std::string probe;
    std::string callerFolder;

    void SetUp() override
    {
        out = dir / "probe.txt";
        probe = dir / "with blank\\cmdline_probe.exe";
        callerFolder = dir / "caller";
        ASSERT_TRUE(CreateDirectoryA((dir / "with blank").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(callerFolder.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA((dir / "work folder").c_str(), nullptr));
        ASSERT_TRUE(CopyFileA(TestSupport::HelperPath("cmdline_probe.exe").c_str(), probe.c_str(), TRUE));
        // An unquoted "...\with blank\cmdline_probe.exe" would start this one.
        ASSERT_TRUE(CopyFileA(TestSupport::HelperPath("cmdline_probe.exe").c_str(), (dir / "with.exe").c_str(), TRUE));
        ASSERT_TRUE(SetCurrentDirectoryA(callerFolder.c_str()));
        SetEnvironmentVariableA("CMDLINE_PROBE_OUT", out.c_str());
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("CMDLINE_PROBE_OUT", nullptr);
        SetEnvironmentVariableA("CMDLINE_PROBE_DELAY", nullptr);
    }

    // The probe's two lines: its command line and its current directory.
    bool ReadProbe(std::string& commandLine, std::string& currentDirectory)
    {
        std::string text;
        if (!TestSupport::ScratchDir::ReadFile(out, text))
            return false;
        size_t first = text.find('\n');
        if (first == std::string::npos || text.empty() || text.back() != '\n')
            return false;
        commandLine = text.substr(0, first);
        currentDirectory = text.substr(first + 1, text.size() - first - 2);
        return true;
    }
};

}  // namespace

TEST_F(ProcessUtilityTest, StartsTheFirstTokenAndPassesTheCommandLine)
{
    std::string quoted = "\"" + probe + "\"";
    std::string work = dir / "work folder";
    std::string plainProbe = TestSupport::HelperPath("cmdline_probe.exe");
    struct Case {
        const char* what;
        std::string commandLine;
        std::string workingFolder;
        bool ok;
        std::string seenCommandLine;
        std::string seenFolder;
    };
    const Case cases[] = {
        {"bare existing path with a blank", probe, "", true, quoted, callerFolder},
        {"quoted path and quoted arguments", quoted + " \"a b\" \"\" \"\x83\x5C\"", work, true,
         quoted + " \"a b\" \"\" \"\x83\x5C\"", work},
        {"bare path with arguments", plainProbe + " x \"y z\"", "", true, plainProbe + " x \"y z\"", callerFolder},
        {"empty command line", "", "", false, "", ""},
        {"missing program", "\"" + (dir / "missing.exe") + "\" a", "", false, "", ""},
        {"missing working folder", quoted, dir / "no such folder", false, "", ""},
    };
    for (const Case& c : cases) {
        DeleteFileA(out.c_str());
        bool result = false;
        ASSERT_TRUE(RunProcessWithin(c.commandLine, true, c.workingFolder, &result)) << c.what << ": did not return";
        EXPECT_EQ(c.ok, result) << c.what;
        std::string commandLine, folder;
        bool ran = ReadProbe(commandLine, folder);
        EXPECT_EQ(c.ok, ran) << c.what;
        if (!c.ok || !ran)
            continue;
        EXPECT_EQ(c.seenCommandLine, commandLine) << c.what;
        EXPECT_EQ(0, lstrcmpiA(c.seenFolder.c_str(), folder.c_str())) << c.what << ": " << folder;
    }
}

TEST_F(ProcessUtilityTest, WaitReturnsAfterTheProgramEndedAndNoWaitAtOnce)
{
    SetEnvironmentVariableA("CMDLINE_PROBE_DELAY", "1500");
    bool result = false;
    ASSERT_TRUE(RunProcessWithin(probe, true, "", &result));
    EXPECT_TRUE(result);
    EXPECT_TRUE(Exists(out)) << "the program writes just before it ends";

    DeleteFileA(out.c_str());
    ASSERT_TRUE(RunProcessWithin(probe, false, "", &result));
    EXPECT_TRUE(result);
    EXPECT_FALSE(Exists(out)) << "returned before the program ended";
    EXPECT_TRUE(WaitForFile(out, kTimeout));
}

TEST_F(ProcessUtilityTest, ShellOpenUsesTheVerbOrTheDefault)
{
    const char* verbs[] = {"open", ""};
    for (const char* verb : verbs) {
        DeleteFileA(out.c_str());
        EXPECT_TRUE(ShellOpen(nullptr, probe, verb)) << "verb '" << verb << "'";
        EXPECT_TRUE(WaitForFile(out, kTimeout)) << "verb '" << verb << "'";
    }
    // The shell may answer a missing file with a box; it must not hang the test.
    TestSupport::MessageBoxAnswerer boxes(5000);
    EXPECT_FALSE(ShellOpen(nullptr, dir / "missing.txt", "open"));
}

TEST(SingleApp, OneGuardPerPathWhateverTheLetterCase)
{
    char unique[64];
    wsprintfA(unique, "%lu_%lu", GetCurrentProcessId(), GetTickCount());
    std::string path = std::string("C:\\Games\\Add-On ") + unique + "\\setup.exe";
    std::string otherCase = std::string("c:/games/ADD-ON ") + unique + "\\SETUP.EXE";
    std::string otherPath = std::string("C:\\Games\\Copy ") + unique + "\\setup.exe";
    {
        CSingleApp first(path);
        EXPECT_TRUE(first.IsFirstInstance());
        CSingleApp second(path);
        EXPECT_FALSE(second.IsFirstInstance());
        CSingleApp upper(otherCase);
        EXPECT_FALSE(upper.IsFirstInstance()) << "the letter case and the separators do not count";
        CSingleApp copy(otherPath);
        EXPECT_TRUE(copy.IsFirstInstance()) << "a copy in another folder runs";
    }
    CSingleApp again(path);
    EXPECT_TRUE(again.IsFirstInstance()) << "the mutex goes with the last guard";
}

TEST(SingleApp, DefaultGuardUsesTheRunningProgramsPath)
{
    CSingleApp own;
    EXPECT_TRUE(own.IsFirstInstance());
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    CSingleApp byPath(path);
    EXPECT_FALSE(byPath.IsFirstInstance());
}
