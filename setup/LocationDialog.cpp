#include "LocationDialog.h"

#include "InstallLocation.h"
#include "SetupMain.h"
#include "file/CEnumFilename.h"
#include "file/CFindFile.h"
#include "file/FileSystem.h"
#include "file/PathText.h"
#include "resource.h"

namespace Setup {

using namespace Corvane::Base::File;

unsigned long long g_nRequiredSize = 0;
HBITMAP g_hLocationBitmap = nullptr;

namespace {

void FreeLocationBitmap()
{
    if (g_hLocationBitmap) {
        DeleteObject(g_hLocationBitmap);
        g_hLocationBitmap = nullptr;
    }
}

void Leave(HWND dialog, INT_PTR result)
{
    EndDialog(dialog, result);
    FreeLocationBitmap();
}

const char* CheckMessage(LocationCheck check)
{
    switch (check) {
    case LocationCheck::kInvalidFolder:
        return "無効なフォルダが選択されています";
    case LocationCheck::kReadOnlyDrive:
        return "読み取り専用のドライブが選択されています。\n別のドライブを指定してください。";
    case LocationCheck::kNotEnoughSpace:
        return "ドライブの容量が不足しています。\n別のドライブを指定してください。";
    case LocationCheck::kAccepted:
        break;
    }
    return nullptr;
}

void OnStart(HWND dialog)
{
    // The free space is measured again now; the required size is the one from opening.
    std::string root = GetDriveRoot(g_szTargetDirectory);
    bool cdrom = !root.empty() && GetDriveTypeA(root.c_str()) == DRIVE_CDROM;
    unsigned long long free = root.empty() || cdrom ? 0 : GetFreeDiskSpace(root);
    LocationCheck check = CheckInstallLocation(root, cdrom, free, g_nRequiredSize);
    if (const char* text = CheckMessage(check)) {
        MessageBoxA(dialog, text, "エラー", MB_ICONERROR);
        return;
    }
    Leave(dialog, kLocationStart);
}

}  // namespace

unsigned long long SumFileSizes(const std::string& folder)
{
    CEnumFilename list;
    list.Enumerate(folder, "*.*", true);
    unsigned long long total = 0;
    for (int i = 0; i < list.GetCount(); ++i) {
        CFindFile find;
        WIN32_FIND_DATAA data;
        if (!find.FindFirst(list.GetFilename(i), &data))
            continue;
        total += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return total;
}

INT_PTR CALLBACK LocationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        FreeLocationBitmap();
        g_hLocationBitmap = static_cast<HBITMAP>(
            LoadImageA(nullptr, g_szDialogBitmap.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (g_hLocationBitmap)
            SendDlgItemMessageA(dialog, IDC_SIDE_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                                reinterpret_cast<LPARAM>(g_hLocationBitmap));
        SetDlgItemTextA(dialog, IDC_LOCATION_FOLDER, g_szTargetDirectory.c_str());
        unsigned long long free = GetFreeDiskSpace(GetDriveRoot(g_szTargetDirectory));
        SetDlgItemTextA(dialog, IDC_LOCATION_FREE, FormatMegabytes(free).c_str());
        g_nRequiredSize = SumFileSizes(g_szDiskDirectory);
        SetDlgItemTextA(dialog, IDC_LOCATION_REQUIRED, FormatMegabytes(g_nRequiredSize).c_str());
        SetWindowTextA(dialog, FormatString("%sへの追加", g_szAppName.c_str()).c_str());
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_LOCATION_START:
            OnStart(dialog);
            return TRUE;
        case IDC_LOCATION_BACK:
            Leave(dialog, kLocationBack);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            Leave(dialog, kLocationLeave);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        FreeLocationBitmap();
        return FALSE;
    }
    return FALSE;
}

}  // namespace Setup
