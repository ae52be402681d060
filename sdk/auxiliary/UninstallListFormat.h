#pragma once

// The blocks of uninstall.ini and where the file lies. Pure: no Win32.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace Corvane { namespace Base { namespace Auxiliary {

// One block: "#AppName,<name>", "#UninstallFile", files, "##",
// "#UninstallDirectory", folders, "##"; every line ends with CR LF.
std::string FormatUninstallBlock(const std::string& appName, const std::vector<std::string>& files,
                                 const std::vector<std::string>& folders);

// The list lies beside the game: the destination folder cut before its first
// path component that is exactly "data" (D:\Game\data\x gives D:\Game), then
// the file name. Only a whole component counts, so D:\Metadata\Game stays.
std::string UninstallListPath(const std::string& destinationFolder, const std::string& fileName);

// Appends unless an identical string is present; true when appended.
// Scans the list: a list filled this way costs the square of its length.
bool AppendUnique(std::vector<std::string>& list, const std::string& item);

// An ordered list that holds each string once (byte-wise comparison), for
// lists as long as the copy list: an append costs the same at 100 000
// entries as at 10.
class UniqueList {
public:
    // True when appended, false when an identical string is already there.
    bool Append(const std::string& item);
    bool Contains(const std::string& item) const;
    const std::vector<std::string>& Items() const { return m_Items; }
    size_t Size() const { return m_Items.size(); }
    void Clear();

private:
    std::vector<std::string> m_Items;
    std::unordered_multimap<size_t, size_t> m_Index;  // hash of an item -> its position
};

}}}
