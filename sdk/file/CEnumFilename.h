#pragma once

#include <string>
#include <vector>

namespace Corvane { namespace Base { namespace File {

// The depth-first list of every file below a folder, in the order the
// system delivers the entries; sub-folders are entered where they are met.
class CEnumFilename {
public:
    CEnumFilename();
    CEnumFilename(const CEnumFilename&) = delete;
    CEnumFilename& operator=(const CEnumFilename&) = delete;
    virtual ~CEnumFilename();

    // The pattern filters folders too. Folders that cannot be searched add nothing.
    void Enumerate(const std::string& folder, const std::string& pattern, bool recursive);
    int GetCount() const;
    // Throws std::out_of_range("invalid vector<T> subscript") outside 0 … count − 1.
    std::string GetFilename(int index) const;

private:
    void EnumerateFolder(const std::string& folder, const std::string& pattern, bool recursive);

    std::vector<std::string> m_FileList;
};

}}}
