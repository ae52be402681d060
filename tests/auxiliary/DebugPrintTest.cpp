#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/CDebugWindow.h"
#include "auxiliary/DebugPrint.h"
#include "support/DebugCapture.h"

using Corvane::Base::DebugPrint;

TEST(DebugPrint, FinishedTextIsPassedOnLiterallyWithOneNewlineRemoved)
{
    TestSupport::DebugCapture capture;
    DebugPrint("plain");
    DebugPrint("line\n");
    DebugPrint("two\n\n");
    DebugPrint("%s", "100%d %s");
    DebugPrint("value %d of 0x%X <%s>", -5, 255, "ソフト");
    std::vector<std::string> want = {"plain", "line", "two\n", "100%d %s", "value -5 of 0xFF <ソフト>"};
    EXPECT_EQ(want, capture.Reports());
}

TEST(DebugPrint, OutputIsCutAt1024Characters)
{
    TestSupport::DebugCapture capture;
    std::string longText(3000, 'x');
    DebugPrint("%s", longText.c_str());
    ASSERT_EQ(1u, capture.Reports().size());
    std::string got = capture.Reports()[0];
    EXPECT_GT(got.size(), 1000u);
    EXPECT_LE(got.size(), 1024u);
    EXPECT_EQ(std::string(got.size(), 'x'), got);
}

TEST(DebugPrint, SwitchesStayOffAndReportsDropQuietly)
{
    Corvane::Base::Auxiliary::CDebugWindow* window = Corvane::Base::Auxiliary::GetDebugWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(window->GetWindowSwitch());
    EXPECT_FALSE(window->GetLogSwitch());
    DebugPrint("dropped %s", "report");
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "デバッグ表示"));
}

TEST(DebugPrint, ReportsFromManyThreadsArriveWhole)
{
    TestSupport::DebugCapture capture;
    struct Worker {
        static DWORD WINAPI Run(LPVOID p)
        {
            int id = static_cast<int>(reinterpret_cast<INT_PTR>(p));
            for (int i = 0; i < 200; ++i)
                DebugPrint("thread %d report %d end", id, i);
            return 0;
        }
    };
    HANDLE threads[4];
    for (int i = 0; i < 4; ++i)
        threads[i] = CreateThread(nullptr, 0, &Worker::Run, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(i)), 0, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForMultipleObjects(4, threads, TRUE, 30000));
    for (HANDLE h : threads)
        CloseHandle(h);
    std::vector<std::string> reports = capture.Reports();
    ASSERT_EQ(800u, reports.size());
    for (const std::string& r : reports)
        EXPECT_EQ(0u, r.find("thread ")) << r;
}
