#include "appframe/CWinMsgHookList.h"

#include "thread/CCriticalLock.h"

namespace Corvane { namespace Base { namespace AppFrame {

CWinMsgHookList::CWinMsgHookList()
{
}

CWinMsgHookList::~CWinMsgHookList()
{
}

void CWinMsgHookList::AddHook(IWinMsgHook* hook)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_Hooks.push_back(hook);
}

void CWinMsgHookList::RemoveHook(IWinMsgHook* hook)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_Hooks.remove(hook);
}

void CWinMsgHookList::ClearHooks()
{
    Thread::CCriticalLock lock(&m_Lock);
    m_Hooks.clear();
}

LRESULT CWinMsgHookList::Dispatch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, WNDPROC previous,
                                  bool useDefault)
{
    Thread::CCriticalLock lock(&m_Lock);
    for (IWinMsgHook* hook : m_Hooks) {
        if (hook == nullptr)
            continue;
        LRESULT result = hook->HookProc(hwnd, msg, wParam, lParam);
        if (result != 0)
            return result;
    }
    if (!useDefault)
        return 0;
    // The default handling may run a modal loop (moving, sizing): other
    // threads must be able to change the hooks meanwhile.
    lock.Leave();
    if (previous != nullptr)
        return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}}}
