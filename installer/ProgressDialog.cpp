#include "ProgressDialog.h"

#include <commctrl.h>

#include "InstallerArguments.h"
#include "appframe/CAppInitializer.h"
#include "file/FileSystem.h"
#include "file/PathText.h"
#include "resource.h"

namespace Installer {

using Corvane::Base::AppFrame::CAppInitializer;
using Corvane::Base::AppFrame::CInitializerScript;
using Corvane::Base::File::FormatString;

bool g_bCancelRequested = false;
HBITMAP g_hFinishedBitmap = nullptr;

void PumpDialogMessages(HWND dialog)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        if (MessageBoxA(window, "セットアップをキャンセルしますか？", "確認",
                        MB_YESNO | MB_ICONINFORMATION) == IDYES)
            g_bCancelRequested = true;
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK FinishedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        std::string root;
        // Without a "gamedata" folder there is no distribution root: the built-in picture stays.
        if (GetDistributionRoot(CAppInitializer::GetArgument(kSourceFolder), root)) {
            std::string path = root + CAppInitializer::GetInitializerScript().GetValue("DialogBitmap");
            g_hFinishedBitmap = static_cast<HBITMAP>(
                LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
            if (g_hFinishedBitmap)
                SendDlgItemMessageA(window, IDC_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                                    reinterpret_cast<LPARAM>(g_hFinishedBitmap));
        }
        SetWindowTextA(window, FormatString("%s インストール", CAppInitializer::GetArgument(kAppName).c_str()).c_str());
        return FALSE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, 0);
            if (g_hFinishedBitmap)
                DeleteObject(g_hFinishedBitmap);
            g_hFinishedBitmap = nullptr;
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void ShowFinishedDialog(HINSTANCE instance)
{
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FINISHED), nullptr, FinishedDialogProc, 0);
}

CProgressDialog::CProgressDialog()
    : m_hDialog(nullptr), m_hBar(nullptr), m_hPicture(nullptr), m_hStatus(nullptr),
      m_hPercent(nullptr), m_hCancel(nullptr), m_hCurrentPicture(nullptr), m_nLastPerMille(0),
      m_nLastPercent(-1)
{
}

CProgressDialog::~CProgressDialog()
{
    Destroy();
    FreePictures();
}

bool CProgressDialog::Create(HINSTANCE instance, bool large, const std::string& appName)
{
    m_hDialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(large ? IDD_PROGRESS_LARGE : IDD_PROGRESS_SMALL),
                                   nullptr, ProgressDialogProc, 0);
    if (!m_hDialog)
        return false;
    m_hBar = GetDlgItem(m_hDialog, IDC_PROGRESS_BAR);
    m_hStatus = GetDlgItem(m_hDialog, IDC_STATUS);
    m_hPercent = GetDlgItem(m_hDialog, IDC_PERCENT);
    m_hPicture = GetDlgItem(m_hDialog, IDC_PICTURE);
    m_hCancel = GetDlgItem(m_hDialog, IDCANCEL);
    SendMessageA(m_hBar, PBM_SETRANGE, 0, MAKELPARAM(0, 1000));
    SetStatus("インストール初期処理");
    EnableCancel(false);
    SetWindowTextA(m_hDialog, FormatString("%s インストール", appName.c_str()).c_str());
    ShowWindow(m_hDialog, SW_SHOWNORMAL);
    SetStatus("インストールサイズ計算中");
    Pump();
    return true;
}

void CProgressDialog::LoadPictures(const CInitializerScript& script)
{
    for (int n = 1; n <= kPictureSlots; ++n) {
        std::string path = script.GetValue(FormatString("InstallBitmap%d", n));
        if (path.empty())
            continue;
        PictureSlot& slot = m_Slots[n - 1];
        slot.bitmap = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        slot.threshold = script.GetValueInt(FormatString("InstallBitmapPer%d", n));
    }
    // Also when slot 1 is empty: that clears the built-in picture.
    ShowPicture(static_cast<HBITMAP>(m_Slots[0].bitmap));
}

void CProgressDialog::ShowPicture(HBITMAP bitmap)
{
    m_hCurrentPicture = bitmap;
    if (m_hPicture)
        SendMessageA(m_hPicture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void CProgressDialog::SetStatus(const std::string& text)
{
    if (m_hStatus)
        SetWindowTextA(m_hStatus, text.c_str());
}

void CProgressDialog::EnableCancel(bool enable)
{
    if (m_hCancel)
        EnableWindow(m_hCancel, enable ? TRUE : FALSE);
}

void CProgressDialog::SetBar(unsigned perMille)
{
    if (m_hBar)
        SendMessageA(m_hBar, PBM_SETPOS, perMille, 0);
}

void CProgressDialog::Update(const std::string& currentFile, unsigned long long done,
                             unsigned long long total)
{
    std::string folder, name;
    Corvane::Base::File::SplitPath(currentFile, folder, name);
    if (name != m_LastFile) {
        m_LastFile = name;
        SetStatus(FormatString("コピー中：%s", name.c_str()));
    }
    unsigned p = PerMille(done, total);
    if (p == m_nLastPerMille)
        return;
    m_nLastPerMille = p;
    // The text changes at every tenth step only; rewriting the same text
    // would repaint the control for nothing.
    int percent = static_cast<int>(p / 10);
    if (m_hPercent && percent != m_nLastPercent) {
        m_nLastPercent = percent;
        SetWindowTextA(m_hPercent, FormatString("%3d %%", percent).c_str());
    }
    SetBar(p);
    int slot = ChoosePictureSlot(m_Slots, p / 10);
    if (slot >= 0 && m_Slots[slot].bitmap != m_hCurrentPicture)
        ShowPicture(static_cast<HBITMAP>(m_Slots[slot].bitmap));
}

void CProgressDialog::Destroy()
{
    if (m_hDialog)
        DestroyWindow(m_hDialog);
    m_hDialog = m_hBar = m_hPicture = m_hStatus = m_hPercent = m_hCancel = nullptr;
}

void CProgressDialog::FreePictures()
{
    for (PictureSlot& slot : m_Slots) {
        if (slot.bitmap)
            DeleteObject(static_cast<HBITMAP>(slot.bitmap));
        slot = PictureSlot();
    }
    m_hCurrentPicture = nullptr;
}

}  // namespace Installer
