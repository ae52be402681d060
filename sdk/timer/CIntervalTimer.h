#pragma once

#include <windows.h>

#include <list>

#include "template/function_callback.h"
#include "thread/CCriticalSection.h"
#include "thread/CEvent.h"
#include "thread/CThread.h"

namespace Corvane { namespace Base { namespace Timer {

// Slot order as listed, then the destructor.
class IIntervalTimer {
public:
    virtual DWORD AddTimer(Template::function_callback* callback, DWORD firstDelay, DWORD period,
                           DWORD count) = 0;
    virtual void RemoveTimer(DWORD id) = 0;
    virtual void RemoveAllTimers() = 0;
    virtual void PauseTimer(DWORD id) = 0;
    virtual void ResumeTimer(DWORD id) = 0;
    virtual void WaitTimerRemoved(DWORD id) = 0;
    virtual ~IIntervalTimer() {}
};

// Runs callbacks after a delay and then periodically on a thread of its own
// (THREAD_PRIORITY_HIGHEST), which sleeps in steps of at most 50 ms. The
// thread starts with the object. Callbacks run with the lock released, so
// they may add, remove, pause and resume timers of this timer.
class CIntervalTimer : public IIntervalTimer, public Thread::CThread {
public:
    CIntervalTimer();
    CIntervalTimer(const CIntervalTimer&) = delete;
    CIntervalTimer& operator=(const CIntervalTimer&) = delete;
    ~CIntervalTimer() override;

    // Takes over the callback; null adds nothing and returns 0. A count of 0 fires forever.
    DWORD AddTimer(Template::function_callback* callback, DWORD firstDelay, DWORD period,
                   DWORD count) override;
    void RemoveTimer(DWORD id) override;
    void RemoveAllTimers() override;
    void PauseTimer(DWORD id) override;
    void ResumeTimer(DWORD id) override;
    // Returns once no record of the id is left, that is, once the thread can no
    // longer be running its callback. Not from a callback of this timer.
    void WaitTimerRemoved(DWORD id) override;

    void ThreadProc() override;
    void OnStopRequest() override;

    // Records of either list, for inspection.
    int GetRecordCount();

private:
    struct Record {
        bool active;
        DWORD id;
        Template::function_callback_obj<void> callback;
        DWORD firstDelay;
        DWORD period;
        DWORD count;
        DWORD lastTime;
        DWORD fired;
        bool paused;
        DWORD pauseTime;
    };

    void Compact();

    std::list<Record*> m_Active;
    std::list<Record*> m_Pending;
    DWORD m_LastId;
    bool m_bBodyRunning;  // once the body has ended nothing compacts any more
    Thread::CEvent m_WakeEvent;
    Thread::CCriticalSection m_Lock;
};

}}}
