#pragma once

#include <windows.h>

namespace Corvane { namespace Base { namespace Thread {

// Slot order as listed; the destructor is the twelfth slot.
class IThread {
public:
    virtual void ThreadProc() = 0;
    virtual bool Start(int priority) = 0;
    virtual void Stop() = 0;
    virtual void RequestStop() = 0;
    virtual DWORD Suspend() = 0;
    virtual DWORD Resume() = 0;
    virtual bool IsRunning() = 0;
    virtual int GetPriority() = 0;
    virtual bool SetPriority(int priority) = 0;
    virtual DWORD GetThreadId() = 0;
    virtual DWORD SleepUntilStop(DWORD milliseconds) = 0;
    virtual ~IThread() {}
};

}}}
