#pragma once

#include <windows.h>

#include <string>

#include "PictureSchedule.h"

namespace Corvane { namespace Base { namespace AppFrame { class CInitializerScript; } } }

namespace Installer {

// Set by the progress dialog when the user confirms cancelling; read by the poll loop.
extern bool g_bCancelRequested;
// The finished dialog's own side picture.
extern HBITMAP g_hFinishedBitmap;

// The only message loop of the progress phase: empties the queue and returns.
void PumpDialogMessages(HWND dialog);
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The modeless progress dialog, large (with pictures) or small, and its picture slots.
class CProgressDialog {
public:
    CProgressDialog();
    CProgressDialog(const CProgressDialog&) = delete;
    CProgressDialog& operator=(const CProgressDialog&) = delete;
    ~CProgressDialog();  // Destroy() and FreePictures()

    // Creates, sets up and shows the dialog; status "インストールサイズ計算中" when it returns.
    bool Create(HINSTANCE instance, bool large, const std::string& appName);
    // Large form only: slots from InstallBitmap%d / InstallBitmapPer%d; slot 1 shown first.
    void LoadPictures(const Corvane::Base::AppFrame::CInitializerScript& script);

    HWND Window() const { return m_hDialog; }
    void SetStatus(const std::string& text);
    void EnableCancel(bool enable);
    void SetBar(unsigned perMille);
    void Pump() { PumpDialogMessages(m_hDialog); }
    // One pass of the poll loop: file name, per mille, percentage and picture.
    void Update(const std::string& currentFile, unsigned long long done, unsigned long long total);

    void Destroy();
    void FreePictures();

private:
    void ShowPicture(HBITMAP bitmap);

    HWND m_hDialog;
    HWND m_hBar;
    HWND m_hPicture;
    HWND m_hStatus;
    HWND m_hPercent;
    HWND m_hCancel;
    PictureSlot m_Slots[kPictureSlots];
    HBITMAP m_hCurrentPicture;
    unsigned m_nLastPerMille;
    int m_nLastPercent;  // the number in the percentage text, -1 before the first update
    std::string m_LastFile;
};

// The modal finished dialog of the large form.
void ShowFinishedDialog(HINSTANCE instance);

}  // namespace Installer
