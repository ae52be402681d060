#include <windows.h>
#include <ddraw.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appframe/CAppBase.h"
#include "appframe/CAppManager.h"
#include "appframe/CChangeDisplayDDraw.h"
#include "appframe/CChangeDisplayWin32API.h"
#include "appframe/CWindow.h"
#include "appframe/CWindowInfo.h"
#include "graphics/CDirectDrawManager.h"
#include "support/DebugCapture.h"
#include "support/ImportHook.h"

using namespace Corvane::Base::AppFrame;
using Corvane::Base::Graphics::Graphics2D::GetDirectDrawManager;

namespace {

// What the changers asked the system for, in order: display calls and sleeps.
struct Call {
    std::string what;  // "mode", "reset", "sleep"
    DWORD width, height, depth, fields, frequency, flags;
};
std::vector<Call> s_Calls;
std::vector<LONG> s_Answers;  // answers of the next display calls; success when used up

LONG WINAPI FakeChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags)
{
    Call call = {};
    call.what = mode == nullptr ? "reset" : "mode";
    if (mode != nullptr) {
        call.width = mode->dmPelsWidth;
        call.height = mode->dmPelsHeight;
        call.depth = mode->dmBitsPerPel;
        call.fields = mode->dmFields;
        call.frequency = mode->dmDisplayFrequency;
        EXPECT_EQ(156, mode->dmSize);
    }
    call.flags = flags;
    s_Calls.push_back(call);
    if (s_Answers.empty())
        return DISP_CHANGE_SUCCESSFUL;
    LONG answer = s_Answers.front();
    s_Answers.erase(s_Answers.begin());
    return answer;
}

DWORD s_SleepThread = 0;
void WINAPI RecordingSleep(DWORD ms)
{
    // Only the test's own thread is recorded; others keep their pace.
    if (GetCurrentThreadId() == s_SleepThread) {
        Call call = {};
        call.what = "sleep";
        call.width = ms;
        s_Calls.push_back(call);
    }
    SleepEx(ms, FALSE);
}

std::string Describe(const std::vector<Call>& calls)
{
    std::string text;
    char buffer[128];
    for (const Call& c : calls) {
        if (c.what == "sleep")
            wsprintfA(buffer, "sleep %lu;", c.width);
        else if (c.what == "reset")
            wsprintfA(buffer, "reset %lu;", c.flags);
        else
            wsprintfA(buffer, "mode %lux%lux%lu f=%lX hz=%s fl=%lu;", c.width, c.height, c.depth, c.fields,
                      c.frequency != 0 ? "set" : "0", c.flags);
        text += buffer;
    }
    return text;
}

class DisplayHooks {
public:
    DisplayHooks()
        : m_Display("user32.dll", "ChangeDisplaySettingsA", reinterpret_cast<void*>(&FakeChangeDisplaySettingsA)),
          m_Sleep("kernel32.dll", "Sleep", reinterpret_cast<void*>(&RecordingSleep))
    {
        s_Calls.clear();
        s_Answers.clear();
        s_SleepThread = GetCurrentThreadId();
    }
    ~DisplayHooks() { s_SleepThread = 0; }
    bool Installed() const { return m_Display.Installed() && m_Sleep.Installed(); }

private:
    TestSupport::ImportHook m_Display;
    TestSupport::ImportHook m_Sleep;
};

const LONG kFail = DISP_CHANGE_FAILED;

}  // namespace

