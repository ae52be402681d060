#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "appframe/CAppInitializer.h"
#include "driver/WindowDriver.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

using Corvane::Base::AppFrame::CAppInitializer;


TEST(Startup, ScriptComesFromTheStartingFolderThenTheProgramFolderIsCurrent)
{
    TestSupport::ScratchDir start;
    ASSERT_TRUE(start.WriteFile("cfg\\init.ini", "ProbeKey ソフト表示\r\nProbeNumber 42\r\n"));
    std::string out = start / "seen.txt";
    TestSupport::ChildProcess probe;
    ASSERT_TRUE(probe.Start(TestSupport::HelperPath("startup_probe.exe"), "\"" + out + "\"", start.Path()));
    DWORD exitCode = 99;
    ASSERT_TRUE(probe.Wait(60000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    std::string seen;
    ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(out, seen));
    EXPECT_EQ("ソフト表示\n" + TestSupport::BinDirectory() + "\n1\n42\n", seen);
}

TEST(Startup, EveryThreadIsStoppedWhenTheStartupObjectEnds)
{
    TestSupport::ScratchDir dir;
    DWORD exitCode = 99;
    ASSERT_TRUE(TestSupport::RunHelper("startup_probe.exe", "\"" + (dir / "o.txt") + "\" thread", 60000, &exitCode))
        << "the process did not end";
    EXPECT_EQ(0u, exitCode);
}

TEST(Startup, ProgramsStartFromAnotherFolderAndEndWithZero)
{
    // Without arguments or script the programs refuse in a box; whatever is
    // asked, they end with 0.
    TestSupport::ScratchDir elsewhere;
    for (const char* program : {"installer.exe", "setup.exe"}) {
        TestDriver::WindowDriver driver;
        driver.Answer("", "", IDOK, -1);
        driver.Answer("", "", IDNO, -1);
        ASSERT_TRUE(driver.Start(TestDriver::QuoteCommand(TestSupport::HelperPath(program), ""), elsewhere.Path()))
            << program;
        DWORD exitCode = 99;
        ASSERT_TRUE(driver.WaitForExit(60000, &exitCode)) << program << "\n" << driver.Transcript();
        EXPECT_EQ(0u, exitCode) << program;
    }
}

TEST(Startup, AccessorsOutsideTheStartupObjectFindNothing)
{
    EXPECT_EQ("", CAppInitializer::GetArgument(0));
    EXPECT_EQ(nullptr, CAppInitializer::GetInstanceHandle());
    EXPECT_EQ("", CAppInitializer::GetInitializerScript().GetValue("AppName"));
}
