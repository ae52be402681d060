#pragma once

#include "allocator/IAllocator.h"

namespace Corvane { namespace Base { namespace Allocator {

// The default allocator: the runtime library's malloc and free. Its
// Initialize builds the pool and the arena (which serve nothing by default).
class CAllocator : public IAllocator {
public:
    void Initialize() override;
    void* Alloc(size_t size) override;
    bool Free(void* p) override;
};

}}}
