#include "file/CFileWin32.h"

namespace Corvane { namespace Base { namespace File {

namespace {

const int kAttempts = 10;

}  // namespace

CFileWin32::CFileWin32() : m_hFile(nullptr), m_bWriteThrough(false)
{
}

CFileWin32::~CFileWin32()
{
    Close();
}

bool CFileWin32::OpenRead(const std::string& name)
{
    Close();
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_hFile = h;
    return true;
}

bool CFileWin32::OpenWrite(const std::string& name, bool truncate)
{
    Close();
    DWORD flags = FILE_ATTRIBUTE_NORMAL | (m_bWriteThrough ? FILE_FLAG_WRITE_THROUGH : 0);
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           truncate ? CREATE_ALWAYS : OPEN_ALWAYS, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    m_hFile = h;
    if (truncate)
        SetFilePointer(m_hFile, 0, nullptr, FILE_BEGIN);
    else
        SetFilePointer(m_hFile, 0, nullptr, FILE_END);
    return true;
}

void CFileWin32::Close()
{
    if (m_hFile != nullptr && m_hFile != INVALID_HANDLE_VALUE)
        CloseHandle(m_hFile);
    m_hFile = nullptr;
}

bool CFileWin32::IsOpen() const
{
    return m_hFile != nullptr && m_hFile != INVALID_HANDLE_VALUE;
}

bool CFileWin32::Position64(unsigned long long& position)
{
    LARGE_INTEGER zero, now;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(m_hFile, zero, &now, FILE_CURRENT))
        return false;
    position = static_cast<unsigned long long>(now.QuadPart);
    return true;
}

// Keeps the caller's last error: it belongs to the failure being reported.
bool CFileWin32::SeekTo64(unsigned long long position)
{
    DWORD error = GetLastError();
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(position);
    bool ok = SetFilePointerEx(m_hFile, to, nullptr, FILE_BEGIN) != FALSE;
    SetLastError(error);
    return ok;
}

bool CFileWin32::AtEnd()
{
    unsigned long long position = 0;
    LARGE_INTEGER size;
    return Position64(position) && GetFileSizeEx(m_hFile, &size) &&
           position == static_cast<unsigned long long>(size.QuadPart);
}

bool CFileWin32::Read(void* buf, DWORD bytes)
{
    if (!IsOpen())
        return false;
    char* out = static_cast<char*>(buf);
    unsigned long long start = 0;
    if (!Position64(start))
        return false;  // without a place to come back to, no all-or-nothing read
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        DWORD got = 0;
        if (!ReadFile(m_hFile, out, bytes, &got, nullptr)) {
            SeekTo64(start);
            continue;
        }
        if (got == bytes)
            return true;
        if (AtEnd()) {
            SeekTo64(start);
            return false;  // the end of the file: the data is not there
        }
        if (got == 0)
            return false;
        DWORD total = got;
        bool retry = false;
        while (!retry) {
            DWORD more = 0;
            if (!ReadFile(m_hFile, out + total, bytes - total, &more, nullptr)) {
                SeekTo64(start);
                retry = true;
                continue;
            }
            total += more;
            if (total >= bytes)
                return true;
            if (AtEnd()) {
                SeekTo64(start);
                retry = true;
                continue;
            }
            if (more == 0)
                return false;
        }
    }
    SeekTo64(start);
    return false;
}

bool CFileWin32::Write(const void* buf, DWORD bytes)
{
    if (!IsOpen())
        return false;
    const char* in = static_cast<const char*>(buf);
    unsigned long long start = 0;
    if (!Position64(start))
        return false;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        DWORD total = 0;
        bool failed = false;
        while (total < bytes) {
            DWORD wrote = 0;
            if (!WriteFile(m_hFile, in + total, bytes - total, &wrote, nullptr) || wrote == 0) {
                failed = true;
                break;
            }
            total += wrote;
        }
        if (!failed && bytes > 0)
            return true;
        SeekTo64(start);
    }
    return false;  // a write of 0 bytes always ends here
}

bool CFileWin32::Seek(LONG distance, DWORD method)
{
    if (!IsOpen())
        return false;
    return SetFilePointer(m_hFile, distance, nullptr, method) != INVALID_SET_FILE_POINTER;
}

DWORD CFileWin32::Tell()
{
    if (!IsOpen())
        return 0;
    DWORD position = SetFilePointer(m_hFile, 0, nullptr, FILE_CURRENT);
    return position == INVALID_SET_FILE_POINTER ? 0 : position;
}

bool CFileWin32::Rewind()
{
    return Seek(0, FILE_BEGIN);
}

DWORD CFileWin32::GetSize()
{
    if (!IsOpen())
        return INVALID_FILE_SIZE;
    return GetFileSize(m_hFile, nullptr);
}

bool CFileWin32::ReadWhole(const std::string& path, std::string& bytes, unsigned long long limit)
{
    CFileWin32 file;
    if (!file.OpenRead(path))
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.m_hFile, &size) || static_cast<unsigned long long>(size.QuadPart) > limit ||
        size.QuadPart > 0xFFFFFFFF)
        return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    return bytes.empty() || file.Read(&bytes[0], static_cast<DWORD>(bytes.size()));
}

}}}