TEST(ChangeDisplayWin32API, AsksTheSystemForTheModeInTheRightOrder)
{
    const struct {
        const char* name;
        std::vector<LONG> answers;
        int depth;
        bool result;
        bool changedAfter;
        const char* calls;
    } cases[] = {
        {"current refresh rate first", {}, 32, true, true,
         "sleep 100;mode 800x600x32 f=5C0000 hz=set fl=4;sleep 200;"},
        {"without the refresh rate when that fails", {kFail}, 16, true, true,
         "sleep 100;mode 800x600x16 f=5C0000 hz=set fl=4;mode 800x600x16 f=1C0000 hz=0 fl=4;sleep 200;"},
        {"both refused", {kFail, kFail}, 16, false, true,
         "sleep 100;mode 800x600x16 f=5C0000 hz=set fl=4;mode 800x600x16 f=1C0000 hz=0 fl=4;"},
        {"depth 0 is a reset of nothing", {}, 0, true, false, ""},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        DisplayHooks hooks;
        ASSERT_TRUE(hooks.Installed());
        CChangeDisplayWin32API changer;
        s_Answers = cases[i].answers;
        EXPECT_EQ(cases[i].result, changer.ChangeDisplay(800, 600, cases[i].depth)) << "case " << i << ": " << cases[i].name;
        EXPECT_EQ(cases[i].calls, Describe(s_Calls)) << "case " << i << ": " << cases[i].name;
        EXPECT_EQ(cases[i].changedAfter, changer.IsChanged()) << "case " << i;
        EXPECT_EQ(1, changer.GetKind()) << "case " << i;
        s_Calls.clear();
        s_Answers.clear();
        EXPECT_TRUE(changer.Reset()) << "case " << i;
        EXPECT_EQ(cases[i].changedAfter ? "reset 0;" : "", Describe(s_Calls)) << "case " << i;
        EXPECT_FALSE(changer.IsChanged()) << "case " << i;
    }
}

TEST(ChangeDisplayWin32API, ModeTestsAskWithTheTestFlagAndDepth15As16)
{
    DisplayHooks hooks;
    ASSERT_TRUE(hooks.Installed());
    CChangeDisplayWin32API changer;
    EXPECT_TRUE(changer.IsModeAvailable(800, 600, 15));
    EXPECT_TRUE(changer.IsModeAvailable(1024, 768, 0));
    s_Answers = {DISP_CHANGE_BADMODE};
    EXPECT_FALSE(changer.IsModeAvailable(1280, 720, 24));
    EXPECT_EQ("mode 800x600x16 f=1C0000 hz=0 fl=2;mode 1280x720x24 f=1C0000 hz=0 fl=2;", Describe(s_Calls));
    EXPECT_FALSE(changer.IsChanged());
}

TEST(ChangeDisplayWin32API, DestroyedWhileChangedRestoresTheDisplay)
{
    DisplayHooks hooks;
    ASSERT_TRUE(hooks.Installed());
    TestSupport::DebugCapture capture;
    const struct {
        LONG resetAnswer;
        int faults;
    } cases[] = {{DISP_CHANGE_SUCCESSFUL, 0}, {kFail, 1}};
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        capture.Clear();
        {
            CChangeDisplayWin32API changer;
            ASSERT_TRUE(changer.ChangeDisplay(640, 480, 16)) << "case " << i;
            s_Calls.clear();
            s_Answers = {cases[i].resetAnswer};
        }
        EXPECT_EQ("reset 0;", Describe(s_Calls)) << "case " << i;
        EXPECT_EQ(cases[i].faults, capture.Count("CChangeDisplayWin32API::_Finalize() 後処理に失敗した")) << "case " << i;
    }
}

TEST(ChangeDisplayDDraw, WithoutAnApplicationWindowItIsTheWin32ChangerOfKind2)
{
    TestSupport::DebugCapture capture;
    DisplayHooks hooks;
    ASSERT_TRUE(hooks.Installed());
    {
        CChangeDisplayDDraw changer;
        EXPECT_EQ(1, capture.Count("CChangeDisplayDDraw::CChangeDisplayDDraw() CAppManager::GetHWnd()に失敗.以後Win32APIを使用します"));
        EXPECT_EQ(2, changer.GetKind());
        EXPECT_TRUE(changer.ChangeDisplay(1024, 768, 32));
        EXPECT_TRUE(changer.IsChanged());
        EXPECT_TRUE(changer.IsModeAvailable(800, 600, 15));
        EXPECT_EQ("sleep 100;mode 1024x768x32 f=5C0000 hz=set fl=4;sleep 200;mode 800x600x16 f=1C0000 hz=0 fl=2;",
                  Describe(s_Calls));
        s_Calls.clear();
    }
    // Its Win32 changer restores the display on the way out.
    EXPECT_EQ("reset 0;", Describe(s_Calls));
}

