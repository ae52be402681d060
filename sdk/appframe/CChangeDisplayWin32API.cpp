#include "appframe/CChangeDisplayWin32API.h"

#include <windows.h>

#include "auxiliary/DebugPrint.h"

namespace Corvane { namespace Base { namespace AppFrame {

namespace {

const DWORD kDevModeSize = 156;

DEVMODEA MakeMode(int width, int height, int depth)
{
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof(mode));
    mode.dmSize = static_cast<WORD>(sizeof(mode) < kDevModeSize ? sizeof(mode) : kDevModeSize);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(depth);
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    return mode;
}

}  // namespace

CChangeDisplayWin32API::CChangeDisplayWin32API() : m_bChanged(false)
{
}

CChangeDisplayWin32API::~CChangeDisplayWin32API()
{
    if (m_bChanged && ChangeDisplaySettingsA(nullptr, 0) != DISP_CHANGE_SUCCESSFUL)
        DebugPrint("CChangeDisplayWin32API::_Finalize() 後処理に失敗した");
}

bool CChangeDisplayWin32API::ChangeDisplay(int width, int height, int depth)
{
    if (depth == 0)
        return Reset();
    Sleep(100);
    m_bChanged = true;
    // The NT family keeps the refresh rate when asked for it explicitly.
    if (GetVersion() < 0x80000000) {
        DEVMODEA mode = MakeMode(width, height, depth);
        HDC screen = GetDC(nullptr);
        mode.dmDisplayFrequency = static_cast<DWORD>(screen != nullptr ? GetDeviceCaps(screen, VREFRESH) : 0);
        if (screen != nullptr)
            ReleaseDC(nullptr, screen);
        mode.dmFields |= DM_DISPLAYFREQUENCY;
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL) {
            Sleep(200);
            return true;
        }
    }
    DEVMODEA mode = MakeMode(width, height, depth);
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        return false;
    Sleep(200);
    return true;
}

bool CChangeDisplayWin32API::IsModeAvailable(int width, int height, int depth)
{
    if (depth == 0)
        return true;
    if (depth == 15)
        depth = 16;  // drivers list 15-bit modes as 16
    DEVMODEA mode = MakeMode(width, height, depth);
    return ChangeDisplaySettingsA(&mode, CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
}

bool CChangeDisplayWin32API::Reset()
{
    if (!m_bChanged)
        return true;
    if (ChangeDisplaySettingsA(nullptr, 0) != DISP_CHANGE_SUCCESSFUL)
        return false;
    m_bChanged = false;
    return true;
}

bool CChangeDisplayWin32API::IsChanged()
{
    return m_bChanged;
}

int CChangeDisplayWin32API::GetKind()
{
    return 1;
}

}}}
