#include "appframe/CChangeDisplayDDraw.h"

#include <ddraw.h>

#include "appframe/CAppManager.h"
#include "auxiliary/DebugPrint.h"
#include "graphics/CDirectDrawManager.h"

namespace Corvane { namespace Base { namespace AppFrame {

using Graphics::Graphics2D::GetDirectDrawManager;

CChangeDisplayDDraw::CChangeDisplayDDraw() : m_hWnd(nullptr), m_pEntry(nullptr), m_bChanged(false)
{
    CAppManager* apps = GetAppManager();
    m_hWnd = apps != nullptr ? apps->GetHWnd() : nullptr;
    if (m_hWnd == nullptr) {
        DebugPrint("CChangeDisplayDDraw::CChangeDisplayDDraw() CAppManager::GetHWnd()に失敗.以後Win32APIを使用します");
        return;
    }
    if (GetDirectDrawManager() != nullptr)
        m_pEntry = GetDirectDrawManager()->Find(m_hWnd);
    if (m_pEntry == nullptr)
        DebugPrint("CChangeDisplayDDraw::CChangeDisplayDDraw() DirectDrawインターフェースを取得できません.以後Win32APIを使用します");
}

CChangeDisplayDDraw::~CChangeDisplayDDraw()
{
    if (m_bChanged && m_pEntry != nullptr)
        Reset();
}

bool CChangeDisplayDDraw::EntryAlive()
{
    Graphics::Graphics2D::CDirectDrawManager* registry = GetDirectDrawManager();
    return registry != nullptr && registry->Find(m_hWnd) == m_pEntry;
}

bool CChangeDisplayDDraw::SetCooperativeLevel(DWORD flags)
{
    return m_pEntry->SetCooperativeLevel(flags);
}

bool CChangeDisplayDDraw::ChangeDisplay(int width, int height, int depth)
{
    if (m_pEntry == nullptr)
        return m_Fallback.ChangeDisplay(width, height, depth);
    if (!EntryAlive())
        return false;
    if (depth == 0)
        return Reset();
    Sleep(100);
    m_bChanged = true;
    if (!SetCooperativeLevel(DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE | DDSCL_MULTITHREADED)) {
        DebugPrint("CChangeDisplayDDraw::ChangeDisplay() SetCooperativeLevelに失敗");
        return false;
    }
    if (FAILED(m_pEntry->GetDirectDraw()->SetDisplayMode(width, height, depth, 0, 0))) {
        DebugPrint("CChangeDisplayDDraw::ChangeDisplay() SetDisplayModeに失敗");
        return false;
    }
    Sleep(200);
    return true;
}

bool CChangeDisplayDDraw::IsModeAvailable(int width, int height, int depth)
{
    return m_Fallback.IsModeAvailable(width, height, depth);
}

bool CChangeDisplayDDraw::Reset()
{
    if (m_pEntry == nullptr)
        return m_Fallback.Reset();
    if (!m_bChanged)
        return true;
    if (!EntryAlive())
        return false;
    Sleep(100);
    m_bChanged = false;
    if (FAILED(m_pEntry->GetDirectDraw()->RestoreDisplayMode())) {
        DebugPrint("CChangeDisplayDDraw::Reset() RestoreDisplayModeに失敗");
        return false;
    }
    if (!SetCooperativeLevel(DDSCL_NORMAL | DDSCL_MULTITHREADED)) {
        DebugPrint("CChangeDisplayDDraw::Reset() SetCooperativeLevelに失敗");
        return false;
    }
    Sleep(200);
    return true;
}

bool CChangeDisplayDDraw::IsChanged()
{
    return m_pEntry != nullptr ? m_bChanged : m_Fallback.IsChanged();
}

int CChangeDisplayDDraw::GetKind()
{
    return 2;
}

}}}
