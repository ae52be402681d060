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
    // The size the listing saw for entry `index`: callers that need every
    // file's size need not search for each file again. Same range rule.
    unsigned long long GetListedSize(int index) const;

private:
    void EnumerateFolder(const std::string& folder, const std::string& pattern, bool recursive);

    std::vector<std::string> m_FileList;
    std::vector<unsigned long long> m_SizeList;  // in step with m_FileList
};

}}}
