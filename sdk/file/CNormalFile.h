#pragma once

#include "file/CFileWin32.h"
#include "file/IFile.h"

namespace Corvane { namespace Base { namespace File {

// A plain file on disk.
class CNormalFile : public IFile {
public:
    CNormalFile();
    bool Create(const std::string& name, bool truncate) override;
    int Load(const std::string& name) override;
    void Close() override;
    // Whole elements read; at the end of the file the remaining bytes are
    // still copied and only the whole elements among them are counted.
    DWORD Read(void* buf, DWORD elemSize, DWORD count) override;
    DWORD Write(const void* buf, DWORD elemSize, DWORD count) override;
    DWORD GetSize() override;
    bool Seek(LONG offset, int origin) override;
    DWORD Tell() override;
    void Rewind() override;
    bool IsOpen() override;
    ~CNormalFile() override;

private:
    CFileWin32 m_File;
};

}}}
