#include "allocator/CAllocatorManager.h"

#include <cstdlib>
#include <new>

#include "auxiliary/DebugPrint.h"
#include "thread/CCriticalLock.h"

namespace Corvane { namespace Base { namespace Allocator {

namespace {

CAllocatorManager* g_pRegistry = nullptr;
bool g_bCreating = false;
bool g_bDestroying = false;
int g_nStaticObjects = 0;

CStaticObjectCounter g_ThisUnit;

CAllocatorManager* CreateRegistry()
{
    g_bCreating = true;
    void* memory = std::malloc(sizeof(CAllocatorManager));
    CAllocatorManager* registry = memory != nullptr ? new (memory) CAllocatorManager() : nullptr;
    g_bCreating = false;
    return registry;
}

void DestroyRegistry()
{
    g_bDestroying = true;
    CAllocatorManager* registry = g_pRegistry;
    g_pRegistry = nullptr;
    registry->~CAllocatorManager();
    std::free(registry);
    g_bDestroying = false;
}

}  // namespace

CStaticObjectCounter::CStaticObjectCounter()
{
    ++g_nStaticObjects;
}

CStaticObjectCounter::~CStaticObjectCounter()
{
    --g_nStaticObjects;
}

int CStaticObjectCounter::Count()
{
    return g_nStaticObjects;
}

CAllocatorManager::CAllocatorManager() : m_pCurrent(nullptr), m_bInitialized(false)
{
}

CAllocatorManager::~CAllocatorManager()
{
}

void* CAllocatorManager::Alloc(size_t size)
{
    Thread::CCriticalLock lock(&m_Lock);
    if (!m_bInitialized) {
        m_bInitialized = true;
        m_Default.Initialize();
    }
    return m_pCurrent != nullptr ? m_pCurrent->Alloc(size) : m_Default.Alloc(size);
}

void CAllocatorManager::_Free(void* p)
{
    Thread::CCriticalLock lock(&m_Lock);
    if (m_pCurrent == nullptr) {
        m_Default.Free(p);
        return;
    }
    if (m_pCurrent->Free(p))
        return;
    if (!m_Default.Free(p))
        DebugPrint("CAllocatorManager::_Free() 所在不明のメモリ");
}

void CAllocatorManager::SetAllocator(IAllocator* allocator)
{
    Thread::CCriticalLock lock(&m_Lock);
    m_pCurrent = allocator;
}

bool CAllocatorManager::IsInitialized()
{
    Thread::CCriticalLock lock(&m_Lock);
    return m_bInitialized;
}

CAllocatorManager* GetAllocatorManager()
{
    return g_pRegistry;
}

}}}

using Corvane::Base::Allocator::g_bCreating;
using Corvane::Base::Allocator::g_bDestroying;
using Corvane::Base::Allocator::g_nStaticObjects;
using Corvane::Base::Allocator::g_pRegistry;

namespace {

void* Allocate(size_t size)
{
    if (g_bCreating)
        return std::malloc(size);
    if (g_pRegistry == nullptr)
        g_pRegistry = Corvane::Base::Allocator::CreateRegistry();
    if (g_pRegistry == nullptr)
        return std::malloc(size);
    return g_pRegistry->Alloc(size);
}

void Release(void* p)
{
    if (g_bDestroying || g_pRegistry == nullptr) {
        // The registry is gone (or going): whatever is freed now came from malloc.
        std::free(p);
        return;
    }
    g_pRegistry->_Free(p);
    if (g_nStaticObjects == 0)
        Corvane::Base::Allocator::DestroyRegistry();
}

}  // namespace

// Referenced from the link line so that every program takes these definitions.
extern "C" {
int corvane_allocator_anchor = 0;
}

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, size_t) noexcept { Release(p); }
void operator delete[](void* p, size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
