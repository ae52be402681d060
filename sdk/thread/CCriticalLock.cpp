#include "thread/CCriticalLock.h"

#include "auxiliary/DebugPrint.h"

namespace Corvane { namespace Base { namespace Thread {

CCriticalLock::CCriticalLock(ICriticalSection* target) : m_pTarget(target), m_nEnterCount(0)
{
    if (target == nullptr)
        DebugPrint("CCriticalLock::CCriticalLock() 無効なクリティカルセクションが渡された。");
    Enter();
}

void CCriticalLock::Enter()
{
    if (m_pTarget != nullptr)
        m_pTarget->Enter();
    ++m_nEnterCount;
}

void CCriticalLock::Leave()
{
    if (m_nEnterCount == 0) {
        DebugPrint("CCriticalLock::Leave() Enter()されていないのにLeaveが呼び出された。");
        return;
    }
    --m_nEnterCount;
    if (m_pTarget != nullptr)
        m_pTarget->Leave();
}

CCriticalLock::~CCriticalLock()
{
    while (m_nEnterCount > 0)
        Leave();
}

}}}
