#include "file/CZipArchiveFile.h"

#include "auxiliary/DebugPrint.h"
#include "file/CFindFile.h"
#include "file/FileSystem.h"
#include "file/PakSource.h"
#include "file/PathText.h"

namespace Corvane { namespace Base { namespace File {

bool FindArchive(const std::string& fullPath, std::string& archivePath, std::string& innerPath)
{
    std::string cur = fullPath;
    std::string full = GetFullPath(fullPath);
    for (;;) {
        std::string candidate = GetParentDirectory(cur);
        if (candidate == cur)
            return false;
        std::string pak = candidate + ".pak";
        CFindFile find;
        if (find.Exists(pak)) {
            archivePath = pak;
            // The folder the archive stands for, then its separator.
            size_t cut = candidate.size() + 1;
            innerPath = cut < full.size() ? full.substr(cut) : std::string();
            return true;
        }
        cur = candidate;
    }
}

CZipArchiveFile::~CZipArchiveFile()
{
    Close();
}

int CZipArchiveFile::_Load(const std::string& fullPath)
{
    std::string archivePath, innerPath;
    if (!FindArchive(fullPath, archivePath, innerPath))
        return 0;
    PakSource archive;
    if (!archive.Open(archivePath))
        return 0;
    std::string inner = ToLower(RemoveDoubleBackslash(ToBackslash(innerPath)));
    PakLoadFailure failure;
    int rc = LoadArchiveMember(archive, inner, ToSlash(inner), m_Zip, failure);
    if (rc != 1) {
        if (failure.m_bNoMemory)
            DebugPrint("CZipArchiveFile::_Load() メモリ割り当てに失敗！[%s][src_size:%dbyte]", fullPath.c_str(),
                       static_cast<int>(failure.m_nBlockSize));
        Close();
        return rc;
    }
    _Adopt();
    return 1;
}

}}}
