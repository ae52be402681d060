#include "appframe/CAppInitializer.h"

#include <commctrl.h>

#include "appframe/CommandLine.h"
#include "auxiliary/CDebugWindow.h"
#include "file/FileSystem.h"
#include "template/CAppCallbackRegistry.h"
#include "thread/CThreadManager.h"

namespace Corvane { namespace Base { namespace AppFrame {

CAppInitializer* CAppInitializer::s_pInstance = nullptr;

// m_Script reads cfg\init.ini in its constructor, against the folder the
// program was started in: the current directory changes only at the end.
CAppInitializer::CAppInitializer(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine,
                                 int nCmdShow)
    : m_hInstance(hInstance),
      m_hPrevInstance(hPrevInstance),
      m_lpCmdLine(lpCmdLine),
      m_nCmdShow(nCmdShow),
      m_Script(),
      m_Arguments()
{
    // The whole command line, not lpCmdLine: index 0 is the program path.
    m_Arguments = SplitCommandLine(GetCommandLineA());
    s_pInstance = this;
    InitCommonControls();
    Template::GetAppCallbackRegistry()->RunStartupCallbacks();
    Auxiliary::CDebugWindow* debugWindow = Auxiliary::GetDebugWindow();
    if (debugWindow != nullptr)
        debugWindow->OnStartup();
    SetCurrentDirectoryA(File::GetModuleDirectory().c_str());
}

CAppInitializer::~CAppInitializer()
{
    Thread::CThreadManager* threads = Thread::GetThreadManager();
    if (threads != nullptr)
        threads->StopAll();
    Template::GetAppCallbackRegistry()->RunShutdownCallbacks();
    s_pInstance = nullptr;
    m_Arguments.clear();
}

std::string CAppInitializer::GetArgument(unsigned index)
{
    if (s_pInstance == nullptr || index >= s_pInstance->m_Arguments.size())
        return std::string();
    return s_pInstance->m_Arguments[index];
}

HINSTANCE CAppInitializer::GetInstanceHandle()
{
    return s_pInstance != nullptr ? s_pInstance->m_hInstance : nullptr;
}

CInitializerScript& CAppInitializer::GetInitializerScript()
{
    if (s_pInstance != nullptr)
        return s_pInstance->m_Script;
    // Outside the start-up object's life a lookup finds nothing instead of crashing.
    static CInitializerScript s_Empty;
    static bool s_bCleared = s_Empty.ReadScript(std::string()) || true;
    (void)s_bCleared;
    return s_Empty;
}

}}}
