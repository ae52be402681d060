#include "appframe/CWindow.h"

#include "appframe/CChangeDisplayDDraw.h"
#include "appframe/CChangeDisplayWin32API.h"
#include "appframe/CIME.h"
#include "file/FileSystem.h"
#include "thread/CCriticalLock.h"

namespace Corvane { namespace Base { namespace AppFrame {

namespace {

const DWORD kVisible = 0x10000000;
const DWORD kFullScreenStyle = 0x900A0000;  // WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_MINIMIZEBOX

// Outer size of a window whose client area is width x height.
SIZE OuterSize(int width, int height, DWORD style, DWORD exStyle, bool menu)
{
    RECT rect = {0, 0, width, height};
    AdjustWindowRectEx(&rect, style, menu ? TRUE : FALSE, exStyle);
    SIZE size = {rect.right - rect.left, rect.bottom - rect.top};
    return size;
}

POINT CentredOnScreen(int outerWidth, int outerHeight)
{
    POINT at = {(GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2,
                (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2};
    return at;
}

}  // namespace

CWindow::CWindow()
    : m_hWnd(nullptr),
      m_hMenu(nullptr),
      m_Info(),
      m_pIME(nullptr),
      m_pPrevWndProc(nullptr),
      m_pChangeDisplay(nullptr),
      m_nFullScreenMode(0)
{
    CreateDisplayChanger(0);
}

CWindow::~CWindow()
{
    Destroy();
    DeleteDisplayChanger();
}

bool CWindow::IsSystemClass(const std::string& name)
{
    static const char* const kSystemClasses[] = {"BUTTON", "COMBOBOX", "EDIT", "LISTBOX",
                                                 "MDICLIENT", "SCROLLBAR", "STATIC"};
    for (const char* systemClass : kSystemClasses)
        if (name == systemClass)
            return true;
    return false;
}

bool CWindow::Create(const CWindowInfo& description)
{
    Thread::CCriticalLock lock(&m_Lock);
    Destroy();
    CWindowInfo info(description);
    info.m_WndClass.lpfnWndProc = &CWindow::SdkWindowProc;

    int outerWidth = info.m_Width;
    int outerHeight = info.m_Height;
    if (info.m_bAdjust) {
        SIZE outer = OuterSize(info.m_Width, info.m_Height, info.m_Style, info.m_ExStyle,
                               info.m_WndClass.lpszMenuName != nullptr);
        outerWidth = outer.cx;
        outerHeight = outer.cy;
    }
    if (info.m_bCenter) {
        POINT at = CentredOnScreen(outerWidth, outerHeight);
        info.m_X = at.x;
        info.m_Y = at.y;
    }

    const std::string className = info.GetClassName();
    const bool systemClass = IsSystemClass(className);
    if (!systemClass) {
        WNDCLASSEXA known;
        ZeroMemory(&known, sizeof(known));
        known.cbSize = sizeof(known);
        if (!GetClassInfoExA(info.m_WndClass.hInstance, className.c_str(), &known)) {
            // The menu is loaded and set per window instead.
            WNDCLASSEXA registration = info.m_WndClass;
            registration.lpszMenuName = nullptr;
            if (RegisterClassExA(&registration) == 0) {
                Destroy();
                return false;
            }
        }
    }

    HWND hwnd = CreateWindowExA(info.m_ExStyle, className.c_str(), info.m_Title.c_str(),
                                info.m_Style & ~kVisible, info.m_X, info.m_Y, outerWidth, outerHeight,
                                info.m_hParent, systemClass ? info.m_hMenu : nullptr,
                                info.m_WndClass.hInstance, nullptr);
    if (hwnd == nullptr) {
        Destroy();
        return false;
    }
    m_hWnd = hwnd;
    m_Info = info;

    if (!systemClass && HasMenu()) {
        m_hMenu = LoadMenuA(m_Info.m_WndClass.hInstance, m_Info.m_WndClass.lpszMenuName);
        if (m_hMenu != nullptr)
            ::SetMenu(m_hWnd, m_hMenu);
        else
            m_Info.SetMenuName(nullptr);
    }
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (m_Info.m_bFocus)
        SetFocus();
    m_pIME = new CIME(m_hWnd);
    if (systemClass) {
        m_pPrevWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWindow::SdkWindowProc));
    } else {
        m_pPrevWndProc = nullptr;
    }
    if ((m_Info.m_Style & kVisible) != 0) {
        ShowWindow(m_hWnd, SW_SHOW);
        UpdateWindow(m_hWnd);
        BringWindowToTop(m_hWnd);
    }
    return true;
}

void CWindow::Destroy()
{
    Thread::CCriticalLock lock(&m_Lock);
    SetFullScreen(0);
    if (m_hWnd != nullptr) {
        delete m_pIME;
        m_pIME = nullptr;
        if (m_hMenu != nullptr && GetMenu(m_hWnd) != nullptr)
            ::SetMenu(m_hWnd, nullptr);
        DestroyWindow(m_hWnd);
    }
    if (m_hMenu != nullptr)
        DestroyMenu(m_hMenu);
    m_hWnd = nullptr;
    m_hMenu = nullptr;
    m_pPrevWndProc = nullptr;
    m_Info.Clear();
}

bool CWindow::ShowAnimated(DWORD ms)
{
    if (m_hWnd == nullptr)
        return false;
    if (File::GetWindowsVersion() > 7)
        return AnimateWindow(m_hWnd, ms, AW_ACTIVATE | AW_BLEND) != FALSE;
    return Show();
}

bool CWindow::Show()
{
    if (m_hWnd == nullptr)
        return false;
    ShowWindow(m_hWnd, SW_SHOW);
    return true;
}

bool CWindow::HideAnimated(DWORD ms)
{
    if (m_hWnd == nullptr)
        return false;
    if (File::GetWindowsVersion() > 7)
        return AnimateWindow(m_hWnd, ms, AW_HIDE | AW_BLEND) != FALSE;
    return Hide();
}

bool CWindow::Hide()
{
    if (m_hWnd == nullptr)
        return false;
    ShowWindow(m_hWnd, SW_HIDE);
    return true;
}

bool CWindow::SetStyle(DWORD style)
{
    if (m_hWnd == nullptr)
        return false;
    // The previous style may be 0 itself: only the last error tells a failure.
    SetLastError(0);
    if (SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(style)) == 0 && GetLastError() != 0)
        return false;
    return SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                        SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

bool CWindow::SetExStyle(DWORD exStyle)
{
    if (m_hWnd == nullptr)
        return false;
    SetLastError(0);
    if (SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(exStyle)) == 0 && GetLastError() != 0)
        return false;
    return SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                        SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

bool CWindow::SetPosition(int x, int y)
{
    if (m_hWnd == nullptr)
        return false;
    return SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE) != FALSE;
}

bool CWindow::SetWindowSize(int width, int height)
{
    if (m_hWnd == nullptr)
        return false;
    return SetWindowPos(m_hWnd, nullptr, 0, 0, width, height, SWP_NOMOVE) != FALSE;
}

bool CWindow::SetClientSize(int width, int height)
{
    if (m_hWnd == nullptr)
        return false;
    DWORD style = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_STYLE));
    DWORD exStyle = static_cast<DWORD>(GetWindowLongA(m_hWnd, GWL_EXSTYLE));
    bool menu = m_Info.m_hParent == nullptr && HasMenu() && GetMenu(m_hWnd) != nullptr;
    SIZE outer = OuterSize(width, height, style, exStyle, menu);
    if (m_Info.m_bCenter) {
        POINT at = CentredOnScreen(outer.cx, outer.cy);
        m_Info.m_X = at.x;
        m_Info.m_Y = at.y;
    }
    if (!SetWindowPos(m_hWnd, nullptr, m_Info.m_X, m_Info.m_Y, outer.cx, outer.cy, SWP_NOZORDER))
        return false;
    m_Info.m_Width = width;
    m_Info.m_Height = height;
    return true;
}

