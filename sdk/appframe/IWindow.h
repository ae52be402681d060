#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace Corvane { namespace Base { namespace AppFrame {

class CIME;
class CWindowInfo;
class IWinMsgHook;

// A top-level window of an application object, in slot order.
class IWindow {
public:
    virtual bool Create(const CWindowInfo& info) = 0;
    virtual void Destroy() = 0;
    virtual bool ShowAnimated(DWORD ms) = 0;
    virtual bool Show() = 0;
    virtual bool HideAnimated(DWORD ms) = 0;
    virtual bool Hide() = 0;
    virtual bool SetStyle(DWORD style) = 0;
    virtual bool SetExStyle(DWORD exStyle) = 0;
    virtual bool SetPosition(int x, int y) = 0;
    virtual bool SetClientSize(int width, int height) = 0;
    virtual bool SetWindowSize(int width, int height) = 0;
    virtual bool SetTitle(const std::string& title) = 0;
    virtual std::string GetTitle() = 0;
    virtual bool ApplyStyle() = 0;
    virtual bool ApplyExStyle() = 0;
    virtual bool ApplyPosition() = 0;
    virtual bool ApplyClientSize() = 0;
    virtual HWND GetHWnd() = 0;
    virtual std::pair<int, int> GetClientSize() = 0;
    virtual bool IsActive() = 0;
    virtual bool IsIconic() = 0;
    virtual bool HasMenu() = 0;
    virtual void SetFocus() = 0;
    virtual CIME* GetIME() = 0;
    virtual void AddMsgHook(IWinMsgHook* hook) = 0;
    virtual void RemoveMsgHook(IWinMsgHook* hook) = 0;
    virtual LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual bool SetFullScreen(int mode) = 0;
    virtual bool CheckDisplayModes(int depth) = 0;
    virtual void SelectDisplayChanger(int kind) = 0;
    virtual bool IsDisplayChanged() = 0;
    virtual int GetFullScreenMode() = 0;
    virtual ~IWindow() {}
};

}}}
