#pragma once

#include "file/CZip.h"
#include "file/IFile.h"

namespace Corvane { namespace Base { namespace File {

// A read-only file held whole in memory, inflated from compressed storage on
// Load. Reads, seeks and size queries touch no disk.
class CCompressFileBase : public IFile {
public:
    CCompressFileBase();
    CCompressFileBase(const CCompressFileBase&) = delete;
    CCompressFileBase& operator=(const CCompressFileBase&) = delete;

    // Refused and reported: compressed files are never written.
    bool Create(const std::string& name, bool truncate) override;
    // 1 loaded; 0 the storage does not hold the file; -1 it does but reading failed.
    int Load(const std::string& name) override;
    void Close() override;
    DWORD Read(void* buf, DWORD elemSize, DWORD count) override;
    DWORD Write(const void* buf, DWORD elemSize, DWORD count) override;
    DWORD GetSize() override;
    // Not clamped: reads outside the data return 0.
    bool Seek(LONG offset, int origin) override;
    DWORD Tell() override;
    void Rewind() override;
    bool IsOpen() override;
    ~CCompressFileBase() override;

    virtual int _Load(const std::string& fullPath) = 0;
    virtual void _Release();

protected:
    // Takes the inflated output of m_Zip as this file's data.
    void _Adopt();

    unsigned char* m_pData;
    DWORD m_nSize;
    unsigned char* m_pCurrent;
    DWORD m_nPosition;
    CZip m_Zip;
};

}}}
