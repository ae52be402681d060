#pragma once

#include <windows.h>

#include <string>

namespace Corvane { namespace Base { namespace AppFrame {

// The description a window is created from. The class name points into
// m_ClassName, so copies keep their own text.
class CWindowInfo {
public:
    CWindowInfo();
    CWindowInfo(const CWindowInfo& other);
    CWindowInfo& operator=(const CWindowInfo& other);
    virtual ~CWindowInfo();

    void SetClassName(const std::string& name);
    std::string GetClassName() const { return m_ClassName; }
    void SetMenuName(const char* name);
    // All zero and empty (what a destroyed window keeps).
    void Clear();

    WNDCLASSEXA m_WndClass;
    std::string m_Title;
    DWORD m_Style;
    DWORD m_ExStyle;
    int m_X;
    int m_Y;
    int m_Width;   // client width
    int m_Height;  // client height
    HWND m_hParent;
    bool m_bCenter;  // centre on the screen
    bool m_bAdjust;  // width and height are the client area; the frame is added
    bool m_bFocus;   // take the keyboard focus after creation
    HMENU m_hMenu;   // menu or child id, for system control classes only

private:
    void FixPointers();

    std::string m_ClassName;
    std::string m_MenuName;
    bool m_bMenuIsId;  // MAKEINTRESOURCE menu name, kept as it is
};

}}}
