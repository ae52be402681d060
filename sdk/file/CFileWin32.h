#pragma once

#include <windows.h>

#include <string>

namespace Corvane { namespace Base { namespace File {

// Owner of one Win32 file handle with all-or-nothing reads and writes that
// retry transient failures and give up with the position where they began.
class CFileWin32 {
public:
    CFileWin32();
    CFileWin32(const CFileWin32&) = delete;
    CFileWin32& operator=(const CFileWin32&) = delete;
    virtual ~CFileWin32();

    // Shares reading only.
    bool OpenRead(const std::string& name);
    // Read and write access, no sharing; appends unless truncating.
    bool OpenWrite(const std::string& name, bool truncate);
    void Close();
    bool Read(void* buf, DWORD bytes);
    bool Write(const void* buf, DWORD bytes);
    bool Seek(LONG distance, DWORD method);
    DWORD Tell();
    bool Rewind();
    DWORD GetSize();
    bool IsOpen() const;
    HANDLE GetHandle() const { return m_hFile; }

    // The whole of a file of at most `limit` bytes; false when it cannot be
    // read whole or is larger.
    static bool ReadWhole(const std::string& path, std::string& bytes, unsigned long long limit);

    HANDLE m_hFile;
    bool m_bWriteThrough;  // set by the owner before OpenWrite

private:
    // The retries of Read and Write go back with full 64-bit positions: the
    // 32-bit interface above cannot name a place beyond 4 GiB, and the
    // worker copies files of any size through these.
    bool Position64(unsigned long long& position);
    bool SeekTo64(unsigned long long position);
    bool AtEnd();
};

}}}
