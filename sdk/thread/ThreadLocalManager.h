#pragma once

#include <list>

#include "thread/CCriticalSection.h"

namespace Corvane { namespace Base { namespace Thread {

class ThreadLocalBase;

// Lists the live thread-local objects (not owned). Once the start-up object
// has run its start-up callbacks, every object listed by then is detached:
// such objects are statics that die at exit without touching the list.
class ThreadLocalManager {
public:
    ThreadLocalManager();
    ThreadLocalManager(const ThreadLocalManager&) = delete;
    ThreadLocalManager& operator=(const ThreadLocalManager&) = delete;
    virtual ~ThreadLocalManager();

    void Register(ThreadLocalBase* local);
    // Erases every entry equal to `local`.
    void Unregister(ThreadLocalBase* local);
    int GetCount();

private:
    void OnStartup();

    std::list<ThreadLocalBase*> m_Locals;
    CCriticalSection m_Lock;
};

// Singleton accessor; null once the manager has been destroyed at exit.
ThreadLocalManager* GetThreadLocalManager();

}}}
