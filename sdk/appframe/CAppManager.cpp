#include "appframe/CAppManager.h"

#include <algorithm>

#include "thread/CCriticalLock.h"
#include "thread/Singleton.h"

namespace Corvane { namespace Base { namespace AppFrame {

CAppManager::CAppManager()
{
}

CAppManager::~CAppManager()
{
    Thread::CCriticalLock lock(&m_Lock);
    m_Entries.clear();
}

CAppManager::Entry* CAppManager::FindCurrent()
{
    DWORD self = GetCurrentThreadId();
    for (Entry& entry : m_Entries) {
        if (entry.ownerThreadId == self)
            return &entry;
        if (std::find(entry.attachedThreadIds.begin(), entry.attachedThreadIds.end(), self) !=
            entry.attachedThreadIds.end())
            return &entry;
    }
    return nullptr;
}

void CAppManager::RegisterApp(IAppBase* app)
{
    Thread::CCriticalLock lock(&m_Lock);
    Entry* entry = FindCurrent();
    if (entry != nullptr) {
        entry->app = app;
        return;
    }
    Entry added;
    added.ownerThreadId = GetCurrentThreadId();
    added.app = app;
    added.count = 0;
    m_Entries.push_back(added);
}

void CAppManager::UnregisterApp(IAppBase* app)
{
    Thread::CCriticalLock lock(&m_Lock);
    for (auto it = m_Entries.begin(); it != m_Entries.end(); ++it) {
        if (it->app != app)
            continue;
        it->app = nullptr;
        if (it->count == 0)
            m_Entries.erase(it);
        return;
    }
}

IAppBase* CAppManager::GetCurrentApp()
{
    Thread::CCriticalLock lock(&m_Lock);
    Entry* entry = FindCurrent();
    return entry != nullptr ? entry->app : nullptr;
}

void CAppManager::AttachThread(DWORD ownerThreadId)
{
    Thread::CCriticalLock lock(&m_Lock);
    DWORD self = GetCurrentThreadId();
    for (Entry& entry : m_Entries)
        if (entry.ownerThreadId == ownerThreadId)
            entry.attachedThreadIds.push_back(self);
}

HWND CAppManager::GetHWnd()
{
    Thread::CCriticalLock lock(&m_Lock);
    Entry* entry = FindCurrent();
    if (entry == nullptr || entry->app == nullptr)
        return nullptr;
    return entry->app->GetHWnd();
}

CAppManager* GetAppManager()
{
    return Thread::CSingleton<CAppManager>::Get();
}

}}}
