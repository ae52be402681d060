#pragma once

#include <cstdint>

namespace Corvane { namespace Base { namespace File {

// Inflates one compressed block. Pure: no Win32.
class CZip {
public:
    CZip();
    CZip(const CZip&) = delete;
    CZip& operator=(const CZip&) = delete;
    virtual ~CZip();

    // Unscrambles the block in place and inflates it into m_pDst / m_nDstSize.
    // False, with no output kept, for a block that is not exactly what it
    // claims to be.
    bool Decompress();
    // Frees the output and forgets the block.
    void Reset();

    unsigned char* m_pSrc;  // borrowed: the caller allocates and frees it
    uint32_t m_nSrcSize;
    unsigned char* m_pDst;  // owned
    uint32_t m_nDstSize;

private:
    void _FreeDst();
};

}}}
