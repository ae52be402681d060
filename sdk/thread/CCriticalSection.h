#pragma once

#include <windows.h>

#include "thread/ICriticalSection.h"

namespace Corvane { namespace Base { namespace Thread {

// Win32 critical section that counts its owner's nesting depth, so that
// unbalanced use is reported instead of corrupting the section.
class CCriticalSection : public ICriticalSection {
public:
    CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() override;
    void Leave() override;
    ~CCriticalSection() override;

    int GetEnterCount() const { return m_nEnterCount; }

private:
    CRITICAL_SECTION m_CriticalSection;
    volatile LONG m_nEnterCount;
};

}}}
