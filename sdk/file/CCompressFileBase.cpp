#include "file/CCompressFileBase.h"

#include "auxiliary/BlockCopy.h"
#include "auxiliary/DebugPrint.h"

namespace Corvane { namespace Base { namespace File {

CCompressFileBase::CCompressFileBase()
    : m_pData(nullptr), m_nSize(0), m_pCurrent(nullptr), m_nPosition(0)
{
}

CCompressFileBase::~CCompressFileBase()
{
    Close();
}

bool CCompressFileBase::Create(const std::string& name, bool truncate)
{
    Close();
    DebugPrint("CCompressFileBase::Create() 圧縮ファイルの作成には対応していません。");
    return false;
}

int CCompressFileBase::Load(const std::string& name)
{
    Close();
    int rc = _Load(name);
    Rewind();
    return rc;
}

void CCompressFileBase::Close()
{
    _Release();
    m_pData = nullptr;
    m_nSize = 0;
    m_pCurrent = nullptr;
    m_nPosition = 0;
}

void CCompressFileBase::_Release()
{
    m_Zip.Reset();
}

void CCompressFileBase::_Adopt()
{
    m_pData = m_Zip.m_pDst;
    m_nSize = m_Zip.m_nDstSize;
    m_pCurrent = m_pData;
    m_nPosition = 0;
}

DWORD CCompressFileBase::Read(void* buf, DWORD elemSize, DWORD count)
{
    if (elemSize == 0 || count == 0 || m_pData == nullptr || m_nPosition >= m_nSize)
        return 0;
    // 64-bit product: a huge request must not wrap to a small one.
    unsigned long long wanted = static_cast<unsigned long long>(elemSize) * count;
    DWORD left = m_nSize - m_nPosition;
    DWORD bytes = wanted < left ? static_cast<DWORD>(wanted) : left;
    Auxiliary::BlockCopy(buf, m_pCurrent, bytes);
    m_nPosition += bytes;
    m_pCurrent = m_pData + m_nPosition;
    return wanted <= left ? count : bytes / elemSize;
}

DWORD CCompressFileBase::Write(const void* buf, DWORD elemSize, DWORD count)
{
    DebugPrint("CCompressFileBase::Write() 圧縮ファイル書き出しには対応していません。");
    return 0;
}

DWORD CCompressFileBase::GetSize()
{
    return m_nSize;
}

bool CCompressFileBase::Seek(LONG offset, int origin)
{
    DWORD base;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = m_nPosition; break;
    case 2: base = m_nSize; break;
    default: return false;
    }
    m_nPosition = base + static_cast<DWORD>(offset);
    // Outside the data the pointer stays at its end rather than pointing anywhere.
    m_pCurrent = m_pData == nullptr ? nullptr : m_pData + (m_nPosition < m_nSize ? m_nPosition : m_nSize);
    return true;
}

DWORD CCompressFileBase::Tell()
{
    return m_nPosition;
}

void CCompressFileBase::Rewind()
{
    Seek(0, 0);
}

bool CCompressFileBase::IsOpen()
{
    return m_pData != nullptr;
}

}}}
