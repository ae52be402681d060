#include "thread/ThreadLocalManager.h"

#include "allocator/CAllocatorManager.h"
#include "template/CAppCallbackRegistry.h"
#include "thread/CCriticalLock.h"
#include "thread/Singleton.h"
#include "thread/ThreadLocal.h"

namespace {

// Keeps the allocator registry alive while this unit's statics may still free memory.
Corvane::Base::Allocator::CStaticObjectCounter s_StaticObjects;

}  // namespace

namespace Corvane { namespace Base { namespace Thread {

ThreadLocalManager::ThreadLocalManager()
{
    Template::CAppCallbackRegistry* registry = Template::GetAppCallbackRegistry();
    if (registry != nullptr)
        registry->AddStartupCallback(
            new Template::function_callback_vm0<ThreadLocalManager>(this, &ThreadLocalManager::OnStartup));
}

ThreadLocalManager::~ThreadLocalManager()
{
}

void ThreadLocalManager::Register(ThreadLocalBase* local)
{
    CCriticalLock lock(&m_Lock);
    m_Locals.push_back(local);
}

void ThreadLocalManager::Unregister(ThreadLocalBase* local)
{
    CCriticalLock lock(&m_Lock);
    m_Locals.remove(local);
}

int ThreadLocalManager::GetCount()
{
    CCriticalLock lock(&m_Lock);
    return static_cast<int>(m_Locals.size());
}

void ThreadLocalManager::OnStartup()
{
    CCriticalLock lock(&m_Lock);
    for (ThreadLocalBase* local : m_Locals)
        local->SetDetached(true);
}

ThreadLocalManager* GetThreadLocalManager()
{
    return CSingleton<ThreadLocalManager>::Get();
}

}}}
