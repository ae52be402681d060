#pragma once

#include "thread/CCriticalSection.h"
#include "thread/IEvent.h"

namespace Corvane { namespace Base { namespace Thread {

// Auto-reset Win32 event. The set flag records the last Set/Reset call only;
// a wait that consumes the event does not clear it.
class CEvent : public IEvent {
public:
    CEvent();
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;

    void Set() override;
    void Reset() override;
    DWORD Wait(DWORD milliseconds) override;
    bool IsSet() override;
    ~CEvent() override;
    HANDLE GetHandle() override;
    HANDLE Create() override;
    void Close() override;

protected:
    struct ManualTag {};
    explicit CEvent(ManualTag);
    HANDLE MakeEvent(bool manualReset);

private:
    HANDLE m_hEvent;
    bool m_bSet;
    CCriticalSection m_Lock;
};

// Manual-reset event: stays signalled until Reset.
class CEventManual : public CEvent {
public:
    CEventManual();
    HANDLE Create() override;
};

}}}
