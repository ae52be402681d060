#include "thread/Singleton.h"

#include <new>

#include "allocator/CAllocatorManager.h"

namespace {

// Keeps the allocator registry alive while this unit's statics may still free memory.
Corvane::Base::Allocator::CStaticObjectCounter s_StaticObjects;

}  // namespace

namespace Corvane { namespace Base { namespace Thread {

ICriticalSection* GetSingletonCreationLock()
{
    // Placement storage: never destroyed, so exit-time accessors can still lock it.
    alignas(CCriticalSection) static unsigned char s_Storage[sizeof(CCriticalSection)];
    static CCriticalSection* s_pLock = new (s_Storage) CCriticalSection();
    return s_pLock;
}

}}}
