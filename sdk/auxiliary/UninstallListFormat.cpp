#include "auxiliary/UninstallListFormat.h"

#include <algorithm>
#include <functional>

#include "file/PathText.h"

namespace Corvane { namespace Base { namespace Auxiliary {

std::string FormatUninstallBlock(const std::string& appName, const std::vector<std::string>& files,
                                 const std::vector<std::string>& folders)
{
    std::string out = "#AppName," + appName + "\r\n#UninstallFile\r\n";
    for (const std::string& f : files)
        out += f + "\r\n";
    out += "##\r\n#UninstallDirectory\r\n";
    for (const std::string& d : folders)
        out += d + "\r\n";
    out += "##\r\n";
    return out;
}

std::string UninstallListPath(const std::string& destinationFolder, const std::string& fileName)
{
    std::string base = destinationFolder;
    size_t componentStart = 0;
    for (size_t i = 0; i <= destinationFolder.size(); ++i) {
        bool atEnd = i == destinationFolder.size();
        if (!atEnd && File::IsSJISLeadByte(static_cast<unsigned char>(destinationFolder[i])) &&
            i + 1 < destinationFolder.size()) {
            ++i;
            continue;
        }
        if (atEnd || destinationFolder[i] == '\\' || destinationFolder[i] == '/') {
            if (destinationFolder.compare(componentStart, i - componentStart, "data") == 0 &&
                i - componentStart == 4) {
                base = destinationFolder.substr(0, componentStart);
                break;
            }
            componentStart = i + 1;
        }
    }
    return File::RemoveDoubleBackslash(base + "\\" + fileName);
}

bool AppendUnique(std::vector<std::string>& list, const std::string& item)
{
    if (std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.push_back(item);
    return true;
}

bool UniqueList::Contains(const std::string& item) const
{
    auto range = m_Index.equal_range(std::hash<std::string>()(item));
    for (auto it = range.first; it != range.second; ++it)
        if (m_Items[it->second] == item)
            return true;
    return false;
}

bool UniqueList::Append(const std::string& item)
{
    if (Contains(item))
        return false;
    m_Index.emplace(std::hash<std::string>()(item), m_Items.size());
    m_Items.push_back(item);
    return true;
}

void UniqueList::Clear()
{
    m_Items.clear();
    m_Index.clear();
}

}}}
