#pragma once

#include <windows.h>
#include <ddraw.h>

#include <list>

#include "thread/CCriticalSection.h"

namespace Corvane { namespace Base { namespace Graphics { namespace Graphics2D {

// One DirectDraw object and the window it belongs to. Owns one reference.
class CDirectDrawEntry {
public:
    CDirectDrawEntry(HWND hwnd, IDirectDraw2* directDraw);
    CDirectDrawEntry(const CDirectDrawEntry&) = delete;
    CDirectDrawEntry& operator=(const CDirectDrawEntry&) = delete;
    virtual ~CDirectDrawEntry();

    // Records in the full-screen flag whether the level now in effect is exclusive full screen.
    bool SetCooperativeLevel(DWORD flags);

    HWND GetHWnd() const { return m_hWnd; }
    IDirectDraw2* GetDirectDraw() const { return m_pDirectDraw; }
    bool IsFullScreen() const { return m_bFullScreen; }

private:
    HWND m_hWnd;
    IDirectDraw2* m_pDirectDraw;
    bool m_bFullScreen;
};

// The process's DirectDraw objects, at most one per window.
class CDirectDrawManager {
public:
    CDirectDrawManager();
    CDirectDrawManager(const CDirectDrawManager&) = delete;
    CDirectDrawManager& operator=(const CDirectDrawManager&) = delete;
    virtual ~CDirectDrawManager();

    // The first entry of the window, or null.
    CDirectDrawEntry* Find(HWND hwnd);
    // Takes a reference of its own; false for a null argument or a window
    // that already has one.
    bool Register(HWND hwnd, IDirectDraw2* directDraw);
    // Creates the display driver's DirectDraw object for the window. DirectDraw
    // is loaded from the system folder on first use, not imported.
    bool CreateDirectDraw(HWND hwnd);
    // Deletes the window's entry; false when it has none.
    bool Unregister(HWND hwnd);
    int GetCount();

private:
    std::list<CDirectDrawEntry*> m_Entries;
    Thread::CCriticalSection m_Lock;
};

// Singleton accessor; null once the registry has been destroyed at exit.
CDirectDrawManager* GetDirectDrawManager();

}}}}
