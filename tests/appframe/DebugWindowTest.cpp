#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/CDebugWindow.h"
#include "auxiliary/DebugPrint.h"
#include "support/ScratchDir.h"
#include "thread/CThread.h"

using Corvane::Base::DebugPrint;
using Corvane::Base::Auxiliary::CDebugWindow;
using Corvane::Base::Auxiliary::GetDebugWindow;

namespace {

template <class F>
bool WaitFor(F condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(5);
    }
    return true;
}

std::string ListText(HWND list, int row)
{
    char buffer[256] = {};
    if (SendMessageA(list, LB_GETTEXTLEN, row, 0) >= static_cast<LRESULT>(sizeof(buffer)))
        return std::string();
    SendMessageA(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

class Looper : public Corvane::Base::Thread::CThread {
public:
    void ThreadProc() override
    {
        while (IsRunning())
            SleepUntilStop(10000);
    }
    ~Looper() override { Stop(); }
};

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(start));
            break;
        }
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool IsHeader(const std::string& line)
{
    // "### --------------YYYY/MM/DD hh:mm:ss-------------- ###"
    return line.size() == 55 && line.compare(0, 18, "### --------------") == 0 &&
           line.compare(37, 18, "-------------- ###") == 0 && line[22] == '/' && line[25] == '/' &&
           line[28] == ' ' && line[31] == ':' && line[34] == ':';
}

long long FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Turns the log on into a scratch folder and off again at the end.
class LogSession {
public:
    explicit LogSession(const std::string& folder)
    {
        GetDebugWindow()->SetLogFolder(folder);
        GetDebugWindow()->SetLogSwitch(true);
    }
    ~LogSession() { GetDebugWindow()->SetLogSwitch(false); }
};

std::string Runs(int count, const std::string& prefix)
{
    std::string bytes;
    for (int i = 1; i <= count; ++i) {
        bytes += "### --------------2025/01/0" + std::to_string(i % 10) + " 10:00:00-------------- ###\r\n";
        bytes += prefix + std::to_string(i) + " report\r\n";
        bytes += " ---------end of process 2025/01/01 10:00:01--------- \r\n\r\n";
    }
    return bytes;
}

}  // namespace

TEST(DebugWindow, EachReportIsOneNewSelectedRowAndClosingEndsOnlyTheWindowThread)
{
    CDebugWindow* debug = GetDebugWindow();
    ASSERT_NE(nullptr, debug);
    Looper other;
    ASSERT_TRUE(other.Start(0));
    ASSERT_EQ(nullptr, debug->GetHWnd());
    debug->SetWindowSwitch(true);
    const char* reports[] = {"最初の報告", "second report 42", "third"};
    for (int i = 0; i < 3; ++i) {
        DebugPrint(i == 1 ? "second report %d" : "%s", i == 1 ? reinterpret_cast<const char*>(42) : reports[i]);
        HWND list = debug->GetHWnd();
        ASSERT_NE(nullptr, list) << "report " << i;
        EXPECT_EQ(i + 1, SendMessageA(list, LB_GETCOUNT, 0, 0)) << "report " << i;
        EXPECT_EQ(i, SendMessageA(list, LB_GETCURSEL, 0, 0)) << "report " << i;
        EXPECT_EQ(reports[i], ListText(list, i)) << "report " << i;
    }
    HWND list = debug->GetHWnd();
    EXPECT_EQ(list, FindWindowA(nullptr, "デバッグ表示"));
    EXPECT_EQ(debug->GetThreadId(), GetWindowThreadProcessId(list, nullptr));
    // WS_VSCROLL comes and goes with the list's length.
    EXPECT_EQ(0x10CF0100u, static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)) & 0x10CF0100u);
    RECT client, outer;
    GetClientRect(list, &client);
    GetWindowRect(list, &outer);
    EXPECT_EQ(300, client.right);
    EXPECT_EQ(150, client.bottom);
    EXPECT_EQ(0, outer.left);
    EXPECT_EQ(0, outer.top);

    // The start-up hook empties the list of a running window.
    debug->OnStartup();
    EXPECT_EQ(0, SendMessageA(list, LB_GETCOUNT, 0, 0));

    // The user closes it: only the window thread ends.
    PostMessageA(list, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return !debug->IsRunning(); }, 10000));
    debug->Stop();
    EXPECT_FALSE(IsWindow(list));
    EXPECT_TRUE(other.IsRunning());
    EXPECT_TRUE(debug->GetIntervalTimer()->IsRunning() == false);
    debug->SetWindowSwitch(false);
}

