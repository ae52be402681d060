#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/ChildProcess.h"
#include "thread/CMutex.h"

using namespace Corvane::Base::Thread;

// StopAll's first call is final for its process, so each case runs in a process of its own.
TEST(ThreadManager, StopAllCasesInTheirOwnProcess)
{
    const char* modes[] = {"stopall-none", "stopall-self", "stopall-many"};
    for (const char* mode : modes) {
        DWORD exitCode = 0;
        ASSERT_TRUE(TestSupport::RunHelper("thread_probe.exe", mode, 60000, &exitCode)) << mode;
        EXPECT_EQ(0u, exitCode) << mode;
    }
}

TEST(Mutex, CreateTellsANewNameFromOneAnotherProcessHolds)
{
    std::string tag = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
    CMutex fresh;
    EXPECT_EQ(1, fresh.Create("cvtest_new_" + tag));

    std::string name = "cvtest_held_" + tag, readyName = name + "_ready", quitName = name + "_quit";
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    HANDLE quit = CreateEventA(nullptr, TRUE, FALSE, quitName.c_str());
    TestSupport::ChildProcess holder;
    ASSERT_TRUE(holder.Start(TestSupport::HelperPath("thread_probe.exe"),
                             "hold-mutex " + name + " " + readyName + " " + quitName));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 30000));
    CMutex second;
    EXPECT_EQ(2, second.Create(name));
    second.Close();
    SetEvent(quit);
    DWORD exitCode = 99;
    EXPECT_TRUE(holder.Wait(30000, &exitCode));
    EXPECT_EQ(0u, exitCode);
    CloseHandle(ready);
    CloseHandle(quit);
}