namespace {

// Stands in for the display driver's DirectDraw object; records what it is asked.
class FakeDirectDraw : public IDirectDraw2 {
public:
    std::vector<std::string> calls;
    HWND cooperativeWindow = nullptr;
    HRESULT cooperativeAnswer = DD_OK;
    LONG refs = 1;

    STDMETHOD(QueryInterface)(REFIID, void** out) override { *out = nullptr; return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return static_cast<ULONG>(InterlockedIncrement(&refs)); }
    STDMETHOD_(ULONG, Release)() override { return static_cast<ULONG>(InterlockedDecrement(&refs)); }
    STDMETHOD(Compact)() override { return E_NOTIMPL; }
    STDMETHOD(CreateClipper)(DWORD, LPDIRECTDRAWCLIPPER*, IUnknown*) override { return E_NOTIMPL; }
    STDMETHOD(CreatePalette)(DWORD, LPPALETTEENTRY, LPDIRECTDRAWPALETTE*, IUnknown*) override { return E_NOTIMPL; }
    STDMETHOD(CreateSurface)(LPDDSURFACEDESC, LPDIRECTDRAWSURFACE*, IUnknown*) override { return E_NOTIMPL; }
    STDMETHOD(DuplicateSurface)(LPDIRECTDRAWSURFACE, LPDIRECTDRAWSURFACE*) override { return E_NOTIMPL; }
    STDMETHOD(EnumDisplayModes)(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMMODESCALLBACK) override { return E_NOTIMPL; }
    STDMETHOD(EnumSurfaces)(DWORD, LPDDSURFACEDESC, LPVOID, LPDDENUMSURFACESCALLBACK) override { return E_NOTIMPL; }
    STDMETHOD(FlipToGDISurface)() override { return E_NOTIMPL; }
    STDMETHOD(GetCaps)(LPDDCAPS, LPDDCAPS) override { return E_NOTIMPL; }
    STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC) override { return E_NOTIMPL; }
    STDMETHOD(GetFourCCCodes)(LPDWORD, LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetGDISurface)(LPDIRECTDRAWSURFACE*) override { return E_NOTIMPL; }
    STDMETHOD(GetMonitorFrequency)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetScanLine)(LPDWORD) override { return E_NOTIMPL; }
    STDMETHOD(GetVerticalBlankStatus)(WINBOOL*) override { return E_NOTIMPL; }
    STDMETHOD(Initialize)(GUID*) override { return E_NOTIMPL; }
    STDMETHOD(RestoreDisplayMode)() override
    {
        calls.push_back("restore");
        return DD_OK;
    }
    STDMETHOD(SetCooperativeLevel)(HWND hwnd, DWORD flags) override
    {
        char text[64];
        wsprintfA(text, "level 0x%lX", flags);
        calls.push_back(text);
        cooperativeWindow = hwnd;
        return cooperativeAnswer;
    }
    STDMETHOD(SetDisplayMode)(DWORD w, DWORD h, DWORD bpp, DWORD rate, DWORD flags) override
    {
        char text[64];
        wsprintfA(text, "mode %lux%lux%lu %lu %lu", w, h, bpp, rate, flags);
        calls.push_back(text);
        return DD_OK;
    }
    STDMETHOD(WaitForVerticalBlank)(DWORD, HANDLE) override { return E_NOTIMPL; }
    STDMETHOD(GetAvailableVidMem)(LPDDSCAPS, LPDWORD, LPDWORD) override { return E_NOTIMPL; }
};

