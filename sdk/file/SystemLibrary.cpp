#include "file/SystemLibrary.h"

#include <string>

namespace Corvane { namespace Base { namespace File {

namespace {

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef DWORD(WINAPI* TimeGetTimeFn)();

TimeGetTimeFn LoadTimeGetTime()
{
    HMODULE winmm = LoadSystemLibrary("winmm.dll");
    return winmm != nullptr ? reinterpret_cast<TimeGetTimeFn>(reinterpret_cast<void*>(GetProcAddress(winmm, "timeGetTime"))) : nullptr;
}

}  // namespace

void RestrictDllSearch()
{
    // Looked up: older systems without the update do not have it.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto setDefault = kernel != nullptr ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                              GetProcAddress(kernel, "SetDefaultDllDirectories")))
                                        : nullptr;
    if (setDefault != nullptr)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // An empty string takes the current folder out of the search order.
    SetDllDirectoryA("");
}

HMODULE LoadSystemLibrary(const char* name)
{
    char folder[MAX_PATH];
    UINT n = GetSystemDirectoryA(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || name == nullptr)
        return nullptr;
    std::string path = std::string(folder, n) + "\\" + name;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

DWORD SystemTimeMs()
{
    static const TimeGetTimeFn timeGetTime = LoadTimeGetTime();  // thread-safe initialisation
    return timeGetTime != nullptr ? timeGetTime() : GetTickCount();
}

}}}
