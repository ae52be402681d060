#pragma once

#include <cstdint>

#include "allocator/IAllocator.h"

namespace Corvane { namespace Base { namespace Allocator {

// A 16 MiB first-fit arena. Small requests take the lowest fitting address,
// large ones (400 KiB and more) the highest. The address-ordered free list
// gets its nodes from a pool; each block starts with a 32-bit size word.
class CFixedAllocator : public IAllocator {
public:
    static const uint32_t kArenaSize = 0x1000000;
    static const uint32_t kSmallLimit = 409600;

    struct Node {
        Node* prev;
        Node* next;
        unsigned char* start;
        size_t size;
    };

    explicit CFixedAllocator(IAllocator* smallAllocator);
    CFixedAllocator(const CFixedAllocator&) = delete;
    CFixedAllocator& operator=(const CFixedAllocator&) = delete;
    // Reports the bytes still allocated, then returns the nodes to the pool.
    ~CFixedAllocator() override;

    void Initialize() override;
    void* Alloc(size_t size) override;
    bool Free(void* p) override;

    // Takes [start, start + n) out of the free list.
    bool PutArea(unsigned char* start, size_t n);

    // For inspection: the free nodes between the sentinels, in address order.
    int GetFreeNodeCount() const;
    size_t GetFreeBytes() const;
    const Node* GetFirstFreeNode() const { return m_Head.next != &m_Tail ? m_Head.next : nullptr; }
    const unsigned char* GetArena() const { return m_pArena; }

private:
    void Unlink(Node* node);

    IAllocator* pSmallAllocator;
    uint32_t m_nArenaSize;
    uint32_t m_nSmallLimit;
    unsigned char* m_pArena;
    Node m_Head;
    Node m_Tail;
};

// The arena the default allocator builds over the pool on first use.
CFixedAllocator* GetFixedAllocator();

}}}
