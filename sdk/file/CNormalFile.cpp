#include "file/CNormalFile.h"

namespace Corvane { namespace Base { namespace File {

CNormalFile::CNormalFile()
{
}

CNormalFile::~CNormalFile()
{
    m_File.Close();
}

bool CNormalFile::Create(const std::string& name, bool truncate)
{
    return m_File.OpenWrite(name, truncate);
}

int CNormalFile::Load(const std::string& name)
{
    return m_File.OpenRead(name) ? 1 : 0;
}

void CNormalFile::Close()
{
    m_File.Close();
}

DWORD CNormalFile::Read(void* buf, DWORD elemSize, DWORD count)
{
    if (count == 0 || elemSize == 0)
        return 0;
    unsigned long long wanted = static_cast<unsigned long long>(elemSize) * count;
    if (wanted <= 0xFFFFFFFFull && m_File.Read(buf, static_cast<DWORD>(wanted)))
        return count;
    DWORD position = m_File.Tell();
    DWORD size = m_File.GetSize();
    if (size == INVALID_FILE_SIZE || position >= size || position + wanted <= size)
        return 0;
    DWORD rest = size - position;
    if (!m_File.Read(buf, rest))
        return 0;
    return rest / elemSize;
}

DWORD CNormalFile::Write(const void* buf, DWORD elemSize, DWORD count)
{
    if (elemSize == 0 || count == 0)
        return 0;
    unsigned long long bytes = static_cast<unsigned long long>(elemSize) * count;
    if (bytes > 0xFFFFFFFFull)
        return 0;
    return m_File.Write(buf, static_cast<DWORD>(bytes)) ? count : 0;
}

DWORD CNormalFile::GetSize()
{
    return m_File.GetSize();
}

bool CNormalFile::Seek(LONG offset, int origin)
{
    switch (origin) {
    case 0: return m_File.Seek(offset, FILE_BEGIN);
    case 1: return m_File.Seek(offset, FILE_CURRENT);
    case 2: return m_File.Seek(offset, FILE_END);
    default: return false;
    }
}

DWORD CNormalFile::Tell()
{
    return m_File.Tell();
}

void CNormalFile::Rewind()
{
    m_File.Rewind();
}

bool CNormalFile::IsOpen()
{
    return m_File.IsOpen();
}

}}}
