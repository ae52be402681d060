#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "appframe/CWinMsgHookList.h"
#include "appframe/CWindowInfo.h"
#include "appframe/IWindow.h"
#include "thread/CCriticalSection.h"

namespace Corvane { namespace Base { namespace AppFrame {

class IChangeDisplay;

// One top-level window: registers its class once (or subclasses a system
// control class), routes every message through OnMessage and the hook list,
// keeps the IME off and switches to full screen through a display changer.
// Created, used and destroyed on its application's window thread.
class CWindow : public IWindow {
public:
    CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    bool Create(const CWindowInfo& info) override;
    void Destroy() override;
    bool ShowAnimated(DWORD ms) override;
    bool Show() override;
    bool HideAnimated(DWORD ms) override;
    bool Hide() override;
    bool SetStyle(DWORD style) override;
    bool SetExStyle(DWORD exStyle) override;
    bool SetPosition(int x, int y) override;
    bool SetClientSize(int width, int height) override;
    bool SetWindowSize(int width, int height) override;
    bool SetTitle(const std::string& title) override;
    std::string GetTitle() override;
    bool ApplyStyle() override;
    bool ApplyExStyle() override;
    bool ApplyPosition() override;
    bool ApplyClientSize() override;
    HWND GetHWnd() override;
    std::pair<int, int> GetClientSize() override;
    bool IsActive() override;
    bool IsIconic() override;
    bool HasMenu() override;
    void SetFocus() override;
    CIME* GetIME() override;
    void AddMsgHook(IWinMsgHook* hook) override;
    void RemoveMsgHook(IWinMsgHook* hook) override;
    LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    // mode 0: windowed again; otherwise the display depth of the full-screen mode.
    bool SetFullScreen(int mode) override;
    bool CheckDisplayModes(int depth) override;
    // 1: DirectDraw; any other kind: the Win32 API.
    void SelectDisplayChanger(int kind) override;
    bool IsDisplayChanged() override;
    int GetFullScreenMode() override;
    ~CWindow() override;

    // The stored description (a copy of the one given to Create).
    const CWindowInfo& GetWindowInfo() const { return m_Info; }
    IChangeDisplay* GetDisplayChanger() { return m_pChangeDisplay; }

    // The procedure of every registered class and of every subclassed window.
    static LRESULT CALLBACK SdkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static bool IsSystemClass(const std::string& name);

protected:
    virtual LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    virtual void CreateDisplayChanger(int kind);
    virtual void DeleteDisplayChanger();

private:
    bool HasLoadedMenu();

    HWND m_hWnd;
    HMENU m_hMenu;
    CWindowInfo m_Info;
    CIME* m_pIME;
    CWinMsgHookList m_Hooks;
    WNDPROC m_pPrevWndProc;
    IChangeDisplay* m_pChangeDisplay;
    int m_nFullScreenMode;
    Thread::CCriticalSection m_Lock;
};

}}}
