#include "thread/CCriticalSection.h"

#include "auxiliary/DebugPrint.h"

namespace Corvane { namespace Base { namespace Thread {

CCriticalSection::CCriticalSection() : m_nEnterCount(0)
{
    InitializeCriticalSection(&m_CriticalSection);
}

void CCriticalSection::Enter()
{
    EnterCriticalSection(&m_CriticalSection);
    ++m_nEnterCount;
}

void CCriticalSection::Leave()
{
    if (m_nEnterCount == 0) {
        DebugPrint("CCriticalSection::Leave() Enter()されていないのにLeave()が呼び出された。");
        return;
    }
    --m_nEnterCount;
    LeaveCriticalSection(&m_CriticalSection);
}

CCriticalSection::~CCriticalSection()
{
    if (m_nEnterCount > 0) {
        DebugPrint("CCriticalSection::~CCriticalSection() Leave()されていないまま解放されようとしている。");
        for (LONG n = m_nEnterCount; n > 0; --n)
            Leave();
    }
    DeleteCriticalSection(&m_CriticalSection);
}

}}}
