#include "thread/CMutex.h"

namespace Corvane { namespace Base { namespace Thread {

CMutex::CMutex() : m_hMutex(nullptr)
{
}

int CMutex::Create(const std::string& name)
{
    Close();
    m_hMutex = CreateMutexA(nullptr, TRUE, name.c_str());
    if (m_hMutex == nullptr)
        return 0;
    return GetLastError() == ERROR_ALREADY_EXISTS ? 2 : 1;
}

void CMutex::Wait(DWORD milliseconds)
{
    if (m_hMutex != nullptr)
        WaitForSingleObject(m_hMutex, milliseconds);
}

void CMutex::Close()
{
    if (m_hMutex == nullptr)
        return;
    ReleaseMutex(m_hMutex);
    CloseHandle(m_hMutex);
    m_hMutex = nullptr;
}

CMutex::~CMutex()
{
    Close();
}

}}}
