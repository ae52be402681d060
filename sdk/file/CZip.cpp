#include "file/CZip.h"

#include <cstddef>
#include <new>

#include "file/PakFormat.h"

namespace Corvane { namespace Base { namespace File {

CZip::CZip() : m_pSrc(nullptr), m_nSrcSize(0), m_pDst(nullptr), m_nDstSize(0)
{
}

CZip::~CZip()
{
    _FreeDst();
}

void CZip::_FreeDst()
{
    delete[] m_pDst;
    m_pDst = nullptr;
}

void CZip::Reset()
{
    _FreeDst();
    m_pSrc = nullptr;
    m_nSrcSize = 0;
    m_nDstSize = 0;
}

bool CZip::Decompress()
{
    if (m_pSrc == nullptr || m_nSrcSize <= 4)
        return false;
    Pak::ScrambleBlockHead(m_pSrc, m_nSrcSize);
    uint32_t length = 0;
    _FreeDst();
    m_nDstSize = 0;
    if (!Pak::BlockLength(m_pSrc, m_nSrcSize, length))
        return false;
    // size_t arithmetic: the extra byte must not wrap a 32-bit length to 0.
    m_pDst = new (std::nothrow) unsigned char[static_cast<size_t>(length) + 1];
    if (m_pDst == nullptr)
        return false;
    if (!Pak::InflateBlock(m_pSrc, m_nSrcSize, m_pDst, length)) {
        _FreeDst();
        return false;
    }
    m_nDstSize = length;
    return true;
}

}}}
