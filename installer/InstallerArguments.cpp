#include "InstallerArguments.h"

#include <cstdio>

#include "file/PathText.h"

namespace Installer {

using namespace Corvane::Base::File;

bool IsCounterAccepted(int counter)
{
    return counter <= 9 || counter == 50;
}

std::string BuildRelaunchParameters(const std::vector<std::string>& args)
{
    auto arg = [&](size_t i) { return i < args.size() ? args[i] : std::string(); };
    std::string out;
    auto add = [&](const std::string& item) { out += "\"" + item + "\" "; };
    for (size_t i = kDisplayMode; i <= kProgramMenuFlag; ++i)
        add(arg(i));
    add("t");
    char counter[16];
    std::snprintf(counter, sizeof counter, "%d", StringToInt(arg(kRelaunchCounter)) + 1);
    add(counter);
    add(arg(kVariantSelector));
    return out;
}

bool GetDistributionRoot(const std::string& sourceFolder, std::string& root)
{
    static const std::string word = "gamedata";
    size_t start = 0;  // start of the current component
    for (size_t i = 0; i <= sourceFolder.size(); ++i) {
        unsigned char ch = i < sourceFolder.size() ? static_cast<unsigned char>(sourceFolder[i]) : '\\';
        if (i < sourceFolder.size() && IsSJISLeadByte(ch)) {
            ++i;
            continue;
        }
        if (ch != '\\' && ch != '/')
            continue;
        if (sourceFolder.compare(start, i - start, word) == 0 && i - start == word.size()) {
            root = sourceFolder.substr(0, start);
            return true;
        }
        start = i + 1;
    }
    root.clear();
    return false;
}

std::string VariantFolderName(int selector)
{
    switch (selector) {
    case 0: return "2026";
    case 1: return "633";
    case 2: return "615";
    default: return std::string();
    }
}

bool IsHiddenAfterCopy(const std::string& destination, const std::string& relativeName)
{
    std::string name, ext;
    SplitFileName(destination, name, ext);
    return ext == "ini" || relativeName == "FULL";
}

unsigned PerMille(unsigned long long done, unsigned long long total)
{
    if (total == 0)
        return 0;
    if (done >= total)
        return 1000;
    // done < total, so done * 1000 overflows only for totals above 2^54 bytes.
    if (done > ~0ULL / 1000)
        return static_cast<unsigned>(done / (total / 1000));
    return static_cast<unsigned>(done * 1000 / total);
}

}  // namespace Installer
