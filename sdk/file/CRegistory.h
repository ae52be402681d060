#pragma once

#include <windows.h>

#include <string>

namespace Corvane { namespace Base { namespace File {

// Reads string values of one key below HKEY_CURRENT_USER.
class CRegistory {
public:
    CRegistory();
    CRegistory(const CRegistory&) = delete;
    CRegistory& operator=(const CRegistory&) = delete;
    virtual ~CRegistory();

    // Closes first, also when the new key cannot be opened.
    bool Open(const std::string& subKey);
    bool Close();
    // The value's registry type (0 when it cannot be queried); its data size in *size.
    DWORD GetValueSize(const std::string& valueName, DWORD* size);
    // Any value type is taken as text up to its first zero byte; empty data gives false.
    bool GetString(const std::string& valueName, std::string& out);

private:
    HKEY m_hRootKey;
    HKEY m_hKey;
    std::string m_SubKey;
};

}}}