class HiddenApp : public CAppBase {
public:
    void OnSetupWindowInfo(CWindowInfo& info) override
    {
        info.SetClassName("CorvaneDDrawTest");
        info.m_Style = WS_POPUP;
        info.m_Width = 64;
        info.m_Height = 48;
    }
    ~HiddenApp() override { Stop(); }
};

struct DDrawRun {
    DWORD owner = 0;
    FakeDirectDraw* fake = nullptr;
    HRESULT cooperativeAnswer = DD_OK;
    bool changed = false, reset = false, changedAfterReset = true, fullScreenWhileChanged = false;
    int kind = 0;
    std::string calls;
    static DWORD WINAPI Body(LPVOID p)
    {
        DDrawRun* self = static_cast<DDrawRun*>(p);
        GetAppManager()->AttachThread(self->owner);
        DisplayHooks hooks;
        CChangeDisplayDDraw changer;
        self->kind = changer.GetKind();
        self->fake->cooperativeAnswer = self->cooperativeAnswer;
        self->changed = changer.ChangeDisplay(1024, 768, 16);
        self->fullScreenWhileChanged = GetDirectDrawManager()->Find(GetAppManager()->GetHWnd())->IsFullScreen();
        self->fake->cooperativeAnswer = DD_OK;
        self->reset = changer.Reset();
        self->changedAfterReset = changer.IsChanged();
        for (const std::string& c : self->fake->calls)
            self->calls += c + ";";
        self->calls += "|" + Describe(s_Calls);
        return 0;
    }
};

}  // namespace

TEST(ChangeDisplayDDraw, SwitchesThroughTheWindowsDirectDrawObject)
{
    HiddenApp app;
    ASSERT_TRUE(app.Run());
    const struct {
        HRESULT cooperativeAnswer;
        bool changed;
        const char* calls;
        int faults;
    } cases[] = {
        {DD_OK, true, "level 0x411;mode 1024x768x16 0 0;restore;level 0x408;|sleep 100;sleep 200;sleep 100;sleep 200;", 0},
        {DDERR_EXCLUSIVEMODEALREADYSET, false, "level 0x411;restore;level 0x408;|sleep 100;sleep 100;sleep 200;", 1},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        TestSupport::DebugCapture capture;
        FakeDirectDraw fake;
        ASSERT_TRUE(GetDirectDrawManager()->Register(app.GetHWnd(), &fake)) << "case " << i;
        EXPECT_FALSE(GetDirectDrawManager()->Register(app.GetHWnd(), &fake)) << "one object per window; case " << i;
        DDrawRun run;
        run.owner = app.GetThreadId();
        run.fake = &fake;
        run.cooperativeAnswer = cases[i].cooperativeAnswer;
        HANDLE thread = CreateThread(nullptr, 0, &DDrawRun::Body, &run, 0, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000)) << "case " << i;
        CloseHandle(thread);
        EXPECT_EQ(2, run.kind) << "case " << i;
        EXPECT_EQ(cases[i].changed, run.changed) << "case " << i;
        EXPECT_TRUE(run.reset) << "case " << i;
        EXPECT_FALSE(run.changedAfterReset) << "case " << i;
        EXPECT_EQ(cases[i].changed, run.fullScreenWhileChanged) << "case " << i;
        EXPECT_EQ(app.GetHWnd(), fake.cooperativeWindow) << "case " << i;
        EXPECT_EQ(cases[i].calls, run.calls) << "case " << i;
        EXPECT_EQ(cases[i].faults, capture.Count("CChangeDisplayDDraw::ChangeDisplay() SetCooperativeLevelに失敗")) << "case " << i;
        EXPECT_EQ(0, capture.Count("以後Win32APIを使用します")) << "case " << i;
        EXPECT_TRUE(GetDirectDrawManager()->Unregister(app.GetHWnd())) << "case " << i;
        EXPECT_EQ(1, fake.refs) << "the registry gives its reference back; case " << i;
    }
    app.Close();
    app.Stop();
}