TEST(DebugLog, WithoutALogTheFolderAndFileAreMadeAndEachLineIsOnDiskAtOnce)
{
    TestSupport::ScratchDir scratch;
    std::string folder = scratch / "user\\data";
    std::string log = folder + "\\log.txt";
    {
        LogSession session(folder);
        EXPECT_EQ(log, GetDebugWindow()->GetLogPath());
        long long before = 0;
        for (int i = 0; i < 3; ++i) {
            DebugPrint("line %d\n", i);
            long long size = FileSize(log);
            if (i == 0)
                before = size - 8;  // the header and "line 0\r\n"
            else
                EXPECT_EQ(before + 8 * (i + 1), size) << "line " << i << " is not on disk yet";
        }
        EXPECT_TRUE(GetDebugWindow()->GetLogSwitch());
    }
    std::string bytes;
    ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(log, bytes));
    std::vector<std::string> lines = Lines(bytes);
    ASSERT_EQ(4u, lines.size()) << bytes;
    EXPECT_TRUE(IsHeader(lines[0])) << lines[0];
    EXPECT_EQ("line 0", lines[1]);
    EXPECT_EQ("line 2", lines[3]);
}

TEST(DebugLog, KeepsTheLastTenRunsBeforeAppending)
{
    const struct {
        int runs;
        bool trimmed;
    } cases[] = {{11, true}, {10, false}, {14, true}, {1, false}};
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        TestSupport::ScratchDir scratch;
        std::string old = "stray line before any run\r\n" + Runs(cases[i].runs, "run ");
        ASSERT_TRUE(scratch.WriteFile("log.txt", old)) << "case " << i;
        {
            LogSession session(scratch.Path());
            DebugPrint("new report");
        }
        std::string bytes;
        ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(scratch / "log.txt", bytes)) << "case " << i;
        std::string kept = old;
        if (cases[i].trimmed)
            kept = Runs(cases[i].runs, "run ").substr(Runs(cases[i].runs - 10, "run ").size());
        ASSERT_EQ(kept, bytes.substr(0, kept.size())) << "case " << i;
        std::vector<std::string> added = Lines(bytes.substr(kept.size()));
        ASSERT_EQ(2u, added.size()) << "case " << i;
        EXPECT_TRUE(IsHeader(added[0])) << "case " << i << ": " << added[0];
        EXPECT_EQ("new report", added[1]) << "case " << i;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((scratch / "backup_log.txt").c_str())) << "case " << i;
    }
}

TEST(DebugLog, OddContentOrAnUnusableFolderOnlyTurnsTheLogOff)
{
    TestSupport::ScratchDir scratch;
    // A log of odd content: binary bytes, a long line without an end, headers with no text.
    std::string odd(70000, '#');
    odd += "\r\n###\r\n###\x81\r\n\0\0\xFF\x81", odd += Runs(12, "r");
    odd += std::string(5000, '\x82');
    ASSERT_TRUE(scratch.WriteFile("odd\\log.txt", odd));
    {
        LogSession session(scratch / "odd");
        DebugPrint("after odd");
        EXPECT_TRUE(GetDebugWindow()->GetLogSwitch());
    }
    std::string bytes;
    ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(scratch / "odd\\log.txt", bytes));
    EXPECT_NE(std::string::npos, bytes.find("\r\nafter odd\r\n"));

    // A folder that cannot be made: a file stands in its way.
    ASSERT_TRUE(scratch.WriteFile("blocker", "x"));
    {
        LogSession session(scratch / "blocker\\logs");
        DebugPrint("nowhere to go");
        EXPECT_FALSE(GetDebugWindow()->GetLogSwitch());
        DebugPrint("still nowhere");
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((scratch / "blocker\\logs").c_str()));
}
