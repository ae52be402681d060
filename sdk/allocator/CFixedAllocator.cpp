#include "allocator/CFixedAllocator.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "auxiliary/DebugPrint.h"
#include "file/FileSystem.h"

namespace Corvane { namespace Base { namespace Allocator {

namespace {

uint32_t ReadSizeWord(const unsigned char* p)
{
    uint32_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

void WriteSizeWord(unsigned char* p, uint32_t v)
{
    std::memcpy(p, &v, sizeof(v));
}

}  // namespace

CFixedAllocator::CFixedAllocator(IAllocator* smallAllocator)
    : pSmallAllocator(smallAllocator), m_nArenaSize(kArenaSize), m_nSmallLimit(kSmallLimit), m_pArena(nullptr)
{
    m_Head = Node{nullptr, &m_Tail, nullptr, 0};
    m_Tail = Node{&m_Head, nullptr, nullptr, 0};
    m_pArena = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(m_nArenaSize) + 1));
    if (m_pArena == nullptr)
        return;
    std::memset(m_pArena, 0, m_nArenaSize);
    // The tail lies one past the arena's end, so no free area ever merges into it.
    m_Tail.start = m_pArena + m_nArenaSize + 1;
    Node* whole = pSmallAllocator != nullptr ? static_cast<Node*>(pSmallAllocator->Alloc(sizeof(Node))) : nullptr;
    if (whole == nullptr) {
        std::free(m_pArena);
        m_pArena = nullptr;
        return;
    }
    *whole = Node{&m_Head, &m_Tail, m_pArena, m_nArenaSize};
    m_Head.next = whole;
    m_Tail.prev = whole;
}

CFixedAllocator::~CFixedAllocator()
{
    if (m_pArena == nullptr)
        return;
    size_t free = GetFreeBytes();
    if (free != m_nArenaSize) {
        std::string text = File::FormatString("MemoryLeak!  :  [Size] %d byte", static_cast<int>(m_nArenaSize - free));
        MessageBoxA(nullptr, text.c_str(), "CFixedAllocator", MB_SYSTEMMODAL | MB_ICONERROR);
    }
    for (Node* n = m_Head.next; n != &m_Tail;) {
        Node* next = n->next;
        pSmallAllocator->Free(n);
        n = next;
    }
    m_Head.next = &m_Tail;
    m_Tail.prev = &m_Head;
    std::free(m_pArena);
    m_pArena = nullptr;
}

void CFixedAllocator::Initialize()
{
}

void* CFixedAllocator::Alloc(size_t size)
{
    if (m_pArena == nullptr || size > m_nArenaSize)
        return nullptr;
    size_t n = (size == 0 ? 1 : size) + 4;
    unsigned char* block = nullptr;
    if (n < m_nSmallLimit) {
        for (Node* node = m_Head.next; node != &m_Tail; node = node->next)
            if (node->size >= n) {
                block = node->start;
                break;
            }
    } else {
        for (Node* node = m_Tail.prev; node != &m_Head; node = node->prev)
            if (node->size >= n) {
                block = node->start + node->size - n;
                break;
            }
    }
    if (block == nullptr || !PutArea(block, n))
        return nullptr;
    WriteSizeWord(block, static_cast<uint32_t>(n));
    return block + 4;
}

void CFixedAllocator::Unlink(Node* node)
{
    node->prev->next = node->next;
    node->next->prev = node->prev;
    pSmallAllocator->Free(node);
}

bool CFixedAllocator::PutArea(unsigned char* start, size_t n)
{
    Node* node = m_Head.next;
    while (node != &m_Tail && !(node->start <= start && start < node->start + node->size))
        node = node->next;
    if (node == &m_Tail)
        return false;
    unsigned char* end = node->start + node->size;
    if (start + n > end)
        return false;  // the area is not wholly free
    if (start == node->start) {
        node->start += n;
        node->size -= n;
        if (node->size == 0)
            Unlink(node);
    } else if (start + n == end) {
        node->size -= n;
        if (node->size == 0)
            Unlink(node);
    } else {
        Node* rest = static_cast<Node*>(pSmallAllocator->Alloc(sizeof(Node)));
        if (rest == nullptr) {
            DebugPrint("CFixedAllocator::PutArea() pSmallAllocatorに失敗");
            return false;
        }
        *rest = Node{node, node->next, start + n, static_cast<size_t>(end - (start + n))};
        node->next->prev = rest;
        node->next = rest;
        node->size = static_cast<size_t>(start - node->start);
    }
    return true;
}

bool CFixedAllocator::Free(void* p)
{
    if (m_pArena == nullptr)
        return false;
    if (p == nullptr)
        return true;
    unsigned char* q = static_cast<unsigned char*>(p);
    if (q < m_pArena || q >= m_pArena + m_nArenaSize)
        return false;
    unsigned char* area = q - 4;
    if (area < m_pArena)
        return true;  // inside the arena but no block start: nothing to give back
    size_t length = ReadSizeWord(area);
    if (length < 5 || length > static_cast<size_t>(m_pArena + m_nArenaSize - area)) {
        DebugPrint("CFixedAllocator::Free() 不正なブロック 0x%X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)));
        return true;
    }
    Node* node = m_Head.next;
    while (node != &m_Tail && node->start < area)
        node = node->next;
    Node* prev = node->prev;
    // A block that overlaps free space was freed already: leave the list intact.
    if ((prev != &m_Head && prev->start + prev->size > area) || (node != &m_Tail && area + length > node->start)) {
        DebugPrint("CFixedAllocator::Free() 解放済みのブロック 0x%X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)));
        return true;
    }
    if (prev != &m_Head && prev->start + prev->size == area) {
        prev->size += length;
        if (node != &m_Tail && prev->start + prev->size == node->start) {
            prev->size += node->size;
            Unlink(node);
        }
    } else if (node != &m_Tail && area + length == node->start) {
        node->start = area;
        node->size += length;
    } else {
        Node* fresh = static_cast<Node*>(pSmallAllocator->Alloc(sizeof(Node)));
        if (fresh == nullptr) {
            // Without a node the area cannot be listed: it stays in use rather than corrupt the list.
            DebugPrint("CFixedAllocator::Free() pSmallAllocatorに失敗");
            return true;
        }
        *fresh = Node{prev, node, area, length};
        prev->next = fresh;
        node->prev = fresh;
    }
    return true;
}

int CFixedAllocator::GetFreeNodeCount() const
{
    int count = 0;
    for (const Node* n = m_Head.next; n != &m_Tail; n = n->next)
        ++count;
    return count;
}

size_t CFixedAllocator::GetFreeBytes() const
{
    size_t sum = 0;
    for (const Node* n = m_Head.next; n != &m_Tail; n = n->next)
        sum += n->size;
    return sum;
}

}}}
