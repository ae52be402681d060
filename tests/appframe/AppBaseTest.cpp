#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "appframe/CAppBase.h"
#include "appframe/CAppManager.h"
#include "appframe/CWindow.h"
#include "appframe/CWindowInfo.h"
#include "support/DebugCapture.h"
#include "support/ImportHook.h"

using namespace Corvane::Base::AppFrame;

namespace {

// Polls until the condition holds or the time is over.
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

class TestApp : public CAppBase {
public:
    std::string className = "CorvaneAppBaseTest";
    void OnSetupWindowInfo(CWindowInfo& info) override
    {
        info.SetClassName(className);
        info.m_Style = WS_POPUP;  // not shown
        info.m_Width = 200;
        info.m_Height = 100;
    }
    ~TestApp() override { Stop(); }
};

ATOM WINAPI FailingRegisterClassExA(const WNDCLASSEXA*)
{
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
}

const char kCreateFault[] = "CAppBase::ThreadProc() ウィンドウ作成に失敗しました";
const char kTimeoutFault[] = "CAppBase::Run() m_CreateWndEventがタイムアウトした";

}  // namespace

TEST(AppBase, RunWithUnregistrableClassReturnsFalseAndReportsOnce)
{
    TestSupport::DebugCapture capture;
    TestSupport::ImportHook hook("user32.dll", "RegisterClassExA",
                                 reinterpret_cast<void*>(&FailingRegisterClassExA));
    ASSERT_TRUE(hook.Installed());
    TestApp app;
    app.className = "CorvaneNeverRegistered";
    DWORD start = GetTickCount();
    EXPECT_FALSE(app.Run());
    EXPECT_LT(GetTickCount() - start, 5000u) << "Run() waited for the time-out";
    app.Stop();  // the report is made on the window thread
    EXPECT_EQ(1, capture.Count(kCreateFault));
    EXPECT_EQ(0, capture.Count(kTimeoutFault));
    EXPECT_EQ(nullptr, app.GetWindow());
    EXPECT_EQ(nullptr, GetAppManager()->GetCurrentApp());
}

TEST(AppBase, RunCreatesTheWindowOnItsThreadAndCloseEndsIt)
{
    TestApp app;
    ASSERT_TRUE(app.Run());
    HWND hwnd = app.GetHWnd();
    ASSERT_NE(nullptr, hwnd);
    EXPECT_EQ(app.GetThreadId(), GetWindowThreadProcessId(hwnd, nullptr));
    EXPECT_TRUE(app.GetIntervalTimer()->IsRunning());
    app.Close();
    ASSERT_TRUE(WaitFor([&] { return !app.IsRunning(); }, 10000));
    app.Stop();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_FALSE(app.GetIntervalTimer()->IsRunning());
}

namespace {

// Asks to be closed again while its close query is open, as a modal box would let happen.
class ReentrantCloseApp : public TestApp {
public:
    std::atomic<int> queries{0};
    std::atomic<LRESULT> nestedAnswer{-5};
    bool OnCloseQuery() override
    {
        ++queries;
        nestedAnswer = SendMessageA(GetHWnd(), WM_CLOSE, 0, 0);
        PostMessageA(GetHWnd(), WM_CLOSE, 0, 0);
        PumpMessages();
        return false;
    }
};

}  // namespace

TEST(AppBase, SecondCloseDuringTheCloseQueryIsAnsweredWithoutAsking)
{
    ReentrantCloseApp app;
    ASSERT_TRUE(app.Run());
    app.PostClose();
    ASSERT_TRUE(WaitFor([&] { return app.queries.load() >= 1; }, 10000));
    ASSERT_TRUE(WaitFor([&] { return app.nestedAnswer.load() != -5; }, 10000));
    Sleep(100);
    EXPECT_EQ(1, app.queries.load());
    EXPECT_EQ(1, app.nestedAnswer.load());
    // The query said no: the window stays.
    EXPECT_TRUE(app.IsRunning());
    EXPECT_TRUE(IsWindow(app.GetHWnd()));
    // Close() does not ask.
    app.Close();
    ASSERT_TRUE(WaitFor([&] { return !app.IsRunning(); }, 10000));
    EXPECT_EQ(1, app.queries.load());
}

TEST(AppBase, ManagerFindsTheOwnersWindowFromAnAttachedThread)
{
    TestApp app;
    ASSERT_TRUE(app.Run());
    struct Probe {
        DWORD owner;
        bool attach;
        HWND found;
        static DWORD WINAPI Run(LPVOID p)
        {
            Probe* self = static_cast<Probe*>(p);
            if (self->attach)
                GetAppManager()->AttachThread(self->owner);
            self->found = GetAppManager()->GetHWnd();
            return 0;
        }
    };
    const struct {
        bool attach;
        bool expectWindow;
    } cases[] = {{true, true}, {false, false}};
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        Probe probe = {app.GetThreadId(), cases[i].attach, reinterpret_cast<HWND>(1)};
        HANDLE thread = CreateThread(nullptr, 0, &Probe::Run, &probe, 0, nullptr);
        ASSERT_NE(nullptr, thread) << "case " << i;
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000)) << "case " << i;
        CloseHandle(thread);
        EXPECT_EQ(cases[i].expectWindow ? app.GetHWnd() : nullptr, probe.found) << "case " << i;
    }
    EXPECT_EQ(nullptr, GetAppManager()->GetHWnd()) << "the creating thread is not attached";
    app.Close();
    ASSERT_TRUE(WaitFor([&] { return !app.IsRunning(); }, 10000));
}
