#pragma once

#include "allocator/CAllocator.h"
#include "thread/CCriticalSection.h"

namespace Corvane { namespace Base { namespace Allocator {

// The process-wide registry behind the global operator new and delete.
// Every allocation and release is serialised by its lock.
class CAllocatorManager {
public:
    CAllocatorManager();
    CAllocatorManager(const CAllocatorManager&) = delete;
    CAllocatorManager& operator=(const CAllocatorManager&) = delete;
    virtual ~CAllocatorManager();

    void* Alloc(size_t size);
    void _Free(void* p);

    // Makes `allocator` serve from now on (null: the default again). The
    // programs never install one; tests do.
    void SetAllocator(IAllocator* allocator);
    bool IsInitialized();

private:
    IAllocator* m_pCurrent;
    CAllocator m_Default;
    bool m_bInitialized;
    Thread::CCriticalSection m_Lock;
};

// The live registry, or null before the first allocation and after teardown.
CAllocatorManager* GetAllocatorManager();

// Each unit that owns static objects holds one of these: while any lives,
// the registry stays alive, so it outlives every static that may free memory.
struct CStaticObjectCounter {
    CStaticObjectCounter();
    ~CStaticObjectCounter();
    static int Count();
};

}}}
