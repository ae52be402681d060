#include "ProcessUtility.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

#include "file/CFindFile.h"

namespace Setup {

bool RunProcess(const std::string& commandLine, bool wait, const std::string& workingFolder)
{
    if (commandLine.empty())
        return false;
    std::string command = commandLine;
    if (command[0] != '"') {
        Corvane::Base::File::CFindFile find;
        if (find.Exists(command))
            command = "\"" + command + "\"";
    }
    // CreateProcessA may write into its command line.
    std::vector<char> buffer(command.begin(), command.end());
    buffer.push_back('\0');

    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof(process));
    BOOL created = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &process);
    if (!created)
        return false;
    if (wait)
        WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

bool ShellOpen(HWND owner, const std::string& file, const std::string& verb)
{
    HINSTANCE result = ShellExecuteA(owner, verb.empty() ? nullptr : verb.c_str(), file.c_str(), nullptr, nullptr,
                                     SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace Setup
