// setup_menu_probe.exe: setup's own main routine, placed in a distribution
// folder in setup.exe's stead, with the one confirmation box failing as a
// box that cannot be shown does, so the menu dialogs take over.
//   MENU_PROBE_LOG   file that gets "shield ID VALUE" for every shield set on a button
//   MENU_PROBE_FREE  file holding the free bytes every drive reports, read at each
//                    query (without it, the real free space)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "SetupMain.h"
#include "appframe/CAppInitializer.h"
#include "support/ImportHook.h"

namespace {

typedef int(WINAPI* MessageBoxFn)(HWND, LPCSTR, LPCSTR, UINT);
typedef LRESULT(WINAPI* SendDlgItemMessageFn)(HWND, int, UINT, WPARAM, LPARAM);
typedef FARPROC(WINAPI* GetProcAddressFn)(HMODULE, LPCSTR);

MessageBoxFn g_originalBox;
SendDlgItemMessageFn g_originalSend;
GetProcAddressFn g_originalGetProc;

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA(name, value, MAX_PATH);
    return n > 0 && n < MAX_PATH ? value : "";
}

int WINAPI FailingConfirmation(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if ((type & MB_TYPEMASK) == MB_YESNO) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    return g_originalBox(owner, text, caption, type);
}

LRESULT WINAPI LoggingSend(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == BCM_SETSHIELD) {
        if (FILE* f = std::fopen(Environment("MENU_PROBE_LOG").c_str(), "ab")) {
            std::fprintf(f, "shield %d %ld\n", id, static_cast<long>(lParam));
            std::fclose(f);
        }
    }
    return g_originalSend(dialog, id, message, wParam, lParam);
}

BOOL WINAPI FixedFreeSpace(LPCSTR, PULARGE_INTEGER available, PULARGE_INTEGER total, PULARGE_INTEGER totalFree)
{
    unsigned long long bytes = 0;
    if (FILE* f = std::fopen(Environment("MENU_PROBE_FREE").c_str(), "rb")) {
        if (std::fscanf(f, "%llu", &bytes) != 1)
            bytes = 0;
        std::fclose(f);
    }
    if (available) available->QuadPart = bytes;
    if (total) total->QuadPart = bytes;
    if (totalFree) totalFree->QuadPart = bytes;
    return TRUE;
}

FARPROC WINAPI SteeringGetProc(HMODULE module, LPCSTR name)
{
    if (HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && lstrcmpA(name, "GetDiskFreeSpaceExA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FixedFreeSpace));
    return g_originalGetProc(module, name);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    TestSupport::ImportHook box("user32.dll", "MessageBoxA", reinterpret_cast<void*>(&FailingConfirmation));
    g_originalBox = reinterpret_cast<MessageBoxFn>(box.Original());
    if (!box.Installed())
        return 3;
    TestSupport::ImportHook send("user32.dll", "SendDlgItemMessageA", reinterpret_cast<void*>(&LoggingSend));
    g_originalSend = reinterpret_cast<SendDlgItemMessageFn>(send.Original());
    if (!Environment("MENU_PROBE_LOG").empty() && !send.Installed())
        return 4;
    std::unique_ptr<TestSupport::ImportHook> getProc;
    if (!Environment("MENU_PROBE_FREE").empty()) {
        getProc.reset(new TestSupport::ImportHook("kernel32.dll", "GetProcAddress",
                                                  reinterpret_cast<void*>(&SteeringGetProc)));
        g_originalGetProc = reinterpret_cast<GetProcAddressFn>(getProc->Original());
        if (!getProc->Installed())
            return 5;
    }
    {
        Corvane::Base::AppFrame::CAppInitializer initializer(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
        Setup::RunSetup();
    }
    return 0;
}
