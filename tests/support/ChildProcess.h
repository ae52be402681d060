#pragma once

#include <windows.h>

#include <string>

namespace TestSupport {

// Folder of the running test program (helper programs are built beside it).
std::string BinDirectory();
std::string HelperPath(const std::string& exeName);

// A started program; killed in the destructor if it still runs.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Command line: the quoted path, a blank, then `arguments`.
    bool Start(const std::string& path, const std::string& arguments,
               const std::string& currentDirectory = std::string());
    // False (and the process killed) when it has not ended within the time.
    bool Wait(DWORD timeoutMs, DWORD* exitCode);
    HANDLE Handle() const { return m_hProcess; }
    DWORD Id() const { return m_ProcessId; }

private:
    HANDLE m_hProcess = nullptr;
    DWORD m_ProcessId = 0;
};

// Starts a helper program from the bin folder and waits for it.
bool RunHelper(const std::string& exeName, const std::string& arguments, DWORD timeoutMs,
               DWORD* exitCode);

}  // namespace TestSupport
