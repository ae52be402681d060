#include "file/FileSystem.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "auxiliary/DebugPrint.h"
#include "file/CRegistory.h"
#include "file/PathText.h"
#include "file/WindowsVersion.h"

namespace Corvane { namespace Base { namespace File {

std::string GetFullPath(const std::string& s)
{
    if (s.empty())
        return std::string();
    if (IsAbsolutePath(s))
        return RemoveDoubleBackslash(ToBackslash(s));
    char buffer[MAX_PATH];
    char* filePart = nullptr;
    DWORD n = GetFullPathNameA(s.c_str(), MAX_PATH, buffer, &filePart);
    if (n == 0 || n >= MAX_PATH)
        return std::string();  // failed, or the result does not fit the buffer
    return std::string(buffer, n);
}

std::string GetModulePath()
{
    char buffer[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    return GetFullPath(std::string(buffer, n));
}

std::string GetModuleDirectory()
{
    std::string folder, file;
    SplitPath(GetModulePath(), folder, file);
    return folder;
}

std::string GetSpecialFolderPath(int csidl)
{
    IMalloc* shellMalloc = nullptr;
    if (FAILED(SHGetMalloc(&shellMalloc)) || shellMalloc == nullptr)
        return std::string();
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &pidl)) || pidl == nullptr) {
        shellMalloc->Release();
        return std::string();
    }
    char buffer[MAX_PATH] = {};
    BOOL ok = SHGetPathFromIDListA(pidl, buffer);
    shellMalloc->Free(pidl);
    shellMalloc->Release();
    if (!ok)
        return std::string();
    buffer[MAX_PATH - 1] = '\0';
    return buffer;
}

std::string GetDesktopPath()
{
    CRegistory registry;
    if (!registry.Open("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")) {
        DebugPrint("GetDesktopPath() レジストリオープンに失敗");
        return std::string();
    }
    std::string value;
    if (!registry.GetString("Desktop", value)) {
        DebugPrint("GetDesktopPath() レジストリ値取得に失敗");
        return std::string();
    }
    return value;
}

bool CreateOneDirectory(const std::string& path)
{
    if (path.empty())
        return false;
    if (CreateDirectoryA(path.c_str(), nullptr))
        return true;
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

namespace {

void CreateParents(const std::string& path)
{
    std::string parent = GetParentDirectory(path);
    if (parent == path)
        return;
    CreateParents(parent);
    CreateOneDirectory(parent);  // failures (the drive itself) are harmless
}

}  // namespace

bool CreateDirectoryTree(const std::string& path)
{
    // The copy asks for every file's folder; when the folder or its parent is
    // already there, one call settles it instead of one per ancestor.
    if (CreateOneDirectory(path))
        return true;
    if (path.empty() || GetLastError() != ERROR_PATH_NOT_FOUND)
        return false;
    CreateParents(path);
    return CreateOneDirectory(path);
}

bool DeleteDirectory(const std::string& path)
{
    return RemoveDirectoryA(GetFullPath(path).c_str()) != FALSE;
}

bool ExecuteProgram(const std::string& file, bool wait, const std::string& directory,
                    const std::string& parameters)
{
    SHELLEXECUTEINFOA info;
    std::memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI;
    info.hwnd = nullptr;
    // On Windows Vista and later every launch asks for elevation.
    info.lpVerb = GetWindowsVersion() >= 11 ? "runas" : "";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info))
        return false;
    if (info.hProcess != nullptr) {
        if (wait)
            WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hProcess);
    }
    return true;
}

unsigned long long GetFreeDiskSpace(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    std::strncpy(buffer, path.c_str(), MAX_PATH - 1);
    typedef BOOL(WINAPI * FreeSpaceEx)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FreeSpaceEx getFreeSpaceEx =
        kernel != nullptr ? reinterpret_cast<FreeSpaceEx>(
                                reinterpret_cast<void*>(GetProcAddress(kernel, "GetDiskFreeSpaceExA")))
                          : nullptr;
    if (getFreeSpaceEx != nullptr) {
        ULARGE_INTEGER available, total, totalFree;
        if (!getFreeSpaceEx(buffer, &available, &total, &totalFree))
            return 0;
        return available.QuadPart;
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(buffer, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return 0;
    return static_cast<unsigned long long>(sectorsPerCluster) * bytesPerSector * freeClusters;
}

int GetWindowsVersion()
{
    OSVERSIONINFOEXA info;
    std::memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        std::memset(&info, 0, sizeof(info));
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info)))
            return 0;
    }
    return WindowsVersionCode(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                              info.szCSDVersion[1]);
}

std::string FormatString(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = FormatStringV(format, args);
    va_end(args);
    return text;
}

std::string FormatStringV(const char* format, va_list args)
{
    if (format == nullptr)
        return std::string();
    char buffer[4096];
    std::memset(buffer, 0, sizeof(buffer));
    wvsprintfA(buffer, format, args);
    buffer[1024] = '\0';  // the formatter stops at 1024 characters; keep that bound whatever it returns
    std::string text(buffer);
    if (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

bool GetLocalDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second)
{
    __time64_t now = _time64(nullptr);
    struct tm* local = _localtime64(&now);
    if (local == nullptr)
        return false;
    if (year) *year = local->tm_year + 1900;
    if (month) *month = local->tm_mon + 1;
    if (day) *day = local->tm_mday;
    if (hour) *hour = local->tm_hour;
    if (minute) *minute = local->tm_min;
    if (second) *second = local->tm_sec;
    return true;
}

}}}
