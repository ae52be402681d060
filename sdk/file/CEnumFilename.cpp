#include "file/CEnumFilename.h"

#include <stdexcept>

#include "file/CFindFile.h"
#include "file/PathText.h"

namespace Corvane { namespace Base { namespace File {

namespace {

std::string Join(const std::string& folder, const std::string& name)
{
    std::string joined = folder.empty() ? name : folder + "\\" + name;
    return RemoveDoubleBackslash(ToBackslash(joined));
}

}  // namespace

CEnumFilename::CEnumFilename()
{
}

CEnumFilename::~CEnumFilename()
{
}

void CEnumFilename::Enumerate(const std::string& folder, const std::string& pattern, bool recursive)
{
    m_FileList.clear();
    m_SizeList.clear();
    EnumerateFolder(folder, pattern, recursive);
}

void CEnumFilename::EnumerateFolder(const std::string& folder, const std::string& pattern, bool recursive)
{
    CFindFile find;
    WIN32_FIND_DATAA data;
    if (!find.FindFirst(Join(folder, pattern), &data))
        return;
    // A name the search delivers holds no separator, so the folder part is
    // normalised once here instead of again for every entry.
    const std::string prefix = folder.empty() ? std::string() : Join(folder, std::string());
    do {
        const char* name = data.cFileName;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            m_FileList.push_back(prefix + name);
            m_SizeList.push_back((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        } else if (recursive) {
            EnumerateFolder(prefix + name, pattern, recursive);
        }
    } while (find.FindNext(&data));
}

int CEnumFilename::GetCount() const
{
    return static_cast<int>(m_FileList.size());
}

std::string CEnumFilename::GetFilename(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_FileList.size())
        throw std::out_of_range("invalid vector<T> subscript");
    return m_FileList[static_cast<size_t>(index)];
}

unsigned long long CEnumFilename::GetListedSize(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_SizeList.size())
        throw std::out_of_range("invalid vector<T> subscript");
    return m_SizeList[static_cast<size_t>(index)];
}

}}}
