#include "support/TreeSnapshot.h"

#include "support/ScratchDir.h"

namespace TestSupport {

namespace {

const DWORD kIgnored = FILE_ATTRIBUTE_ARCHIVE;

void Walk(const std::string& root, const std::string& relative, Tree& tree)
{
    WIN32_FIND_DATAA data;
    std::string base = relative.empty() ? root : root + "\\" + relative;
    HANDLE find = FindFirstFileA((base + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..")
            continue;
        std::string rel = relative.empty() ? name : relative + "\\" + name;
        TreeEntry e;
        e.attributes = data.dwFileAttributes & ~kIgnored;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Walk(root, rel, tree);
        else
            e.bytes = ReadWhole(root + "\\" + rel);
        tree[rel] = e;
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

}  // namespace

Tree Snapshot(const std::string& folder)
{
    Tree tree;
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return tree;
    tree[""].attributes = attributes & ~kIgnored;
    Walk(folder, std::string(), tree);
    return tree;
}

std::string Differences(const Tree& before, const Tree& after)
{
    std::string out;
    for (const auto& b : before) {
        auto a = after.find(b.first);
        if (a == after.end())
            out += "  lost: " + b.first + "\n";
        else if (!(a->second == b.second))
            out += "  changed: " + b.first + " (attributes " + std::to_string(b.second.attributes) + " -> " +
                   std::to_string(a->second.attributes) + ", " + std::to_string(b.second.bytes.size()) + " -> " +
                   std::to_string(a->second.bytes.size()) + " bytes)\n";
    }
    for (const auto& a : after)
        if (before.find(a.first) == before.end())
            out += "  added: " + a.first + "\n";
    return out;
}

}  // namespace TestSupport
