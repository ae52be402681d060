#pragma once

#include <windows.h>

namespace Corvane { namespace Base { namespace AppFrame {

// Slot order: HookProc, destructor.
class IWinMsgHook {
public:
    // Non-zero: the message is handled and this is its result.
    virtual LRESULT HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual ~IWinMsgHook() {}
};

}}}
