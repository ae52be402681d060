#pragma once

#include <windows.h>

#include <string>

namespace Corvane { namespace Base { namespace File {

// The file interface; every storage keeps this slot order.
// Seek origins: 0 from the start, 1 from the current position, 2 from the end.
class IFile {
public:
    virtual bool Create(const std::string& name, bool truncate) = 0;
    virtual int Load(const std::string& name) = 0;
    virtual void Close() = 0;
    virtual DWORD Read(void* buf, DWORD elemSize, DWORD count) = 0;
    virtual DWORD Write(const void* buf, DWORD elemSize, DWORD count) = 0;
    virtual DWORD GetSize() = 0;
    virtual bool Seek(LONG offset, int origin) = 0;
    virtual DWORD Tell() = 0;
    virtual void Rewind() = 0;
    virtual bool IsOpen() = 0;
    virtual ~IFile() {}
};

}}}
