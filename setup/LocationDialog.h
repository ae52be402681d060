#pragma once

#include <windows.h>

#include <string>

namespace Setup {

// Results of the install-location dialog (resource 106).
enum LocationResult {
    kLocationLeave = 0,  // Enter, Escape or the close box
    kLocationStart = 1,  // "インストール開始" and every check passed
    kLocationBack = 2,   // "戻る"
};

// Bytes the add-on needs, every file with its whole 64-bit size; set when the dialog opens.
extern unsigned long long g_nRequiredSize;
// The side picture loaded from DialogBitmap while the dialog is open; null when none.
extern HBITMAP g_hLocationBitmap;

// Sum of the sizes of every file below a folder; 0 for a missing or empty one.
unsigned long long SumFileSizes(const std::string& folder);

INT_PTR CALLBACK LocationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace Setup
