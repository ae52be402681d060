#include "appframe/CAppBase.h"

#include <atomic>

#include "appframe/CAppManager.h"
#include "appframe/CWindow.h"
#include "appframe/CWindowInfo.h"
#include "auxiliary/DebugPrint.h"
#include "thread/CCriticalLock.h"
#include "thread/CThreadManager.h"

namespace Corvane { namespace Base { namespace AppFrame {

namespace {

// A close query may run a modal loop that dispatches another WM_CLOSE; one
// query at a time in the whole process.
std::atomic<bool> s_bCloseQueryUnderWay(false);

}  // namespace

CAppBase::CAppBase()
    : m_pWindow(nullptr), m_bClosing(false), m_bStopAllOnClose(true)
{
    m_CreateWndEvent.Reset();
}

CAppBase::~CAppBase()
{
    CThread::RequestStop();
    Stop();
    DeleteWindowObject();
}

bool CAppBase::Run()
{
    m_CreateWndEvent.Reset();
    if (!Start(0))
        return false;
    if (m_CreateWndEvent.Wait(10000) != WAIT_OBJECT_0)
        DebugPrint("CAppBase::Run() m_CreateWndEventがタイムアウトした");
    return m_pWindow != nullptr;
}

void CAppBase::MessageLoop()
{
    while (Step())
        SleepUntilStop(16);
}

bool CAppBase::Step()
{
    PumpMessages();
    return IsRunning();
}

void CAppBase::PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void CAppBase::PostClose()
{
    PostMessageA(GetHWnd(), WM_CLOSE, 0, 0);
}

void CAppBase::Close()
{
    m_bClosing = true;
    PostMessageA(GetHWnd(), WM_CLOSE, 0, 0);
}

void CAppBase::RequestStop()
{
    CThread::RequestStop();
}

CWindow* CAppBase::GetWindow()
{
    return m_pWindow;
}

HWND CAppBase::GetHWnd()
{
    CWindow* window = m_pWindow;
    return window != nullptr ? window->GetHWnd() : nullptr;
}

Timer::CIntervalTimer* CAppBase::GetIntervalTimer()
{
    return &m_Timer;
}

void CAppBase::SetStopAllOnClose(bool stopAll)
{
    m_bStopAllOnClose = stopAll;
}

bool CAppBase::GetStopAllOnClose()
{
    return m_bStopAllOnClose;
}

void CAppBase::OnPreCreateWindow()
{
}

void CAppBase::OnSetupWindowInfo(CWindowInfo& info)
{
}

void CAppBase::OnExitMessageLoop()
{
}

bool CAppBase::OnCloseQuery()
{
    return true;
}

void CAppBase::CreateWindowObject()
{
    DeleteWindowObject();
    m_pWindow = new CWindow;
}

void CAppBase::DeleteWindowObject()
{
    CWindow* window = m_pWindow;
    m_pWindow = nullptr;
    delete window;
}

LRESULT CAppBase::HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        if (m_bStopAllOnClose)
            PostQuitMessage(0);
        return 0;
    }
    if (msg != WM_CLOSE)
        return 0;
    if (m_bClosing) {
        RequestStop();
        return 1;
    }
    // The default handling would destroy the window; the window thread does
    // that itself once its loop has ended.
    Thread::CCriticalLock lock(&m_CloseLock);
    bool expected = false;
    if (!s_bCloseQueryUnderWay.compare_exchange_strong(expected, true))
        return 1;
    bool close = OnCloseQuery();
    s_bCloseQueryUnderWay = false;
    if (close)
        RequestStop();
    return 1;
}

void CAppBase::ThreadProc()
{
    if (!m_Timer.IsRunning())
        m_Timer.Start(0);
    CreateWindowObject();
    m_bClosing = false;

    CAppManager* apps = GetAppManager();
    if (apps != nullptr) {
        apps->RegisterApp(this);
        Thread::CCriticalLock lock(apps->GetLock());
        IAppBase* current = apps->GetCurrentApp();
        if (current != nullptr && current->GetWindow() != nullptr)
            current->GetWindow()->AddMsgHook(this);
    }

    CWindowInfo info;
    OnPreCreateWindow();
    OnSetupWindowInfo(info);
    if (m_pWindow == nullptr || !m_pWindow->Create(info)) {
        DeleteWindowObject();
        // Wake Run() before reporting: the report may wait for the debug-output
        // lock, which the thread in Run() can be holding.
        m_CreateWndEvent.Set();
        DebugPrint("CAppBase::ThreadProc() ウィンドウ作成に失敗しました");
        m_Timer.RequestStop();
        if (apps != nullptr)
            apps->UnregisterApp(this);
        return;
    }
    BringWindowToTop(GetHWnd());
    m_CreateWndEvent.Set();

    MessageLoop();

    OnExitMessageLoop();
    m_pWindow->Destroy();
    PumpMessages();
    m_Timer.RequestStop();
    if (m_bStopAllOnClose) {
        Thread::CThreadManager* threads = Thread::GetThreadManager();
        if (threads != nullptr)
            threads->StopAll();
    }
    RequestStop();
    if (apps != nullptr) {
        Thread::CCriticalLock lock(apps->GetLock());
        IAppBase* current = apps->GetCurrentApp();
        if (current != nullptr && current->GetWindow() != nullptr)
            current->GetWindow()->RemoveMsgHook(this);
        apps->UnregisterApp(this);
    }
}

}}}
