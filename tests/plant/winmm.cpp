// A stand-in for a DLL that someone planted in a download folder under a
// system DLL's name. When a process loads it, it leaves a marker file at the
// path named by CORVANE_PLANT_MARKER, so a test can tell that it was loaded.
#include <windows.h>

extern "C" __declspec(dllexport) DWORD WINAPI timeGetTime()
{
    return GetTickCount();
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("CORVANE_PLANT_MARKER", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return TRUE;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char line[64];
        int length = wsprintfA(line, "loaded into process %lu\r\n", GetCurrentProcessId());
        DWORD written = 0;
        WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
        CloseHandle(file);
    }
    return TRUE;
}
