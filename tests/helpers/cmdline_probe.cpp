// cmdline_probe.exe: writes its command line and its current directory, one
// per line, to the file named by CMDLINE_PROBE_OUT (else cmdline_probe.txt in
// its current directory). CMDLINE_PROBE_DELAY: milliseconds to wait first.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main()
{
    char value[MAX_PATH] = {};
    if (GetEnvironmentVariableA("CMDLINE_PROBE_DELAY", value, MAX_PATH) != 0)
        Sleep(static_cast<DWORD>(std::atoi(value)));
    std::string out = "cmdline_probe.txt";
    value[0] = '\0';
    DWORD n = GetEnvironmentVariableA("CMDLINE_PROBE_OUT", value, MAX_PATH);
    if (n != 0 && n < MAX_PATH)
        out = value;
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);

    // Written aside and moved in place, so a watcher never sees half a file.
    std::string part = out + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (f == nullptr)
        return 2;
    std::fprintf(f, "%s\n%s\n", GetCommandLineA(), cwd);
    std::fclose(f);
    return MoveFileExA(part.c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 3;
}
