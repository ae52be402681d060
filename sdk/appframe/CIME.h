#pragma once

#include <windows.h>

namespace Corvane { namespace Base { namespace AppFrame {

// Keeps the input-method editor off in one window while it lives: the
// window has no input context until the saved one is given back.
class CIME {
public:
    explicit CIME(HWND hwnd);
    CIME(const CIME&) = delete;
    CIME& operator=(const CIME&) = delete;
    virtual ~CIME();

private:
    HWND m_hWnd;
    HANDLE m_hSavedContext;  // HIMC
};

}}}
