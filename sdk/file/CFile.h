#pragma once

#include "file/IFile.h"

namespace Corvane { namespace Base { namespace File {

class CFileImpl;

// The file handle users hold; the storage behind it is chosen on open.
// Relative names resolve against the current directory.
class CFile : public IFile {
public:
    CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    bool Create(const std::string& name, bool truncate) override;
    // 1 opened, 0 failed (and closed).
    int Load(const std::string& name) override;
    void Close() override;
    DWORD Read(void* buf, DWORD elemSize, DWORD count) override;
    DWORD Write(const void* buf, DWORD elemSize, DWORD count) override;
    DWORD GetSize() override;
    bool Seek(LONG offset, int origin) override;
    DWORD Tell() override;
    void Rewind() override;
    bool IsOpen() override;
    ~CFile() override;

private:
    CFileImpl* m_pImpl;
};

}}}
