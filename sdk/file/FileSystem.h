#pragma once

// System locations and file-system utilities (Win32).

#include <windows.h>

#include <cstdarg>
#include <string>

namespace Corvane { namespace Base { namespace File {

std::string GetFullPath(const std::string& s);
std::string GetModulePath();
std::string GetModuleDirectory();
std::string GetSpecialFolderPath(int csidl);
std::string GetDesktopPath();

bool CreateOneDirectory(const std::string& path);
bool CreateDirectoryTree(const std::string& path);
bool DeleteDirectory(const std::string& path);
bool ExecuteProgram(const std::string& file, bool wait, const std::string& directory,
                    const std::string& parameters);
unsigned long long GetFreeDiskSpace(const std::string& path);
int GetWindowsVersion();

std::string FormatString(const char* format, ...);
// wvsprintfA, cut at its 1024 characters whatever the input, one final newline removed.
std::string FormatStringV(const char* format, va_list args);
bool GetLocalDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second);

}}}
