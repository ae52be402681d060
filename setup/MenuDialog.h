#pragma once

#include <windows.h>

namespace Setup {

// Results of the menu dialog (resource 101).
enum MenuResult {
    kMenuLeave = 0,    // "終了", Escape or the close box
    kMenuInstall = 2,  // "追加インストール": on to the target dialog
    kMenuWeb = 6,      // "Webアンケート": open the questionnaire and leave
};

// The side picture loaded from DialogBitmap while the dialog is open; null when none.
extern HBITMAP g_hMenuBitmap;

INT_PTR CALLBACK MenuDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace Setup
