#include "file/CRegistory.h"

#include <cstring>
#include <vector>

namespace Corvane { namespace Base { namespace File {

CRegistory::CRegistory() : m_hRootKey(HKEY_CURRENT_USER), m_hKey(nullptr)
{
}

CRegistory::~CRegistory()
{
    Close();
}

bool CRegistory::Open(const std::string& subKey)
{
    Close();
    if (RegOpenKeyExA(m_hRootKey, subKey.c_str(), 0, KEY_QUERY_VALUE, &m_hKey) != ERROR_SUCCESS) {
        m_hKey = nullptr;
        Close();
        return false;
    }
    m_SubKey = subKey;
    return true;
}

bool CRegistory::Close()
{
    bool ok = true;
    if (m_hKey != nullptr)
        ok = RegCloseKey(m_hKey) == ERROR_SUCCESS;
    m_hKey = nullptr;
    m_SubKey.clear();
    return ok;
}

DWORD CRegistory::GetValueSize(const std::string& valueName, DWORD* size)
{
    DWORD type = 0, bytes = 0;
    if (m_hKey == nullptr ||
        RegQueryValueExA(m_hKey, valueName.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) {
        type = 0;
        bytes = 0;
    }
    if (size != nullptr)
        *size = bytes;
    return type;
}

bool CRegistory::GetString(const std::string& valueName, std::string& out)
{
    out.clear();
    if (m_hKey == nullptr)
        return false;
    DWORD size = 0;
    GetValueSize(valueName, &size);
    if (size == 0)
        return false;
    std::vector<char> buffer(size);
    DWORD got = size;
    if (RegQueryValueExA(m_hKey, valueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
        return false;
    if (got > size)
        got = size;
    const char* end = static_cast<const char*>(std::memchr(buffer.data(), 0, got));
    out.assign(buffer.data(), end != nullptr ? static_cast<size_t>(end - buffer.data()) : got);
    return true;
}

}}}
