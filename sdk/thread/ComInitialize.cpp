#include "thread/ComInitialize.h"

#include <objbase.h>

#include "allocator/CAllocatorManager.h"
#include "thread/CCriticalLock.h"
#include "thread/CCriticalSection.h"
#include "thread/ThreadLocal.h"

namespace {

// Declared first, so it outlives the statics below, which free memory.
Corvane::Base::Allocator::CStaticObjectCounter s_StaticObjects;

// Each thread's count of successful InitializeCom calls not yet undone.
Corvane::Base::Thread::ThreadLocal<int> s_ComCount;
Corvane::Base::Thread::CCriticalSection s_ComLock;

}  // namespace

namespace Corvane { namespace Base { namespace Thread {

bool InitializeCom()
{
    CCriticalLock lock(&s_ComLock);
    if (s_ComCount.Get() == nullptr)
        s_ComCount.Set(0);
    int* count = s_ComCount.Get();
    if (count == nullptr)
        return false;
    if (*count != 0 || SUCCEEDED(CoInitialize(nullptr))) {
        s_ComCount.Set(*count + 1);
        return true;
    }
    s_ComCount.RemoveCurrent();
    return false;
}

void UninitializeCom()
{
    CCriticalLock lock(&s_ComLock);
    int* count = s_ComCount.Get();
    if (count == nullptr)
        return;
    s_ComCount.Set(*count - 1);
    if (*count == 0) {
        CoUninitialize();
        s_ComCount.RemoveCurrent();
    }
}

}}}
