#include "appframe/CIME.h"

#include <string>

namespace Corvane { namespace Base { namespace AppFrame {

namespace {

typedef HANDLE(WINAPI* ImmAssociateContextProc)(HWND, HANDLE);

// imm32 is loaded from the system folder by full path, not imported.
ImmAssociateContextProc GetImmAssociateContext()
{
    static ImmAssociateContextProc s_Proc = []() -> ImmAssociateContextProc {
        char folder[MAX_PATH] = {};
        UINT length = GetSystemDirectoryA(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return nullptr;
        HMODULE module = LoadLibraryA((std::string(folder) + "\\imm32.dll").c_str());
        if (module == nullptr)
            return nullptr;
        return reinterpret_cast<ImmAssociateContextProc>(
            reinterpret_cast<void*>(GetProcAddress(module, "ImmAssociateContext")));
    }();
    return s_Proc;
}

}  // namespace

CIME::CIME(HWND hwnd) : m_hWnd(hwnd), m_hSavedContext(nullptr)
{
    ImmAssociateContextProc associate = GetImmAssociateContext();
    if (associate != nullptr && m_hWnd != nullptr)
        m_hSavedContext = associate(m_hWnd, nullptr);
}

CIME::~CIME()
{
    ImmAssociateContextProc associate = GetImmAssociateContext();
    if (m_hSavedContext != nullptr && associate != nullptr)
        associate(m_hWnd, m_hSavedContext);
    m_hSavedContext = nullptr;
}

}}}
