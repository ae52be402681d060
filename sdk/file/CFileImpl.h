#pragma once

#include "file/IFile.h"

namespace Corvane { namespace Base { namespace File {

// Chooses where a named file's data lives and forwards to that storage.
class CFileImpl : public IFile {
public:
    CFileImpl();
    CFileImpl(const CFileImpl&) = delete;
    CFileImpl& operator=(const CFileImpl&) = delete;

    bool Create(const std::string& name, bool truncate) override;
    int Load(const std::string& name) override;
    void Close() override;
    DWORD Read(void* buf, DWORD elemSize, DWORD count) override;
    DWORD Write(const void* buf, DWORD elemSize, DWORD count) override;
    DWORD GetSize() override;
    bool Seek(LONG offset, int origin) override;
    DWORD Tell() override;
    void Rewind() override;
    bool IsOpen() override;
    ~CFileImpl() override;

private:
    // Creates the storage object for a full name in m_pFile: a plain file,
    // else the single compressed file that names it, else an archive member.
    bool SelectStorage(const std::string& fullName);

    IFile* m_pFile;
};

}}}
