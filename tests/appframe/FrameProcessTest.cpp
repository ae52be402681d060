#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "file/FileSystem.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

using TestSupport::ChildProcess;
using TestSupport::HelperPath;

namespace {

DWORD RunProbe(const std::string& arguments, const std::string& directory = std::string())
{
    ChildProcess child;
    if (!child.Start(HelperPath("frame_probe.exe"), arguments, directory))
        return 1000;
    DWORD code = 1001;
    if (!child.Wait(30000, &code))
        return 1002;
    return code;
}

}  // namespace

// StopAll works once per process, so each case runs in a process of its own.
TEST(AppBaseProcess, ClosingStopsEveryThreadOnlyWithStopAllOnClose)
{
    const char* cases[] = {"stopall 1", "stopall 0"};
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(0u, RunProbe(cases[i])) << "case " << i << ": " << cases[i];
}

TEST(DebugWindowProcess, StartUpBuildsItDormantAndTheLogKeepsItsRunsWithFooters)
{
    TestSupport::ScratchDir scratch;
    std::string folderName = "CorvaneFrameProbe" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(scratch.WriteFile("cfg\\init.ini", "UserDataDirectory " + folderName + "\r\n"));
    std::string userData = Corvane::Base::File::GetSpecialFolderPath(CSIDL_APPDATA) + "\\" + folderName;
    std::string log = userData + "\\log.txt";
    // Process ids come round again: a folder of an earlier run must not count.
    TestSupport::RemoveTree(userData);

    // As in the programs: nothing reaches the disk.
    EXPECT_EQ(0u, RunProbe("startup", scratch.Path()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(userData.c_str()));

    for (int run = 1; run <= 2; ++run)
        ASSERT_EQ(0u, RunProbe("log", scratch.Path())) << "run " << run;
    std::string bytes;
    ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(log, bytes));
    TestSupport::RemoveTree(userData);
    const char* expected[] = {"probe report 1\r\nprobe report two\r\nprobe report 3\r\n ---------end of process "};
    size_t first = bytes.find(expected[0]);
    ASSERT_NE(std::string::npos, first) << bytes;
    EXPECT_NE(std::string::npos, bytes.find(expected[0], first + 1)) << bytes;
    EXPECT_EQ(0u, bytes.find("### --------------")) << bytes;
    EXPECT_EQ("--------- \r\n\r\n", bytes.substr(bytes.size() - 14)) << bytes;
}
