#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace TestSupport {

// Everything below a folder, to tell whether a run left it exactly as it was:
// relative path ("" for the folder itself) -> attributes and, for files,
// bytes. The archive attribute is left out: the system sets it on its own.
struct TreeEntry {
    DWORD attributes = 0;
    std::string bytes;
    bool operator==(const TreeEntry& o) const { return attributes == o.attributes && bytes == o.bytes; }
};
using Tree = std::map<std::string, TreeEntry>;

// Empty when the folder does not exist.
Tree Snapshot(const std::string& folder);
// One line per entry lost, changed or added; empty when the trees are equal.
std::string Differences(const Tree& before, const Tree& after);

}  // namespace TestSupport
