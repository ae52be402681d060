#include "file/CZipArchiveFile.h"

#include <new>

#include "auxiliary/DebugPrint.h"
#include "file/CFindFile.h"
#include "file/FileSystem.h"
#include "file/PakFormat.h"
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
    std::string innerSlash = ToSlash(inner);

    unsigned char header[Pak::kHeaderSize];
    if (!archive.ReadAt(0, header, sizeof(header)) || !Pak::HasMagic(header, Pak::kArchiveMagic))
        return 0;
    uint32_t directorySize = Pak::ReadLE32(header + Pak::kMagicSize);
    if (!Pak::DirectoryFits(directorySize, archive.Size()))
        return 0;
    unsigned char* directory = new (std::nothrow) unsigned char[directorySize];
    if (directory == nullptr)
        return 0;
    Pak::Entry member;
    Pak::Lookup found = Pak::Lookup::NotFound;
    if (archive.ReadAt(Pak::kHeaderSize, directory, directorySize))
        found = Pak::FindEntry(directory, directorySize, inner, innerSlash, member);
    delete[] directory;
    if (found != Pak::Lookup::Found)
        return 0;

    if (!Pak::MemberFits(member.m_Offset, member.m_Length, archive.Size()))
        return -1;
    unsigned char* block = new (std::nothrow) unsigned char[static_cast<size_t>(member.m_Length) + 8];
    if (block == nullptr) {
        DebugPrint("CZipArchiveFile::_Load() メモリ割り当てに失敗！[%s][src_size:%dbyte]", fullPath.c_str(),
                   static_cast<int>(member.m_Length));
        Close();
        return -1;
    }
    if (!archive.ReadAt(member.m_Offset, block, member.m_Length)) {
        delete[] block;
        Close();
        return -1;
    }
    m_Zip.Reset();
    m_Zip.m_pSrc = block;
    m_Zip.m_nSrcSize = member.m_Length;
    bool ok = m_Zip.Decompress();
    m_Zip.m_pSrc = nullptr;
    delete[] block;
    if (!ok) {
        Close();
        return -1;
    }
    _Adopt();
    return 1;
}

}}}
