#pragma once

#include <cstddef>

namespace Corvane { namespace Base { namespace Allocator {

// Slot order: Initialize, Alloc, Free, destructor.
class IAllocator {
public:
    virtual void Initialize() = 0;
    virtual void* Alloc(size_t size) = 0;
    // True when the pointer was accepted (its own, or null where noted).
    virtual bool Free(void* p) = 0;
    virtual ~IAllocator() {}
};

}}}
