#include "InstallLocation.h"

#include "file/PathText.h"

namespace Setup {

std::string FormatMegabytes(unsigned long long bytes)
{
    return std::to_string(bytes / 1024 / 1024) + " MB";
}

LocationCheck CheckInstallLocation(const std::string& driveRoot, bool cdrom, unsigned long long freeBytes,
                                   unsigned long long requiredBytes)
{
    if (driveRoot.empty())
        return LocationCheck::kInvalidFolder;
    if (cdrom)
        return LocationCheck::kReadOnlyDrive;
    if (!(freeBytes > requiredBytes))
        return LocationCheck::kNotEnoughSpace;
    return LocationCheck::kAccepted;
}

bool EndsWithDataFolder(const std::string& folder)
{
    // Start of the last component, stepping over Shift-JIS trail bytes.
    size_t end = folder.size();
    size_t start = 0;
    for (size_t i = 0; i < folder.size(); ++i) {
        unsigned char ch = static_cast<unsigned char>(folder[i]);
        if (Corvane::Base::File::IsSJISLeadByte(ch)) {
            ++i;
            continue;
        }
        if (ch == '\\' || ch == '/') {
            if (i + 1 == folder.size()) {
                end = i;
                break;
            }
            start = i + 1;
        }
    }
    if (end - start != 4)
        return false;
    const char* word = "data";
    for (size_t i = 0; i < 4; ++i) {
        char ch = folder[start + i];
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
        if (ch != word[i])
            return false;
    }
    return true;
}

}  // namespace Setup
