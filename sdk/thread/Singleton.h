#pragma once

#include <atomic>

#include "thread/CCriticalLock.h"
#include "thread/CCriticalSection.h"

namespace Corvane { namespace Base { namespace Thread {

// The process-wide lock under which every singleton's own lock is created.
// Built on first use and never destroyed, so it stays usable during exit.
ICriticalSection* GetSingletonCreationLock();

// Builds T on first use under the creation lock and a lock of T's own; the
// object is a function-local static, so singletons die at exit in reverse
// order of their creation. After its destruction the accessor yields null
// instead of building it again.
template <class T>
class CSingleton {
public:
    static T* Get()
    {
        T* p = s_pInstance.load(std::memory_order_acquire);
        if (p != nullptr || s_bDestroyed.load(std::memory_order_acquire))
            return p;
        ICriticalSection* own = OwnLock();
        CCriticalLock lock(own);
        p = s_pInstance.load(std::memory_order_acquire);
        if (p == nullptr && !s_bDestroyed.load(std::memory_order_acquire)) {
            static Holder s_Holder;
            p = &s_Holder.m_Object;
            s_pInstance.store(p, std::memory_order_release);
        }
        return p;
    }

    static bool IsAlive() { return s_pInstance.load(std::memory_order_acquire) != nullptr; }

private:
    struct Holder {
        T m_Object;
        ~Holder()
        {
            // Runs before m_Object is destroyed: late callers see null.
            s_bDestroyed.store(true, std::memory_order_release);
            s_pInstance.store(nullptr, std::memory_order_release);
        }
    };

    static ICriticalSection* OwnLock()
    {
        CCriticalLock creation(GetSingletonCreationLock());
        static CCriticalSection s_Own;
        return &s_Own;
    }

    static inline std::atomic<T*> s_pInstance{nullptr};
    static inline std::atomic<bool> s_bDestroyed{false};
};

}}}
