#pragma once

#include <list>

#include "thread/CCriticalSection.h"
#include "thread/CEvent.h"
#include "thread/IThread.h"

namespace Corvane { namespace Base { namespace Thread {

// Slot order: StopAll, WaitAll, Add, Remove, destructor.
class IThreadManager {
public:
    virtual bool StopAll() = 0;
    virtual void WaitAll() = 0;
    virtual void Add(IThread* thread) = 0;
    virtual void Remove(IThread* thread) = 0;
    virtual ~IThreadManager() {}
};

// Lists every running thread from the start of its thread procedure until
// just before it ends. The registry never takes a thread's lock.
class CThreadManager : public IThreadManager {
public:
    CThreadManager();
    CThreadManager(const CThreadManager&) = delete;
    CThreadManager& operator=(const CThreadManager&) = delete;

    // Only the first call stops anything: requests every thread's stop and
    // waits until none but the caller is left. Later calls return false at once.
    bool StopAll() override;
    void WaitAll() override;
    void Add(IThread* thread) override;
    void Remove(IThread* thread) override;
    ~CThreadManager() override;

    int GetCount();

private:
    std::list<IThread*> m_Threads;
    CEvent m_StopAllEvent;
    CEvent m_WaitAllEvent;
    CCriticalSection m_Lock;
    bool m_bStopping;
    CCriticalSection m_StoppingLock;
};

// Singleton accessor; null once the registry has been destroyed at exit.
CThreadManager* GetThreadManager();

}}}
