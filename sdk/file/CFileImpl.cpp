#include "file/CFileImpl.h"

#include "auxiliary/DebugPrint.h"
#include "file/CFindFile.h"
#include "file/CNormalFile.h"
#include "file/CZipArchiveFile.h"
#include "file/CZipSingleFile.h"
#include "file/FileSystem.h"
#include "file/NonErrMes.h"

namespace Corvane { namespace Base { namespace File {

CFileImpl::CFileImpl() : m_pFile(nullptr)
{
}

CFileImpl::~CFileImpl()
{
    Close();
}

bool CFileImpl::Create(const std::string& name, bool truncate)
{
    Close();
    m_pFile = new CNormalFile;
    if (m_pFile != nullptr && m_pFile->Create(GetFullPath(name), truncate))
        return true;
    DebugPrint("error：ファイルの作成に失敗しました。<%s> [CFileImpl::Create()]", name.c_str());
    Close();
    return false;
}

bool CFileImpl::SelectStorage(const std::string& fullName)
{
    CFindFile find;
    if (find.Exists(fullName)) {
        m_pFile = new CNormalFile;
        return m_pFile != nullptr;
    }
    find.Close();
    if (IsSingleFileFor(fullName))
        m_pFile = new CZipSingleFile;
    else
        m_pFile = new CZipArchiveFile;
    return m_pFile != nullptr;
}

int CFileImpl::Load(const std::string& name)
{
    Close();
    if (name.empty())
        return 0;
    NonErrMes guard;
    std::string fullName = GetFullPath(name);
    if (fullName.empty() || !SelectStorage(fullName))
        return 0;
    if (m_pFile->Load(fullName) == 1)
        return 1;
    Close();
    return 0;
}

void CFileImpl::Close()
{
    delete m_pFile;
    m_pFile = nullptr;
}

DWORD CFileImpl::Read(void* buf, DWORD elemSize, DWORD count)
{
    return m_pFile != nullptr ? m_pFile->Read(buf, elemSize, count) : 0;
}

DWORD CFileImpl::Write(const void* buf, DWORD elemSize, DWORD count)
{
    return m_pFile != nullptr ? m_pFile->Write(buf, elemSize, count) : 0;
}

DWORD CFileImpl::GetSize()
{
    return m_pFile != nullptr ? m_pFile->GetSize() : 0;
}

bool CFileImpl::Seek(LONG offset, int origin)
{
    return m_pFile != nullptr && m_pFile->Seek(offset, origin);
}

DWORD CFileImpl::Tell()
{
    return m_pFile != nullptr ? m_pFile->Tell() : 0;
}

void CFileImpl::Rewind()
{
    if (m_pFile != nullptr)
        m_pFile->Rewind();
}

bool CFileImpl::IsOpen()
{
    return m_pFile != nullptr && m_pFile->IsOpen();
}

}}}
