#include "appframe/CScriptReader.h"

#include "file/CFile.h"

// Kept apart from the parsing, which stays free of Win32 so it also builds natively.

namespace Corvane { namespace Base { namespace File {

bool CScriptReader::Open(const std::string& path)
{
    CFile file;
    if (file.Load(path) != 1)
        return false;
    DWORD size = file.GetSize();
    if (size == INVALID_FILE_SIZE || size >= 0x7FFFFFFF)
        return false;
    char* buffer = new char[static_cast<size_t>(size) + 1];
    if (buffer == nullptr)
        return false;
    // A file that shrank meanwhile gives what could be read.
    DWORD got = size == 0 ? 0 : file.Read(buffer, 1, size);
    file.Close();
    if (got > size)
        got = size;
    Release();
    m_pBuffer = buffer;
    m_nSize = static_cast<int>(got);
    m_pBuffer[m_nSize] = '\n';
    m_pCursor = m_pBuffer;
    m_nLineCount = 0;
    return true;
}

}}}
