#include "file/FileSystem.h"

#include "file/PathText.h"

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

}}}
