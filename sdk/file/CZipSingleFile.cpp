#include "file/CZipSingleFile.h"

#include <new>

#include "auxiliary/DebugPrint.h"
#include "file/CFindFile.h"
#include "file/FileSystem.h"
#include "file/PakFormat.h"
#include "file/PakSource.h"
#include "file/PathText.h"

namespace Corvane { namespace Base { namespace File {

std::string SingleFileName(const std::string& fullPath, std::string* lowerName)
{
    std::string full = GetFullPath(fullPath);
    std::string folder, file, base, ext;
    SplitPath(full, folder, file);
    SplitFileName(full, base, ext);
    if (lowerName != nullptr)
        *lowerName = ToLower(file);
    return RemoveDoubleBackslash(folder + "\\" + base + Pak::ExtensionDigits(ext) + ".pak");
}

namespace {

// Opens the single compressed file for `fullPath` and reads its header; false
// when it is missing, corrupt or stores another file's name.
bool OpenSingle(const std::string& fullPath, PakSource& source, uint32_t& offset, uint32_t& length)
{
    std::string lowerName;
    std::string path = SingleFileName(fullPath, &lowerName);
    if (!source.Open(path))
        return false;
    unsigned char header[Pak::kHeaderSize];
    if (!source.ReadAt(0, header, sizeof(header)) || !Pak::HasMagic(header, Pak::kSingleMagic))
        return false;
    uint32_t nameSize = Pak::ReadLE32(header + Pak::kMagicSize);
    if (nameSize == 0 || nameSize > Pak::kMaxNameSize)
        return false;
    unsigned char rest[Pak::kMaxNameSize + 8];
    std::string name;
    if (!source.ReadAt(Pak::kHeaderSize, rest, nameSize + 8) ||
        !Pak::ParseSingleName(rest, nameSize, name, offset, length))
        return false;
    return ToLower(name) == lowerName;
}

}  // namespace

bool IsSingleFileFor(const std::string& fullPath)
{
    CFindFile find;
    if (!find.Exists(SingleFileName(fullPath)))
        return false;
    PakSource source;
    uint32_t offset = 0, length = 0;
    return OpenSingle(fullPath, source, offset, length);
}

CZipSingleFile::~CZipSingleFile()
{
    Close();
}

int CZipSingleFile::_Load(const std::string& fullPath)
{
    PakSource source;
    uint32_t offset = 0, length = 0;
    if (!OpenSingle(fullPath, source, offset, length) || !Pak::MemberFits(offset, length, source.Size()))
        return 0;
    unsigned char* block = new (std::nothrow) unsigned char[static_cast<size_t>(length) + 8];
    if (block == nullptr) {
        DebugPrint("CZipSingleFile::_Load() メモリ割り当てに失敗！[%s][src_size:%dbyte]", fullPath.c_str(),
                   static_cast<int>(length));
        Close();
        return 0;
    }
    if (!source.ReadAt(offset, block, length)) {
        delete[] block;
        Close();
        return 0;
    }
    m_Zip.Reset();
    m_Zip.m_pSrc = block;
    m_Zip.m_nSrcSize = length;
    bool ok = m_Zip.Decompress();
    m_Zip.m_pSrc = nullptr;
    delete[] block;
    if (!ok) {
        Close();
        return 0;
    }
    _Adopt();
    return 1;
}

}}}
