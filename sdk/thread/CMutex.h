#pragma once

#include <windows.h>

#include <string>

namespace Corvane { namespace Base { namespace Thread {

// Named mutex, created owned. Create: 0 failed, 1 new name, 2 the name
// already existed (another process holds it); the handle is kept for 1 and 2.
class CMutex {
public:
    CMutex();
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;

    virtual int Create(const std::string& name);
    virtual void Wait(DWORD milliseconds);
    virtual void Close();
    virtual ~CMutex();

private:
    HANDLE m_hMutex;
};

}}}
