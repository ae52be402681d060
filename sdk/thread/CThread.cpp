#include "thread/CThread.h"

#include <process.h>

#include "thread/CCriticalLock.h"
#include "thread/CThreadManager.h"

namespace Corvane { namespace Base { namespace Thread {

CThread::CThread() : m_hThread(nullptr), m_ThreadId(static_cast<DWORD>(-1)), m_bRunning(false)
{
}

CThread::~CThread()
{
}

void CThread::ThreadProc()
{
}

bool CThread::Start(int priority)
{
    CCriticalLock lock(&m_Lock);
    Stop();
    m_StartedEvent.Reset();
    m_StopEvent.Reset();
    m_bRunning = true;

    unsigned threadId = 0;
    unsigned flags = priority != 0 ? CREATE_SUSPENDED : 0;
    uintptr_t handle = _beginthreadex(nullptr, 0x100000, &CThread::ThreadEntry, this, flags, &threadId);
    if (handle == 0) {
        m_ThreadId = 0;
        return false;
    }
    m_hThread = reinterpret_cast<HANDLE>(handle);
    m_ThreadId = threadId;  // the same value the thread stored for itself
    if (priority != 0) {
        SetPriority(priority);
        Resume();
    }
    // The new thread sets this right after registering; it takes no lock of ours first.
    m_StartedEvent.Wait(INFINITE);
    return true;
}

unsigned __stdcall CThread::ThreadEntry(void* argument)
{
    CThread* self = static_cast<CThread*>(argument);
    // The starter stores the id only after the thread may already run; a body
    // that asks for its own id (StopAll, SleepUntilStop) must see it at once.
    self->m_ThreadId = GetCurrentThreadId();
    CThreadManager* registry = GetThreadManager();
    if (registry != nullptr)
        registry->Add(self);
    self->m_StartedEvent.Set();
    if (self->m_Callback.HasCallback())
        self->m_Callback.Invoke();
    else
        self->ThreadProc();
    self->RequestStop();
    registry = GetThreadManager();
    if (registry != nullptr)
        registry->Remove(self);
    _endthreadex(0);
    return 0;
}

void CThread::Stop()
{
    CCriticalLock lock(&m_Lock);
    RequestStop();
    if (m_hThread == nullptr || GetCurrentThreadId() == m_ThreadId)
        return;  // on the thread itself: only the request; a later Stop joins
    HANDLE handle = m_hThread;
    m_hThread = nullptr;
    lock.Leave();
    WaitForSingleObject(handle, INFINITE);
    lock.Enter();
    CloseHandle(handle);
    // Only now: until its end the thread may still ask who it is (StopAll
    // must not take it for another thread and wait for it).
    if (m_hThread == nullptr)
        m_ThreadId = static_cast<DWORD>(-1);
}

void CThread::RequestStop()
{
    m_bRunning = false;
    m_StopEvent.Set();
    OnStopRequest();
}

DWORD CThread::Suspend()
{
    CCriticalLock lock(&m_Lock);
    return m_hThread != nullptr ? SuspendThread(m_hThread) : 0;
}

DWORD CThread::Resume()
{
    CCriticalLock lock(&m_Lock);
    return m_hThread != nullptr ? ResumeThread(m_hThread) : 0;
}

bool CThread::IsRunning()
{
    return m_bRunning;
}

int CThread::GetPriority()
{
    CCriticalLock lock(&m_Lock);
    return m_hThread != nullptr ? GetThreadPriority(m_hThread) : 0;
}

bool CThread::SetPriority(int priority)
{
    CCriticalLock lock(&m_Lock);
    return m_hThread != nullptr && SetThreadPriority(m_hThread, priority) != FALSE;
}

DWORD CThread::GetThreadId()
{
    return m_ThreadId;
}

DWORD CThread::SleepUntilStop(DWORD milliseconds)
{
    if (milliseconds == 0 || GetCurrentThreadId() != m_ThreadId)
        return WAIT_TIMEOUT;
    return m_StopEvent.Wait(milliseconds);
}

void CThread::OnStopRequest()
{
}

bool CThread::StartCallback(Template::function_callback* body, int priority)
{
    CCriticalLock lock(&m_Lock);
    SetCallback(body);
    return Start(priority);
}

void CThread::SetCallback(Template::function_callback* body)
{
    CCriticalLock lock(&m_Lock);
    m_Callback.Assign(body);
}

}}}
