#pragma once

#include <windows.h>

namespace Corvane { namespace Base { namespace Thread {

// Slot order: Set, Reset, Wait, IsSet, destructor, GetHandle, Create, Close.
class IEvent {
public:
    virtual void Set() = 0;
    virtual void Reset() = 0;
    virtual DWORD Wait(DWORD milliseconds) = 0;
    virtual bool IsSet() = 0;
    virtual ~IEvent() {}
    virtual HANDLE GetHandle() = 0;
    virtual HANDLE Create() = 0;
    virtual void Close() = 0;
};

}}}
