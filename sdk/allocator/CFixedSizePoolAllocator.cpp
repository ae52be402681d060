#include "allocator/CFixedSizePoolAllocator.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "file/FileSystem.h"

namespace Corvane { namespace Base { namespace Allocator {

CFixedSizePoolAllocator::CFixedSizePoolAllocator()
    : m_nBlockSize(kBlockSize), m_nBlockCount(kBlockCount), m_pStorage(nullptr)
{
    size_t bytes = static_cast<size_t>(m_nBlockCount) * (m_nBlockSize + 1);
    m_pStorage = static_cast<unsigned char*>(std::malloc(bytes));
    if (m_pStorage != nullptr)
        std::memset(m_pStorage, 0, bytes);
}

CFixedSizePoolAllocator::~CFixedSizePoolAllocator()
{
    if (m_pStorage == nullptr)
        return;
    for (unsigned i = 0; i < m_nBlockCount; ++i) {
        unsigned char* slot = m_pStorage + static_cast<size_t>(i) * (m_nBlockSize + 1);
        if (slot[m_nBlockSize] != 0) {
            std::string text = File::FormatString(
                "MemoryLeak!  :  0x%X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(slot)));
            MessageBoxA(nullptr, text.c_str(), "CFixedSizePoolAllocator", MB_SYSTEMMODAL | MB_ICONERROR);
        }
    }
    std::free(m_pStorage);
    m_pStorage = nullptr;
}

void CFixedSizePoolAllocator::Initialize()
{
}

void* CFixedSizePoolAllocator::Alloc(size_t)
{
    if (m_pStorage == nullptr || m_nBlockCount == 0)
        return nullptr;
    for (unsigned i = 0; i < m_nBlockCount; ++i) {
        unsigned char* slot = m_pStorage + static_cast<size_t>(i) * (m_nBlockSize + 1);
        if (slot[m_nBlockSize] == 0) {
            slot[m_nBlockSize] = 1;
            return slot;
        }
    }
    return nullptr;
}

bool CFixedSizePoolAllocator::Free(void* p)
{
    if (m_pStorage == nullptr)
        return false;
    if (p == nullptr)
        return true;
    unsigned char* q = static_cast<unsigned char*>(p);
    size_t span = static_cast<size_t>(m_nBlockCount) * (m_nBlockSize + 1);
    if (q < m_pStorage || q >= m_pStorage + span)
        return false;
    size_t offset = static_cast<size_t>(q - m_pStorage);
    if (offset % (m_nBlockSize + 1) != 0)
        return false;  // not a block start: clearing a byte inside another block would corrupt it
    q[m_nBlockSize] = 0;
    return true;
}

int CFixedSizePoolAllocator::GetUsedCount() const
{
    int used = 0;
    if (m_pStorage != nullptr)
        for (unsigned i = 0; i < m_nBlockCount; ++i)
            used += m_pStorage[static_cast<size_t>(i) * (m_nBlockSize + 1) + m_nBlockSize] != 0;
    return used;
}

}}}
