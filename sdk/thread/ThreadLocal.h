#pragma once

#include <windows.h>

#include <list>
#include <utility>

#include "thread/CCriticalLock.h"
#include "thread/CCriticalSection.h"
#include "thread/ThreadLocalManager.h"

namespace Corvane { namespace Base { namespace Thread {

// Slot order: RemoveCurrent, Clear, SetDetached, destructor.
class ThreadLocalBase {
public:
    virtual void RemoveCurrent() = 0;
    virtual void Clear() = 0;
    virtual void SetDetached(bool detached) = 0;
    virtual ~ThreadLocalBase() {}
};

// One value of T per thread id, at most one entry per thread. An entry stays
// until its thread removes it or the object is cleared: the end of a thread
// does not remove it.
template <class T>
class ThreadLocal : public ThreadLocalBase {
public:
    ThreadLocal() : m_bDetached(false)
    {
        ThreadLocalManager* manager = GetThreadLocalManager();
        if (manager != nullptr)
            manager->Register(this);
    }
    ThreadLocal(const ThreadLocal&) = delete;
    ThreadLocal& operator=(const ThreadLocal&) = delete;

    ~ThreadLocal() override
    {
        Clear();
        if (!m_bDetached) {
            ThreadLocalManager* manager = GetThreadLocalManager();
            if (manager != nullptr)
                manager->Unregister(this);
        }
    }

    // The calling thread's value, or null when it has none.
    T* Get()
    {
        CCriticalLock lock(&m_Lock);
        typename Entries::iterator it = Find(GetCurrentThreadId());
        return it != m_Entries.end() ? it->second : nullptr;
    }

    // Assigns the calling thread's value, adding its entry when missing. Out
    // of memory leaves the thread without an entry.
    void Set(const T& value)
    {
        CCriticalLock lock(&m_Lock);
        DWORD id = GetCurrentThreadId();
        typename Entries::iterator it = Find(id);
        if (it != m_Entries.end()) {
            *it->second = value;
            return;
        }
        T* copy = new T(value);
        if (copy != nullptr)
            m_Entries.push_back(std::make_pair(id, copy));
    }

    void RemoveCurrent() override
    {
        CCriticalLock lock(&m_Lock);
        typename Entries::iterator it = Find(GetCurrentThreadId());
        if (it == m_Entries.end())
            return;
        delete it->second;
        m_Entries.erase(it);
    }

    void Clear() override
    {
        CCriticalLock lock(&m_Lock);
        for (std::pair<DWORD, T*>& entry : m_Entries)
            delete entry.second;
        m_Entries.clear();
    }

    void SetDetached(bool detached) override { m_bDetached = detached; }

private:
    typedef std::list<std::pair<DWORD, T*>> Entries;

    typename Entries::iterator Find(DWORD id)
    {
        for (typename Entries::iterator it = m_Entries.begin(); it != m_Entries.end(); ++it)
            if (it->first == id)
                return it;
        return m_Entries.end();
    }

    Entries m_Entries;
    CCriticalSection m_Lock;
    bool m_bDetached;
};

}}}
