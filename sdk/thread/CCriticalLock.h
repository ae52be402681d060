#pragma once

#include "thread/ICriticalSection.h"

namespace Corvane { namespace Base { namespace Thread {

// Scoped lock: enters in the constructor and leaves as often as it entered in
// the destructor. Before a blocking wait call Leave(), after it Enter().
class CCriticalLock {
public:
    explicit CCriticalLock(ICriticalSection* target);
    CCriticalLock(const CCriticalLock&) = delete;
    CCriticalLock& operator=(const CCriticalLock&) = delete;

    virtual void Enter();
    virtual void Leave();
    virtual ~CCriticalLock();

private:
    ICriticalSection* m_pTarget;
    int m_nEnterCount;
};

}}}
