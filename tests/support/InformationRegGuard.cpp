#include "support/InformationRegGuard.h"

#include <windows.h>

#include "auxiliary/CSetupHelper2.h"
#include "support/ScratchDir.h"

namespace TestSupport {

namespace {

void Remove(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

}  // namespace

InformationRegGuard::InformationRegGuard()
    : m_Path(Corvane::Base::Auxiliary::CSetupHelper2::GetSetupInformationFolder() + "\\Information.reg"),
      m_bExisted(ScratchDir::ReadFile(m_Path, m_Saved))
{
    Remove(m_Path);
}

InformationRegGuard::~InformationRegGuard()
{
    Remove(m_Path);
    if (!m_bExisted)
        return;
    HANDLE file = CreateFileA(m_Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, m_Saved.data(), static_cast<DWORD>(m_Saved.size()), &written, nullptr);
    CloseHandle(file);
}

std::string InformationRegGuard::Bytes() const
{
    std::string bytes;
    ScratchDir::ReadFile(m_Path, bytes);
    return bytes;
}

}  // namespace TestSupport
