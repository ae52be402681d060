#pragma once

#include <cstdint>
#include <string>

#include "file/CFileWin32.h"
#include "file/PakReader.h"

namespace Corvane { namespace Base { namespace File {

// An archive or single compressed file on disk, open only while a member is
// loaded. Positions and the size are 64-bit so that every number read from
// the file can be checked against what the file really holds.
class PakSource : public PakByteSource {
public:
    PakSource() : m_nSize(0) {}
    PakSource(const PakSource&) = delete;
    PakSource& operator=(const PakSource&) = delete;

    // False when it cannot be opened or holds 4 GiB or more, which 32-bit
    // offsets cannot address.
    bool Open(const std::string& path);
    uint64_t Size() const override { return m_nSize; }
    bool ReadAt(uint64_t position, void* buf, uint32_t bytes) override;

private:
    CFileWin32 m_File;
    uint64_t m_nSize;
};

}}}
