#include "file/CZipSingleFile.h"

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

// Opens the single compressed file for `fullPath`; false when it is missing.
bool OpenSingle(const std::string& fullPath, PakSource& source, std::string& lowerName)
{
    return source.Open(SingleFileName(fullPath, &lowerName));
}

}  // namespace

bool IsSingleFileFor(const std::string& fullPath)
{
    CFindFile find;
    if (!find.Exists(SingleFileName(fullPath)))
        return false;
    PakSource source;
    std::string lowerName;
    uint32_t offset = 0, length = 0;
    return OpenSingle(fullPath, source, lowerName) && ReadSingleHeader(source, lowerName, offset, length);
}

CZipSingleFile::~CZipSingleFile()
{
    Close();
}

int CZipSingleFile::_Load(const std::string& fullPath)
{
    PakSource source;
    std::string lowerName;
    if (!OpenSingle(fullPath, source, lowerName))
        return 0;
    PakLoadFailure failure;
    if (LoadSingle(source, lowerName, m_Zip, failure) != 1) {
        if (failure.m_bNoMemory)
            DebugPrint("CZipSingleFile::_Load() メモリ割り当てに失敗！[%s][src_size:%dbyte]", fullPath.c_str(),
                       static_cast<int>(failure.m_nBlockSize));
        Close();
        return 0;
    }
    _Adopt();
    return 1;
}

}}}
