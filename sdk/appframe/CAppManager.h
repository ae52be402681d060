#pragma once

#include <windows.h>

#include <list>

#include "appframe/IAppBase.h"
#include "thread/CCriticalSection.h"

namespace Corvane { namespace Base { namespace AppFrame {

// Which application object belongs to which thread, so that code on any
// thread (for example a display changer) finds its application's window.
class CAppManager {
public:
    CAppManager();
    CAppManager(const CAppManager&) = delete;
    CAppManager& operator=(const CAppManager&) = delete;
    virtual ~CAppManager();

    // For the calling thread: replaces the application of its entry (as owner
    // or attached thread) or appends a new entry.
    void RegisterApp(IAppBase* app);
    // The first entry of the application loses it; erased while its count is 0.
    void UnregisterApp(IAppBase* app);
    // The calling thread's application; null if none. A caller that goes on
    // using it holds GetLock() meanwhile.
    IAppBase* GetCurrentApp();
    // Lets the calling thread find the applications owned by ownerThreadId.
    void AttachThread(DWORD ownerThreadId);
    // The window of the calling thread's application; null if none.
    HWND GetHWnd();

    Thread::ICriticalSection* GetLock() { return &m_Lock; }

private:
    struct Entry {
        DWORD ownerThreadId;
        IAppBase* app;
        DWORD count;  // stays 0 here; an entry goes only while it is 0
        std::list<DWORD> attachedThreadIds;
    };

    Entry* FindCurrent();

    std::list<Entry> m_Entries;
    Thread::CCriticalSection m_Lock;
};

// Singleton accessor; null once the manager has been destroyed at exit.
CAppManager* GetAppManager();

}}}
