#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "appframe/CInitializerScript.h"

namespace Corvane { namespace Base { namespace AppFrame {

// The start-up object: WinMain builds it first and destroys it last. While it
// lives, the static accessors reach its arguments, instance handle and script.
class CAppInitializer {
public:
    CAppInitializer(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
    CAppInitializer(const CAppInitializer&) = delete;
    CAppInitializer& operator=(const CAppInitializer&) = delete;
    virtual ~CAppInitializer();

    // Argument `index` of the process command line (0 is the program path); empty beyond the list.
    static std::string GetArgument(unsigned index);
    static HINSTANCE GetInstanceHandle();
    static CInitializerScript& GetInitializerScript();

private:
    HINSTANCE m_hInstance;
    HINSTANCE m_hPrevInstance;
    char* m_lpCmdLine;
    int m_nCmdShow;
    CInitializerScript m_Script;
    std::vector<std::string> m_Arguments;

    static CAppInitializer* s_pInstance;
};

}}}
