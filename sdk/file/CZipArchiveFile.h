#pragma once

#include <string>

#include "file/CCompressFileBase.h"

namespace Corvane { namespace Base { namespace File {

// A member of the .pak archive that stands for a folder above the file.
class CZipArchiveFile : public CCompressFileBase {
public:
    CZipArchiveFile() {}
    ~CZipArchiveFile() override;
    // 0 when no archive or member is found (a corrupt directory counts as
    // not found); -1 when the member exists but cannot be read or inflated.
    int _Load(const std::string& fullPath) override;
};

// The deepest existing archive above `fullPath` and the path inside it.
// Only that archive is searched: a member it lacks is not looked for further up.
bool FindArchive(const std::string& fullPath, std::string& archivePath, std::string& innerPath);

}}}
