#include "file/CFindFile.h"

namespace Corvane { namespace Base { namespace File {

CFindFile::CFindFile() : m_hFind(nullptr)
{
}

CFindFile::~CFindFile()
{
    Close();
}

bool CFindFile::FindFirst(const std::string& pattern, WIN32_FIND_DATAA* data)
{
    Close();
    HANDLE h = FindFirstFileA(pattern.c_str(), data);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_hFind = h;
    return true;
}

bool CFindFile::Exists(const std::string& pattern)
{
    WIN32_FIND_DATAA scratch;
    return FindFirst(pattern, &scratch);
}

bool CFindFile::FindNext(WIN32_FIND_DATAA* data)
{
    return m_hFind != nullptr && FindNextFileA(m_hFind, data) != FALSE;
}

void CFindFile::Close()
{
    if (m_hFind != nullptr)
        FindClose(m_hFind);
    m_hFind = nullptr;
}

}}}
