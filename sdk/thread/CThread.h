#pragma once

#include <atomic>

#include "template/function_callback.h"
#include "thread/CCriticalSection.h"
#include "thread/CEvent.h"
#include "thread/IThread.h"

namespace Corvane { namespace Base { namespace Thread {

// A thread object: registered with the thread registry while its body runs.
// The owner calls Stop() before destroying it; the destructor does not join.
class CThread : public IThread {
public:
    CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    void ThreadProc() override;
    // Priority 0 starts normally; any other value starts suspended, sets the
    // priority and resumes. A thread still attached is stopped and joined first.
    bool Start(int priority) override;
    // Requests the stop and, called from another thread, joins.
    void Stop() override;
    void RequestStop() override;
    DWORD Suspend() override;
    DWORD Resume() override;
    bool IsRunning() override;
    int GetPriority() override;
    bool SetPriority(int priority) override;
    DWORD GetThreadId() override;
    // On the thread itself only: waits until a stop is requested or the time is over.
    DWORD SleepUntilStop(DWORD milliseconds) override;
    ~CThread() override;

    virtual void OnStopRequest();
    virtual bool StartCallback(Template::function_callback* body, int priority);
    // The holder owns the body from now on; a body stored before is deleted.
    virtual void SetCallback(Template::function_callback* body);

private:
    static unsigned __stdcall ThreadEntry(void* argument);

    HANDLE m_hThread;
    volatile DWORD m_ThreadId;
    std::atomic<bool> m_bRunning;
    CEvent m_StartedEvent;
    CEventManual m_StopEvent;
    Template::function_callback_obj<void> m_Callback;
    CCriticalSection m_Lock;
};

}}}
