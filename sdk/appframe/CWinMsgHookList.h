#pragma once

#include <windows.h>

#include <list>

#include "appframe/IWinMsgHook.h"
#include "thread/CCriticalSection.h"

namespace Corvane { namespace Base { namespace AppFrame {

// The hooks of one window, asked in the order they were added. Hooks are not
// owned. A hook runs with the list's lock held, so it must not add or remove
// hooks of the same list from another thread and wait for that.
class CWinMsgHookList {
public:
    CWinMsgHookList();
    CWinMsgHookList(const CWinMsgHookList&) = delete;
    CWinMsgHookList& operator=(const CWinMsgHookList&) = delete;

    virtual void AddHook(IWinMsgHook* hook);
    // Erases every entry equal to the hook.
    virtual void RemoveHook(IWinMsgHook* hook);
    virtual void ClearHooks();
    // The first non-zero hook result; otherwise 0 when useDefault is false,
    // else the previous procedure's (or DefWindowProcA's) answer.
    virtual LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, WNDPROC previous,
                             bool useDefault);
    virtual ~CWinMsgHookList();

private:
    std::list<IWinMsgHook*> m_Hooks;
    Thread::CCriticalSection m_Lock;
};

}}}
