#include "support/ChildProcess.h"

#include <vector>

namespace TestSupport {

std::string BinDirectory()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    size_t cut = s.find_last_of('\\');
    return cut == std::string::npos ? std::string() : s.substr(0, cut);
}

std::string HelperPath(const std::string& exeName)
{
    return BinDirectory() + "\\" + exeName;
}

ChildProcess::~ChildProcess()
{
    if (m_hProcess != nullptr) {
        if (WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_hProcess, 1);
        CloseHandle(m_hProcess);
    }
}

bool ChildProcess::Start(const std::string& path, const std::string& arguments,
                         const std::string& currentDirectory)
{
    std::string commandLine = "\"" + path + "\" " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    m_hProcess = info.hProcess;
    m_ProcessId = info.dwProcessId;
    return true;
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD* exitCode)
{
    if (m_hProcess == nullptr)
        return false;
    if (WaitForSingleObject(m_hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(m_hProcess, 1);
        WaitForSingleObject(m_hProcess, 5000);
        return false;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_hProcess, &code);
    if (exitCode != nullptr)
        *exitCode = code;
    return true;
}

bool RunHelper(const std::string& exeName, const std::string& arguments, DWORD timeoutMs,
               DWORD* exitCode)
{
    ChildProcess child;
    if (!child.Start(HelperPath(exeName), arguments))
        return false;
    return child.Wait(timeoutMs, exitCode);
}

}  // namespace TestSupport
