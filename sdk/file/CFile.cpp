#include "file/CFile.h"

#include "file/CFileImpl.h"

namespace Corvane { namespace Base { namespace File {

CFile::CFile() : m_pImpl(nullptr)
{
}

CFile::~CFile()
{
    Close();
}

bool CFile::Create(const std::string& name, bool truncate)
{
    Close();
    m_pImpl = new CFileImpl;
    return m_pImpl != nullptr && m_pImpl->Create(name, truncate);
}

int CFile::Load(const std::string& name)
{
    Close();
    m_pImpl = new CFileImpl;
    if (m_pImpl != nullptr && m_pImpl->Load(name) != 0)
        return 1;
    Close();
    return 0;
}

void CFile::Close()
{
    delete m_pImpl;
    m_pImpl = nullptr;
}

DWORD CFile::Read(void* buf, DWORD elemSize, DWORD count)
{
    return m_pImpl != nullptr ? m_pImpl->Read(buf, elemSize, count) : 0;
}

DWORD CFile::Write(const void* buf, DWORD elemSize, DWORD count)
{
    return m_pImpl != nullptr ? m_pImpl->Write(buf, elemSize, count) : 0;
}

DWORD CFile::GetSize()
{
    return m_pImpl != nullptr ? m_pImpl->GetSize() : 0;
}

bool CFile::Seek(LONG offset, int origin)
{
    return m_pImpl != nullptr && m_pImpl->Seek(offset, origin);
}

DWORD CFile::Tell()
{
    return m_pImpl != nullptr ? m_pImpl->Tell() : 0;
}

void CFile::Rewind()
{
    if (m_pImpl != nullptr)
        m_pImpl->Rewind();
}

bool CFile::IsOpen()
{
    return m_pImpl != nullptr && m_pImpl->IsOpen();
}

}}}