bool CWindow::SetTitle(const std::string& title)
{
    if (m_hWnd == nullptr)
        return false;
    return SetWindowTextA(m_hWnd, title.c_str()) != FALSE;
}

std::string CWindow::GetTitle()
{
    if (m_hWnd == nullptr)
        return std::string();
    char buffer[260] = {};
    if (GetWindowTextA(m_hWnd, buffer, sizeof(buffer)) <= 0)
        return std::string();
    buffer[sizeof(buffer) - 1] = '\0';
    return buffer;
}

bool CWindow::ApplyStyle()
{
    return SetStyle(m_Info.m_Style);
}

bool CWindow::ApplyExStyle()
{
    return SetExStyle(m_Info.m_ExStyle);
}

bool CWindow::ApplyPosition()
{
    if (m_hWnd == nullptr)
        return false;
    int x = m_Info.m_X;
    int y = m_Info.m_Y;
    if (m_Info.m_bCenter) {
        RECT rect;
        if (!GetWindowRect(m_hWnd, &rect))
            return false;
        POINT at = CentredOnScreen(rect.right - rect.left, rect.bottom - rect.top);
        x = at.x;
        y = at.y;
    }
    return SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE) != FALSE;
}

bool CWindow::ApplyClientSize()
{
    return SetClientSize(m_Info.m_Width, m_Info.m_Height);
}

