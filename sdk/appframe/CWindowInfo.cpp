#include "appframe/CWindowInfo.h"

#include "appframe/CAppInitializer.h"

namespace Corvane { namespace Base { namespace AppFrame {

CWindowInfo::CWindowInfo()
    : m_WndClass(),
      m_Title("Application"),
      m_Style(0x90CA0000),
      m_ExStyle(0),
      m_X(0),
      m_Y(0),
      m_Width(1280),
      m_Height(720),
      m_hParent(nullptr),
      m_bCenter(true),
      m_bAdjust(true),
      m_bFocus(false),
      m_hMenu(nullptr),
      m_ClassName("Application"),
      m_MenuName(),
      m_bMenuIsId(false)
{
    m_WndClass.cbSize = sizeof(WNDCLASSEXA);
    m_WndClass.style = 0;
    m_WndClass.lpfnWndProc = nullptr;
    m_WndClass.cbClsExtra = 0;
    m_WndClass.cbWndExtra = 0;
    m_WndClass.hInstance = CAppInitializer::GetInstanceHandle();
    // Without the start-up object (tools, tests) the program's own module.
    if (m_WndClass.hInstance == nullptr)
        m_WndClass.hInstance = GetModuleHandleA(nullptr);
    m_WndClass.hIcon = LoadIconA(nullptr, IDI_WINLOGO);
    m_WndClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    m_WndClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    m_WndClass.lpszMenuName = nullptr;
    m_WndClass.hIconSm = nullptr;
    FixPointers();
}

CWindowInfo::CWindowInfo(const CWindowInfo& other)
    : m_WndClass(other.m_WndClass),
      m_Title(other.m_Title),
      m_Style(other.m_Style),
      m_ExStyle(other.m_ExStyle),
      m_X(other.m_X),
      m_Y(other.m_Y),
      m_Width(other.m_Width),
      m_Height(other.m_Height),
      m_hParent(other.m_hParent),
      m_bCenter(other.m_bCenter),
      m_bAdjust(other.m_bAdjust),
      m_bFocus(other.m_bFocus),
      m_hMenu(other.m_hMenu),
      m_ClassName(other.m_ClassName),
      m_MenuName(other.m_MenuName),
      m_bMenuIsId(other.m_bMenuIsId)
{
    FixPointers();
}

CWindowInfo& CWindowInfo::operator=(const CWindowInfo& other)
{
    if (this == &other)
        return *this;
    m_WndClass = other.m_WndClass;
    m_Title = other.m_Title;
    m_Style = other.m_Style;
    m_ExStyle = other.m_ExStyle;
    m_X = other.m_X;
    m_Y = other.m_Y;
    m_Width = other.m_Width;
    m_Height = other.m_Height;
    m_hParent = other.m_hParent;
    m_bCenter = other.m_bCenter;
    m_bAdjust = other.m_bAdjust;
    m_bFocus = other.m_bFocus;
    m_hMenu = other.m_hMenu;
    m_ClassName = other.m_ClassName;
    m_MenuName = other.m_MenuName;
    m_bMenuIsId = other.m_bMenuIsId;
    FixPointers();
    return *this;
}

CWindowInfo::~CWindowInfo()
{
}

void CWindowInfo::SetClassName(const std::string& name)
{
    m_ClassName = name;
    FixPointers();
}

void CWindowInfo::SetMenuName(const char* name)
{
    m_bMenuIsId = name != nullptr && IS_INTRESOURCE(name);
    if (m_bMenuIsId) {
        m_MenuName.clear();
        m_WndClass.lpszMenuName = name;
        return;
    }
    m_MenuName = name != nullptr ? name : "";
    m_WndClass.lpszMenuName = name != nullptr ? m_MenuName.c_str() : nullptr;
}

void CWindowInfo::Clear()
{
    ZeroMemory(&m_WndClass, sizeof(m_WndClass));
    m_Title.clear();
    m_Style = 0;
    m_ExStyle = 0;
    m_X = 0;
    m_Y = 0;
    m_Width = 0;
    m_Height = 0;
    m_hParent = nullptr;
    m_bCenter = false;
    m_bAdjust = false;
    m_bFocus = false;
    m_hMenu = nullptr;
    m_ClassName.clear();
    m_MenuName.clear();
    m_bMenuIsId = false;
}

void CWindowInfo::FixPointers()
{
    m_WndClass.lpszClassName = m_ClassName.c_str();
    if (!m_bMenuIsId && m_WndClass.lpszMenuName != nullptr)
        m_WndClass.lpszMenuName = m_MenuName.c_str();
}

}}}
