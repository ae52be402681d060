#include "MenuDialog.h"

#include <commctrl.h>

#include "ProcessUtility.h"
#include "appframe/CAppInitializer.h"
#include "file/FileSystem.h"
#include "resource.h"

namespace Setup {

using Corvane::Base::AppFrame::CAppInitializer;
using Corvane::Base::File::ExecuteProgram;

HBITMAP g_hMenuBitmap = nullptr;

namespace {

const int kWindowsVista = 11;

void FreeMenuBitmap()
{
    if (g_hMenuBitmap) {
        DeleteObject(g_hMenuBitmap);
        g_hMenuBitmap = nullptr;
    }
}

void Leave(HWND dialog, INT_PTR result)
{
    EndDialog(dialog, result);
    FreeMenuBitmap();
}

// Runtime installers start and are left to run: the menu stays usable.
void StartRuntimeInstaller(const char* program)
{
    ExecuteProgram(program, false, std::string(), std::string());
}

}  // namespace

INT_PTR CALLBACK MenuDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        std::string picture = CAppInitializer::GetInitializerScript().GetValue("DialogBitmap");
        FreeMenuBitmap();
        g_hMenuBitmap = static_cast<HBITMAP>(LoadImageA(nullptr, picture.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (g_hMenuBitmap)
            SendDlgItemMessageA(dialog, IDC_SIDE_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(g_hMenuBitmap));
        if (Corvane::Base::File::GetWindowsVersion() >= kWindowsVista)
            SendDlgItemMessageA(dialog, IDC_MENU_WEB, BCM_SETSHIELD, 0, TRUE);
        SetWindowTextA(dialog, "ケルナディアVC版 追加セットアップ");
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MENU_INSTALL:
            Leave(dialog, kMenuInstall);
            return TRUE;
        case IDC_MENU_WEB:
            Leave(dialog, kMenuWeb);
            return TRUE;
        case IDCANCEL:
            Leave(dialog, kMenuLeave);
            return TRUE;
        case IDC_MENU_README:
            ShellOpen(nullptr, "readme.txt", "edit");
            return TRUE;
        case IDC_MENU_DIRECTX:
            StartRuntimeInstaller("DirectX9\\dxsetup.exe");
            return TRUE;
        case IDC_MENU_SPEECH:
            StartRuntimeInstaller("SpeechSDK51\\setup.exe");
            return TRUE;
        case IDC_MENU_LANGPACK:
            StartRuntimeInstaller("LangPack\\setup.exe");
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        // Also when the dialog goes some other way than its buttons.
        FreeMenuBitmap();
        return FALSE;
    }
    return FALSE;
}

}  // namespace Setup