HWND CWindow::GetHWnd()
{
    return m_hWnd;
}

std::pair<int, int> CWindow::GetClientSize()
{
    return std::make_pair(m_Info.m_Width, m_Info.m_Height);
}

bool CWindow::IsActive()
{
    return m_hWnd != nullptr && GetActiveWindow() == m_hWnd && !::IsIconic(m_hWnd);
}

bool CWindow::IsIconic()
{
    return m_hWnd != nullptr && ::IsIconic(m_hWnd) != FALSE;
}

bool CWindow::HasMenu()
{
    return m_Info.m_WndClass.lpszMenuName != nullptr;
}

void CWindow::SetFocus()
{
    if (m_hWnd != nullptr)
        ::SetFocus(m_hWnd);
}

CIME* CWindow::GetIME()
{
    return m_pIME;
}

void CWindow::AddMsgHook(IWinMsgHook* hook)
{
    m_Hooks.AddHook(hook);
}

void CWindow::RemoveMsgHook(IWinMsgHook* hook)
{
    m_Hooks.RemoveHook(hook);
}

LRESULT CWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = OnMessage(hwnd, msg, wParam, lParam);
    if (result != 0)
        return result;
    return m_Hooks.Dispatch(hwnd, msg, wParam, lParam, m_pPrevWndProc, true);
}

LRESULT CWindow::OnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return 0;
}

LRESULT CALLBACK CWindow::SdkWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWindow* window = reinterpret_cast<CWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (window != nullptr)
        return window->WndProc(hwnd, msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool CWindow::HasLoadedMenu()
{
    return m_hMenu != nullptr;
}

bool CWindow::SetFullScreen(int mode)
{
    if (m_pChangeDisplay == nullptr)
        return false;
    if (mode != 0) {
        if (m_hWnd == nullptr)
            return false;
        if (HasLoadedMenu())
            ::SetMenu(m_hWnd, nullptr);
        SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(kFullScreenStyle));
        SetWindowLongA(m_hWnd, GWL_EXSTYLE, 0);
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, m_Info.m_Width, m_Info.m_Height, SWP_FRAMECHANGED);
        if (!m_pChangeDisplay->ChangeDisplay(m_Info.m_Width, m_Info.m_Height, mode)) {
            SetFullScreen(0);
            return false;
        }
        m_nFullScreenMode = mode;
        return true;
    }
    if (!m_pChangeDisplay->IsChanged())
        return true;
    if (!m_pChangeDisplay->Reset())
        return false;
    if (m_hWnd != nullptr) {
        if (HasLoadedMenu())
            ::SetMenu(m_hWnd, m_hMenu);
        SIZE outer = OuterSize(m_Info.m_Width, m_Info.m_Height, m_Info.m_Style, m_Info.m_ExStyle,
                               HasLoadedMenu());
        int x = m_Info.m_X;
        int y = m_Info.m_Y;
        if (m_Info.m_bCenter) {
            POINT at = CentredOnScreen(outer.cx, outer.cy);
            x = at.x;
            y = at.y;
        }
        SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(m_Info.m_Style));
        SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(m_Info.m_ExStyle));
        SetWindowPos(m_hWnd, HWND_NOTOPMOST, x, y, outer.cx, outer.cy, SWP_FRAMECHANGED);
    }
    m_nFullScreenMode = 0;
    return true;
}

bool CWindow::CheckDisplayModes(int depth)
{
    if (m_pChangeDisplay == nullptr)
        return false;
    static const int kModes[][2] = {{800, 600}, {1024, 768}, {1280, 960},
                                    {800, 450}, {1024, 576}, {1280, 720}};
    for (const auto& mode : kModes)
        if (!m_pChangeDisplay->IsModeAvailable(mode[0], mode[1], depth))
            return false;
    return true;
}

void CWindow::SelectDisplayChanger(int kind)
{
    CreateDisplayChanger(kind);
}

void CWindow::CreateDisplayChanger(int kind)
{
    DeleteDisplayChanger();
    if (kind == 1)
        m_pChangeDisplay = new CChangeDisplayDDraw;
    else
        m_pChangeDisplay = new CChangeDisplayWin32API;
}

void CWindow::DeleteDisplayChanger()
{
    delete m_pChangeDisplay;
    m_pChangeDisplay = nullptr;
}

bool CWindow::IsDisplayChanged()
{
    return m_pChangeDisplay != nullptr && m_pChangeDisplay->IsChanged();
}

int CWindow::GetFullScreenMode()
{
    return m_nFullScreenMode;
}

}}}
