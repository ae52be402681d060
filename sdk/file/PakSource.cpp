#include "file/PakSource.h"

namespace Corvane { namespace Base { namespace File {

bool PakSource::Open(const std::string& path)
{
    m_nSize = 0;
    if (!m_File.OpenRead(path))
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(m_File.GetHandle(), &size) || size.QuadPart < 0 ||
        static_cast<uint64_t>(size.QuadPart) > 0xFFFFFFFFull) {
        m_File.Close();
        return false;
    }
    m_nSize = static_cast<uint64_t>(size.QuadPart);
    return true;
}

bool PakSource::ReadAt(uint64_t position, void* buf, uint32_t bytes)
{
    if (!m_File.IsOpen() || position > m_nSize || bytes > m_nSize - position)
        return false;
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    if (!SetFilePointerEx(m_File.GetHandle(), to, nullptr, FILE_BEGIN))
        return false;
    return bytes == 0 || m_File.Read(buf, bytes);
}

}}}
