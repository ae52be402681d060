#include "thread/CEvent.h"

#include "thread/CCriticalLock.h"

namespace Corvane { namespace Base { namespace Thread {

CEvent::CEvent() : m_hEvent(nullptr), m_bSet(false)
{
    MakeEvent(false);
}

CEvent::CEvent(ManualTag) : m_hEvent(nullptr), m_bSet(false)
{
    // The derived constructor creates the manual-reset event.
}

void CEvent::Set()
{
    CCriticalLock lock(&m_Lock);
    SetEvent(m_hEvent);
    m_bSet = true;
}

void CEvent::Reset()
{
    CCriticalLock lock(&m_Lock);
    ResetEvent(m_hEvent);
    m_bSet = false;
}

DWORD CEvent::Wait(DWORD milliseconds)
{
    return WaitForSingleObject(m_hEvent, milliseconds);
}

bool CEvent::IsSet()
{
    CCriticalLock lock(&m_Lock);
    return m_bSet;
}

CEvent::~CEvent()
{
    Close();
}

HANDLE CEvent::GetHandle()
{
    return m_hEvent;
}

HANDLE CEvent::Create()
{
    return MakeEvent(false);
}

HANDLE CEvent::MakeEvent(bool manualReset)
{
    Close();
    m_hEvent = CreateEventA(nullptr, manualReset ? TRUE : FALSE, FALSE, nullptr);
    return m_hEvent;
}

void CEvent::Close()
{
    if (m_hEvent != nullptr)
        CloseHandle(m_hEvent);
    m_hEvent = nullptr;
}

CEventManual::CEventManual() : CEvent(ManualTag())
{
    Create();
}

HANDLE CEventManual::Create()
{
    return MakeEvent(true);
}

}}}
