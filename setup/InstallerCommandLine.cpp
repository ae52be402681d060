#include "InstallerCommandLine.h"

#include "file/PathText.h"

namespace Setup {

std::string JoinQuoted(const std::vector<std::string>& items)
{
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i)
            out += ' ';
        out += '"';
        out += items[i];
        out += '"';
    }
    return out;
}

std::string BuildInstallerCommandLine(const InstallerItems& it)
{
    return JoinQuoted({it.program, "f", it.appName, it.diskDirectory, it.targetDirectory,
                       it.gameExecute, it.gameUninstall, "f", "f", "f", "0", it.selector});
}

std::string BuildMenuInstallerCommandLine(const InstallerItems& it)
{
    return JoinQuoted({it.program, "t", it.appName, it.diskDirectory, it.targetDirectory,
                       it.gameExecute, it.gameUninstall, "f", "f"});
}

std::string MakeSingleAppName(const std::string& programPath)
{
    std::string out = programPath;
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char ch = static_cast<unsigned char>(out[i]);
        if (Corvane::Base::File::IsSJISLeadByte(ch)) {
            ++i;
            continue;
        }
        if (ch == '\\')
            out[i] = '/';
        else if (ch >= 'a' && ch <= 'z')
            out[i] = static_cast<char>(ch - 'a' + 'A');
    }
    return out;
}

}  // namespace Setup
