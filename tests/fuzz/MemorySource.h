#pragma once

#include <cstring>

#include "file/PakReader.h"

// The fuzz input as the file an archive reader opens.
class MemorySource : public Corvane::Base::File::PakByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}
    uint64_t Size() const override { return m_nSize; }
    bool ReadAt(uint64_t position, void* buf, uint32_t bytes) override
    {
        if (position > m_nSize || bytes > m_nSize - position)
            return false;
        if (bytes != 0)
            std::memcpy(buf, m_pData + position, bytes);
        return true;
    }

private:
    const uint8_t* m_pData;
    size_t m_nSize;
};
