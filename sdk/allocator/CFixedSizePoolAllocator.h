#pragma once

#include "allocator/IAllocator.h"

namespace Corvane { namespace Base { namespace Allocator {

// A pool of 8192 blocks of 32 bytes, each followed by an in-use byte.
// Reports every block still in use when it is destroyed.
class CFixedSizePoolAllocator : public IAllocator {
public:
    static const unsigned kBlockSize = 32;
    static const unsigned kBlockCount = 8192;

    CFixedSizePoolAllocator();
    CFixedSizePoolAllocator(const CFixedSizePoolAllocator&) = delete;
    CFixedSizePoolAllocator& operator=(const CFixedSizePoolAllocator&) = delete;
    ~CFixedSizePoolAllocator() override;

    void Initialize() override;
    // The size is ignored: every block has 32 bytes.
    void* Alloc(size_t size) override;
    bool Free(void* p) override;

    int GetUsedCount() const;

private:
    unsigned m_nBlockSize;
    unsigned m_nBlockCount;
    unsigned char* m_pStorage;
};

// The pool the default allocator builds on first use.
CFixedSizePoolAllocator* GetFixedSizePoolAllocator();

}}}
