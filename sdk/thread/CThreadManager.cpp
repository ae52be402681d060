#include "thread/CThreadManager.h"

#include <algorithm>

#include "allocator/CAllocatorManager.h"
#include "thread/CCriticalLock.h"
#include "thread/Singleton.h"

namespace {

// Keeps the allocator registry alive while this unit's statics may still free memory.
Corvane::Base::Allocator::CStaticObjectCounter s_StaticObjects;

}  // namespace

namespace Corvane { namespace Base { namespace Thread {

CThreadManager::CThreadManager() : m_bStopping(false)
{
    m_StopAllEvent.Reset();
    m_WaitAllEvent.Reset();
}

CThreadManager::~CThreadManager()
{
}

void CThreadManager::Add(IThread* thread)
{
    CCriticalLock lock(&m_Lock);
    m_Threads.push_back(thread);
    m_StopAllEvent.Set();
    m_WaitAllEvent.Set();
}

void CThreadManager::Remove(IThread* thread)
{
    CCriticalLock lock(&m_Lock);
    std::list<IThread*>::iterator it = std::find(m_Threads.begin(), m_Threads.end(), thread);
    if (it != m_Threads.end())
        m_Threads.erase(it);
    m_StopAllEvent.Set();
    m_WaitAllEvent.Set();
}

bool CThreadManager::StopAll()
{
    {
        CCriticalLock stopping(&m_StoppingLock);
        bool wasStopping = m_bStopping;
        m_bStopping = true;
        if (wasStopping)
            return false;
    }
    CCriticalLock lock(&m_Lock);
    for (;;) {
        size_t n = m_Threads.size();
        if (n == 0)
            break;
        if (n == 1 && m_Threads.front()->GetThreadId() == GetCurrentThreadId())
            break;  // a registered thread does not wait for itself
        for (IThread* thread : m_Threads)
            thread->RequestStop();
        lock.Leave();
        m_StopAllEvent.Wait(INFINITE);
        lock.Enter();
    }
    return true;
}

void CThreadManager::WaitAll()
{
    CCriticalLock lock(&m_Lock);
    while (!m_Threads.empty()) {
        lock.Leave();
        m_WaitAllEvent.Wait(INFINITE);
        lock.Enter();
    }
}

int CThreadManager::GetCount()
{
    CCriticalLock lock(&m_Lock);
    return static_cast<int>(m_Threads.size());
}

CThreadManager* GetThreadManager()
{
    return CSingleton<CThreadManager>::Get();
}

}}}
