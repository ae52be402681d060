#include "allocator/CAllocator.h"

#include <cstdlib>

#include "allocator/CAllocatorManager.h"
#include "allocator/CFixedAllocator.h"
#include "allocator/CFixedSizePoolAllocator.h"

namespace {

// Keeps the allocator registry alive while this unit's statics may still free memory.
Corvane::Base::Allocator::CStaticObjectCounter s_StaticObjects;

}  // namespace

namespace Corvane { namespace Base { namespace Allocator {

CFixedSizePoolAllocator* GetFixedSizePoolAllocator()
{
    static CFixedSizePoolAllocator s_Pool;
    return &s_Pool;
}

CFixedAllocator* GetFixedAllocator()
{
    // Built after the pool, so destroyed before it at exit.
    static CFixedAllocator s_Arena(GetFixedSizePoolAllocator());
    return &s_Arena;
}

void CAllocator::Initialize()
{
    GetFixedSizePoolAllocator()->Initialize();
    GetFixedAllocator()->Initialize();
}

void* CAllocator::Alloc(size_t size)
{
    return std::malloc(size);
}

bool CAllocator::Free(void* p)
{
    std::free(p);
    return true;
}

}}}
