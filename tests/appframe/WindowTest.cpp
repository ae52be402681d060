#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appframe/CWindow.h"
#include "appframe/CWindowInfo.h"
#include "appframe/IWinMsgHook.h"
#include "support/ImportHook.h"

using namespace Corvane::Base::AppFrame;

namespace {

CWindowInfo HiddenInfo(const std::string& className)
{
    CWindowInfo info;
    info.SetClassName(className);
    info.m_Style &= ~WS_VISIBLE;
    return info;
}

class RecordingHook : public IWinMsgHook {
public:
    std::vector<UINT> seen;
    UINT intercept = 0;
    LRESULT answer = 0;
    LRESULT HookProc(HWND, UINT msg, WPARAM, LPARAM) override
    {
        seen.push_back(msg);
        return msg == intercept ? answer : 0;
    }
};

int s_RegisterCalls = 0;
void* s_OriginalRegister = nullptr;
ATOM WINAPI CountingRegisterClassExA(const WNDCLASSEXA* wc)
{
    ++s_RegisterCalls;
    return reinterpret_cast<ATOM(WINAPI*)(const WNDCLASSEXA*)>(s_OriginalRegister)(wc);
}

int s_DisplayCalls = 0;
LONG WINAPI CountingChangeDisplaySettingsA(DEVMODEA*, DWORD)
{
    ++s_DisplayCalls;
    return DISP_CHANGE_SUCCESSFUL;
}

}  // namespace

TEST(WindowInfo, DefaultsDescribeACentredCaptionWindowOf1280By720)
{
    CWindowInfo info;
    EXPECT_EQ(sizeof(WNDCLASSEXA), info.m_WndClass.cbSize);
    EXPECT_EQ(std::string("Application"), info.m_WndClass.lpszClassName);
    EXPECT_EQ("Application", info.m_Title);
    EXPECT_EQ(0x90CA0000u, info.m_Style);
    EXPECT_EQ(0u, info.m_ExStyle);
    EXPECT_EQ(1280, info.m_Width);
    EXPECT_EQ(720, info.m_Height);
    EXPECT_TRUE(info.m_bCenter);
    EXPECT_TRUE(info.m_bAdjust);
    EXPECT_FALSE(info.m_bFocus);
    EXPECT_EQ(nullptr, info.m_WndClass.lpszMenuName);
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), info.m_WndClass.hbrBackground);
    // A copy carries its own class name.
    CWindowInfo copy(info);
    info.SetClassName("Other");
    EXPECT_EQ(std::string("Application"), copy.m_WndClass.lpszClassName);
}

TEST(Window, ListBoxWindowRoutesMessagesThroughTheHooksFirst)
{
    CWindow window;
    CWindowInfo info = HiddenInfo("LISTBOX");
    info.m_bCenter = false;
    ASSERT_TRUE(window.Create(info));
    HWND hwnd = window.GetHWnd();
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof(className));
    EXPECT_EQ(0, lstrcmpiA("ListBox", className));

    RecordingHook hook;
    window.AddMsgHook(&hook);
    // A hook that answers takes the message away from the list box.
    hook.intercept = LB_ADDSTRING;
    hook.answer = 77;
    EXPECT_EQ(77, SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("eaten")));
    EXPECT_EQ(0, SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
    // One that does not passes it on to the list box's own procedure.
    hook.intercept = 0;
    EXPECT_EQ(0, SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("kept")));
    EXPECT_EQ(1, SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
    ASSERT_GE(hook.seen.size(), 2u);
    EXPECT_EQ(static_cast<UINT>(LB_ADDSTRING), hook.seen[0]);

    window.RemoveMsgHook(&hook);
    window.Destroy();
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(nullptr, window.GetHWnd());
}

TEST(Window, ClassIsRegisteredOnceForTwoWindows)
{
    s_OriginalRegister = reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "RegisterClassExA"));
    TestSupport::ImportHook hook("user32.dll", "RegisterClassExA",
                                 reinterpret_cast<void*>(&CountingRegisterClassExA));
    ASSERT_TRUE(hook.Installed());
    s_RegisterCalls = 0;
    CWindow first;
    CWindow second;
    ASSERT_TRUE(first.Create(HiddenInfo("CorvaneWindowTestOnce")));
    ASSERT_TRUE(second.Create(HiddenInfo("CorvaneWindowTestOnce")));
    EXPECT_EQ(1, s_RegisterCalls);
    EXPECT_NE(first.GetHWnd(), second.GetHWnd());
    // The registered procedure reaches each window's own object.
    RecordingHook a, b;
    first.AddMsgHook(&a);
    second.AddMsgHook(&b);
    SendMessageA(second.GetHWnd(), WM_USER + 7, 0, 0);
    EXPECT_TRUE(a.seen.empty());
    ASSERT_FALSE(b.seen.empty());
    EXPECT_EQ(static_cast<UINT>(WM_USER + 7), b.seen.back());
}

TEST(Window, ClientAreaIsExactlyTheDescribedSizeAndCentred)
{
    CWindow window;
    ASSERT_TRUE(window.Create(HiddenInfo("CorvaneWindowTestSize")));
    HWND hwnd = window.GetHWnd();
    RECT client;
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(1280, client.right - client.left);
    EXPECT_EQ(720, client.bottom - client.top);
    RECT outer;
    ASSERT_TRUE(GetWindowRect(hwnd, &outer));
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2, outer.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2, outer.top);
    // Created without WS_VISIBLE; the system may add WS_CLIPSIBLINGS.
    EXPECT_EQ(0x80CA0000u, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & 0x90CA0000u);

    // Changing the client size keeps the client exact.
    ASSERT_TRUE(window.SetClientSize(640, 480));
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(640, client.right);
    EXPECT_EQ(480, client.bottom);
    EXPECT_EQ(std::make_pair(640, 480), window.GetClientSize());

    ASSERT_TRUE(window.SetTitle("題名"));
    EXPECT_EQ("題名", window.GetTitle());
}

TEST(Window, OperationsWithoutAWindowAnswerFalse)
{
    CWindow window;
    EXPECT_FALSE(window.Show());
    EXPECT_FALSE(window.SetStyle(WS_POPUP));
    EXPECT_FALSE(window.SetClientSize(10, 10));
    EXPECT_FALSE(window.SetFullScreen(32));
    EXPECT_EQ("", window.GetTitle());
}

TEST(Window, WindowedWithoutAChangeDoesNotTouchTheDisplay)
{
    TestSupport::ImportHook hook("user32.dll", "ChangeDisplaySettingsA",
                                 reinterpret_cast<void*>(&CountingChangeDisplaySettingsA));
    ASSERT_TRUE(hook.Installed());
    s_DisplayCalls = 0;
    {
        CWindow window;
        ASSERT_TRUE(window.Create(HiddenInfo("CorvaneWindowTestWindowed")));
        EXPECT_TRUE(window.SetFullScreen(0));
        EXPECT_FALSE(window.IsDisplayChanged());
        EXPECT_EQ(0, window.GetFullScreenMode());
    }
    EXPECT_EQ(0, s_DisplayCalls);
}
