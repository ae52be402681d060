#pragma once

#include <windows.h>

#include "appframe/CChangeDisplayWin32API.h"
#include "appframe/IChangeDisplay.h"

namespace Corvane { namespace Base {
namespace Graphics { namespace Graphics2D { class CDirectDrawEntry; } }
namespace AppFrame {

// Changes the display mode through the DirectDraw object that the registry
// holds for the calling thread's application window. Without a window or an
// object it hands everything to its Win32-API changer from construction on.
class CChangeDisplayDDraw : public IChangeDisplay {
public:
    CChangeDisplayDDraw();
    CChangeDisplayDDraw(const CChangeDisplayDDraw&) = delete;
    CChangeDisplayDDraw& operator=(const CChangeDisplayDDraw&) = delete;

    bool ChangeDisplay(int width, int height, int depth) override;
    bool IsModeAvailable(int width, int height, int depth) override;
    bool Reset() override;
    bool IsChanged() override;
    int GetKind() override;
    ~CChangeDisplayDDraw() override;

private:
    // The entry is still registered for our window.
    bool EntryAlive();
    bool SetCooperativeLevel(DWORD flags);

    HWND m_hWnd;
    Graphics::Graphics2D::CDirectDrawEntry* m_pEntry;  // in the registry, not owned
    bool m_bChanged;
    CChangeDisplayWin32API m_Fallback;
};

}}}
