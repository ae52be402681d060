#include "TargetDialog.h"

#include <shlwapi.h>

#include "SetupMain.h"
#include "auxiliary/CSetupHelper2.h"
#include "resource.h"

namespace Setup {

using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::SetupInformationRecord;

const char kHighResVcRecord[] = "ケルナディアVC版(高解像度版)";
const char kHighResRecord[] = "ケルナディア(高解像度版)";
const char kLowResVcRecord[] = "ケルナディアVC版(低解像度版)";
const char kLowResRecord[] = "ケルナディア(低解像度版)";

std::string g_szHighResName;
std::string g_szHighResFolder;
std::string g_szLowResName;
std::string g_szLowResFolder;

namespace {

// One edition's label and button from its records; the name and folder are
// kept only when the button is enabled.
void ShowEdition(HWND dialog, CSetupHelper2& helper, const char* vcRecord, const char* plainRecord, int label,
                 int button, std::string& name, std::string& folder)
{
    name.clear();
    folder.clear();
    SetupInformationRecord record;
    bool enable = false;
    if (helper.FindSetupInformation(vcRecord, record)) {
        SetDlgItemTextA(dialog, label, "すでにVC版がインストールされています");
    } else if (helper.FindSetupInformation(plainRecord, record)) {
        std::string pack = record.m_InstallFolder + "\\voice2.pak";
        if (PathFileExistsA(pack.c_str())) {
            SetDlgItemTextA(dialog, label, "すでに追加されています");
        } else {
            SetDlgItemTextA(dialog, label, record.m_InstallFolder.c_str());
            name = plainRecord;
            folder = record.m_InstallFolder;
            enable = true;
        }
    } else {
        SetDlgItemTextA(dialog, label, "インストールされていません");
    }
    EnableWindow(GetDlgItem(dialog, button), enable);
}

}  // namespace

INT_PTR CALLBACK TargetDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        // Holds Information.reg open unshared: gone before the dialog returns.
        CSetupHelper2 helper;
        ShowEdition(dialog, helper, kHighResVcRecord, kHighResRecord, IDC_TARGET_HIGH_LABEL, IDC_TARGET_HIGH,
                    g_szHighResName, g_szHighResFolder);
        ShowEdition(dialog, helper, kLowResVcRecord, kLowResRecord, IDC_TARGET_LOW_LABEL, IDC_TARGET_LOW,
                    g_szLowResName, g_szLowResFolder);
        return FALSE;
    }
    case WM_COMMAND:
        // A disabled edition's button has no name or folder behind it, whoever sends the command.
        if ((LOWORD(wParam) == IDC_TARGET_HIGH || LOWORD(wParam) == IDC_TARGET_LOW) &&
            !IsWindowEnabled(GetDlgItem(dialog, LOWORD(wParam))))
            return TRUE;
        switch (LOWORD(wParam)) {
        case IDC_TARGET_HIGH:
            g_szAppName = g_szHighResName;
            g_szTargetDirectory = g_szHighResFolder;
            EndDialog(dialog, kTargetHigh);
            return TRUE;
        case IDC_TARGET_LOW:
            g_szAppName = g_szLowResName;
            g_szTargetDirectory = g_szLowResFolder;
            EndDialog(dialog, kTargetLow);
            return TRUE;
        case IDC_TARGET_BACK:
            EndDialog(dialog, kTargetBack);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, kTargetLeave);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace Setup
