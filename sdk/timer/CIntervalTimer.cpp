#include "timer/CIntervalTimer.h"

#include "file/SystemLibrary.h"

#include "thread/CCriticalLock.h"

namespace Corvane { namespace Base { namespace Timer {

using Thread::CCriticalLock;

CIntervalTimer::CIntervalTimer() : m_LastId(1), m_bBodyRunning(true)
{
    // The clock's DLL is loaded here, on the constructing thread, rather than
    // by the timer thread while the program may already be ending.
    File::SystemTimeMs();
    if (!Start(0))
        m_bBodyRunning = false;  // no thread: nothing to wait for
    SetPriority(THREAD_PRIORITY_HIGHEST);
}

CIntervalTimer::~CIntervalTimer()
{
    RemoveAllTimers();
    Stop();
    CCriticalLock lock(&m_Lock);
    for (Record* r : m_Active)
        delete r;
    for (Record* r : m_Pending)
        delete r;
    m_Active.clear();
    m_Pending.clear();
}

DWORD CIntervalTimer::AddTimer(Template::function_callback* callback, DWORD firstDelay, DWORD period,
                               DWORD count)
{
    CCriticalLock lock(&m_Lock);
    if (callback == nullptr) {
        m_WakeEvent.Set();
        return 0;
    }
    ++m_LastId;
    if (m_LastId >= 0xFFFFFFFE)
        m_LastId = 1;
    Record* r = new Record{true, m_LastId, Template::function_callback_obj<void>(callback),
                           firstDelay, period, count, File::SystemTimeMs(), 0, false, 0};
    if (r == nullptr) {
        delete callback;
        return 0;
    }
    m_Pending.push_back(r);
    m_WakeEvent.Set();
    return r->id;
}

void CIntervalTimer::RemoveTimer(DWORD id)
{
    CCriticalLock lock(&m_Lock);
    for (std::list<Record*>* list : {&m_Active, &m_Pending})
        for (Record* r : *list)
            if (r->id == id) {
                r->active = false;
                break;
            }
    m_WakeEvent.Set();
}

void CIntervalTimer::RemoveAllTimers()
{
    CCriticalLock lock(&m_Lock);
    for (std::list<Record*>* list : {&m_Active, &m_Pending})
        for (Record* r : *list)
            r->active = false;
    m_WakeEvent.Set();
}

void CIntervalTimer::PauseTimer(DWORD id)
{
    CCriticalLock lock(&m_Lock);
    DWORD now = File::SystemTimeMs();
    for (std::list<Record*>* list : {&m_Active, &m_Pending})
        for (Record* r : *list)
            if (r->id == id && !r->paused) {
                r->paused = true;
                r->pauseTime = now;
                break;
            }
    m_WakeEvent.Set();
}

void CIntervalTimer::ResumeTimer(DWORD id)
{
    CCriticalLock lock(&m_Lock);
    DWORD now = File::SystemTimeMs();
    for (std::list<Record*>* list : {&m_Active, &m_Pending})
        for (Record* r : *list)
            if (r->id == id && r->paused) {
                r->paused = false;
                r->lastTime = now - (r->pauseTime - r->lastTime);  // keeps the time already waited
            }
    m_WakeEvent.Set();
}

void CIntervalTimer::WaitTimerRemoved(DWORD id)
{
    CCriticalLock lock(&m_Lock);
    for (;;) {
        bool found = false;
        for (std::list<Record*>* list : {&m_Active, &m_Pending})
            for (Record* r : *list)
                if (r->id == id)
                    found = true;
        if (!found || !m_bBodyRunning)
            return;  // a stopped timer runs no callback that could still be waited for
        lock.Leave();
        Sleep(0);
        lock.Enter();
    }
}

int CIntervalTimer::GetRecordCount()
{
    CCriticalLock lock(&m_Lock);
    return static_cast<int>(m_Active.size() + m_Pending.size());
}

void CIntervalTimer::Compact()
{
    for (std::list<Record*>::iterator it = m_Active.begin(); it != m_Active.end();) {
        if (!(*it)->active) {
            delete *it;
            it = m_Active.erase(it);
        } else {
            ++it;
        }
    }
    for (Record* r : m_Pending) {
        if (r->active)
            m_Active.push_back(r);
        else
            delete r;
    }
    m_Pending.clear();
}

void CIntervalTimer::OnStopRequest()
{
    m_WakeEvent.Set();  // the body wakes at once
}

void CIntervalTimer::ThreadProc()
{
    while (IsRunning()) {
        DWORD wait = 50;
        CCriticalLock lock(&m_Lock);
        Compact();
        for (Record* r : m_Active) {
            if (r->paused || !r->active)
                continue;
            DWORD now = File::SystemTimeMs();
            DWORD interval = r->fired == 0 ? r->firstDelay : r->period;
            DWORD elapsed = now - r->lastTime;
            if (interval > elapsed) {
                if (wait >= interval - elapsed)
                    wait = 1;
                continue;
            }
            r->lastTime = now;
            // Callbacks added meanwhile go to the pending list, so this walk stays valid.
            lock.Leave();
            r->callback.Invoke();
            lock.Enter();
            ++r->fired;
            if (r->count != 0 && r->fired >= r->count) {
                r->active = false;
            } else {
                long e = static_cast<long>((File::SystemTimeMs() - r->lastTime) - r->period);
                if (static_cast<long>(wait) >= e)
                    wait = 1;
            }
        }
        Compact();
        lock.Leave();
        m_WakeEvent.Wait(wait);
    }
    CCriticalLock lock(&m_Lock);
    m_bBodyRunning = false;
}

}}}
