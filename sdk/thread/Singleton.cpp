#include "thread/Singleton.h"

#include <new>

namespace Corvane { namespace Base { namespace Thread {

ICriticalSection* GetSingletonCreationLock()
{
    // Placement storage: never destroyed, so exit-time accessors can still lock it.
    alignas(CCriticalSection) static unsigned char s_Storage[sizeof(CCriticalSection)];
    static CCriticalSection* s_pLock = new (s_Storage) CCriticalSection();
    return s_pLock;
}

}}}
