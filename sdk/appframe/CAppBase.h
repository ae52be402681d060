#pragma once

#include <windows.h>

#include "appframe/IAppBase.h"
#include "appframe/IWinMsgHook.h"
#include "thread/CCriticalSection.h"
#include "thread/CEvent.h"
#include "thread/CThread.h"
#include "timer/CIntervalTimer.h"

namespace Corvane { namespace Base { namespace AppFrame {

class CWindow;

// The application object: a window on a thread of its own with its own
// message loop, and an interval timer whose thread starts with the object.
// Run() starts the window thread; closing the window ends it and, while
// stop-all-on-close is set, every registered thread of the process.
class CAppBase : public IAppBase, public IWinMsgHook, public Thread::CThread {
public:
    CAppBase();
    CAppBase(const CAppBase&) = delete;
    CAppBase& operator=(const CAppBase&) = delete;

    void MessageLoop() override;
    // Starts the window thread and waits up to 10 s for its window; true when a window object exists.
    bool Run() override;
    void PostClose() override;
    // Closes without asking OnCloseQuery(). Any thread.
    void Close() override;
    bool Step() override;
    void RequestStop() override;
    CWindow* GetWindow() override;
    HWND GetHWnd() override;
    Timer::CIntervalTimer* GetIntervalTimer() override;
    ~CAppBase() override;
    void SetStopAllOnClose(bool stopAll) override;
    bool GetStopAllOnClose() override;
    void OnPreCreateWindow() override;
    void OnSetupWindowInfo(CWindowInfo& info) override;
    void OnExitMessageLoop() override;
    bool OnCloseQuery() override;
    void PumpMessages() override;
    void CreateWindowObject() override;
    void DeleteWindowObject() override;

    LRESULT HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    void ThreadProc() override;

protected:
    // The closing flag: the next WM_CLOSE ends the window thread without a query.
    void SetClosing() { m_bClosing = true; }

private:
    CWindow* m_pWindow;  // owned; created and destroyed on the window thread
    Timer::CIntervalTimer m_Timer;
    Thread::CEvent m_CreateWndEvent;
    volatile bool m_bClosing;
    bool m_bStopAllOnClose;
    Thread::CCriticalSection m_CloseLock;
};

}}}
