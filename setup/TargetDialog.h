#pragma once

#include <windows.h>

#include <string>

namespace Setup {

// Results of the target dialog (resource 104).
enum TargetResult {
    kTargetLeave = 0,  // Escape or the close box
    kTargetHigh = 1,   // the high-resolution edition chosen
    kTargetLow = 2,    // the low-resolution edition chosen
    kTargetBack = 4,   // "戻る": back to the menu
};

// The installation records the dialog looks for.
extern const char kHighResVcRecord[];
extern const char kHighResRecord[];
extern const char kLowResVcRecord[];
extern const char kLowResRecord[];

// Name and folder of each edition that may receive the add-on; empty otherwise.
extern std::string g_szHighResName;
extern std::string g_szHighResFolder;
extern std::string g_szLowResName;
extern std::string g_szLowResFolder;

// The choice replaces g_szAppName and g_szTargetDirectory.
INT_PTR CALLBACK TargetDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace Setup
