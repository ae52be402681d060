#include "template/CAppCallbackRegistry.h"

#include "allocator/CAllocatorManager.h"
#include "thread/Singleton.h"

namespace {

// Keeps the allocator registry alive while this unit's statics may still free memory.
Corvane::Base::Allocator::CStaticObjectCounter s_StaticObjects;

}  // namespace

namespace Corvane { namespace Base { namespace Template {

CAppCallbackRegistry::CAppCallbackRegistry()
{
}

CAppCallbackRegistry::~CAppCallbackRegistry()
{
}

void CAppCallbackRegistry::AddStartupCallback(function_callback* callback)
{
    if (callback != nullptr)
        m_StartupCallbacks.push_back(function_callback_obj<void>(callback));
}

void CAppCallbackRegistry::AddShutdownCallback(function_callback* callback)
{
    if (callback != nullptr)
        m_ShutdownCallbacks.push_back(function_callback_obj<void>(callback));
}

void CAppCallbackRegistry::RunStartupCallbacks()
{
    Run(m_StartupCallbacks);
}

void CAppCallbackRegistry::RunShutdownCallbacks()
{
    Run(m_ShutdownCallbacks);
}

void CAppCallbackRegistry::Run(std::list<function_callback_obj<void>>& callbacks)
{
    // Take the list first: a callback that registers another one does not
    // extend the run it is part of.
    std::list<function_callback_obj<void>> running;
    running.swap(callbacks);
    for (const function_callback_obj<void>& entry : running)
        entry.Invoke();
}

CAppCallbackRegistry* GetAppCallbackRegistry()
{
    return Thread::CSingleton<CAppCallbackRegistry>::Get();
}

}}}
