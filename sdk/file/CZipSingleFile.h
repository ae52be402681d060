#pragma once

#include <string>

#include "file/CCompressFileBase.h"

namespace Corvane { namespace Base { namespace File {

// A file kept compressed on its own beside where it would lie, under the
// name SingleFileName derives.
class CZipSingleFile : public CCompressFileBase {
public:
    CZipSingleFile() {}
    ~CZipSingleFile() override;
    // 1 loaded, 0 on every failure.
    int _Load(const std::string& fullPath) override;
};

// The single compressed file for a path: folder\base + the extension's byte
// values + ".pak". `lowerName` (optional) receives the file name and
// extension in lower case, which the stored name must equal.
std::string SingleFileName(const std::string& fullPath, std::string* lowerName = nullptr);

// The single compressed file for `fullPath` exists, has the right magic and
// stores this file's name (letter case aside).
bool IsSingleFileFor(const std::string& fullPath);

}}}
