#pragma once

#include <windows.h>

#include <string>

namespace Corvane { namespace Base { namespace File {

// Owns one FindFirstFileA search; a failed search keeps no handle.
class CFindFile {
public:
    CFindFile();
    CFindFile(const CFindFile&) = delete;
    CFindFile& operator=(const CFindFile&) = delete;
    virtual ~CFindFile();

    bool FindFirst(const std::string& pattern, WIN32_FIND_DATAA* data);
    // True when at least one entry (file or folder) matches; the search stays open.
    bool Exists(const std::string& pattern);
    bool FindNext(WIN32_FIND_DATAA* data);
    void Close();

private:
    HANDLE m_hFind;
};

}}}
