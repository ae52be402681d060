#include "CSingleApp.h"

#include "InstallerCommandLine.h"

namespace Corvane { namespace Base { namespace AppFrame {

CSingleApp::CSingleApp() : m_hMutex(nullptr), m_bFirstInstance(false)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[MAX_PATH - 1] = '\0';
    Create(path);
}

CSingleApp::CSingleApp(const std::string& programPath) : m_hMutex(nullptr), m_bFirstInstance(false)
{
    Create(programPath);
}

CSingleApp::~CSingleApp()
{
    if (m_hMutex != nullptr)
        CloseHandle(m_hMutex);
}

void CSingleApp::Create(const std::string& programPath)
{
    m_hMutex = CreateMutexA(nullptr, TRUE, Setup::MakeSingleAppName(programPath).c_str());
    m_bFirstInstance = GetLastError() != ERROR_ALREADY_EXISTS;
}

}}}
