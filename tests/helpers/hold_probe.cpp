// hold_probe.exe: notes its start as a file in the folder HOLD_PROBE_DIR
// (named after its process id, holding its program path and command line),
// then waits until the named event HOLD_PROBE_RELEASE is set, at most 60 s.
#include <windows.h>

#include <cstdio>
#include <string>

// A window program, so no console comes with it.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char folder[MAX_PATH] = {}, release[MAX_PATH] = {}, path[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("HOLD_PROBE_DIR", folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 2;
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string out = std::string(folder) + "\\" + std::to_string(GetCurrentProcessId()) + ".start";
    if (FILE* f = std::fopen((out + ".part").c_str(), "wb")) {
        std::fprintf(f, "%s\n%s\n", path, GetCommandLineA());
        std::fclose(f);
        MoveFileExA((out + ".part").c_str(), out.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    n = GetEnvironmentVariableA("HOLD_PROBE_RELEASE", release, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, release);
        WaitForSingleObject(event, 60000);
        CloseHandle(event);
    }
    return 0;
}
