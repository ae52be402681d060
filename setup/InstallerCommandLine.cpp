#include "InstallerCommandLine.h"

#include "auxiliary/InstallerArgumentList.h"
#include "file/PathText.h"

namespace Setup {

using namespace Corvane::Base::Auxiliary;

namespace {

std::vector<std::string> CommonArguments(const InstallerItems& it, const char* displayMode)
{
    std::vector<std::string> args(kInstallerArgumentCount);
    args[kInstallerProgram] = it.program;
    args[kDisplayMode] = displayMode;
    args[kAppName] = it.appName;
    args[kSourceFolder] = it.diskDirectory;
    args[kDestinationFolder] = it.targetDirectory;
    args[kExtraFileName] = it.gameExecute;
    args[kReservedArgument] = it.gameUninstall;
    args[kDesktopShortcutFlag] = "f";
    args[kProgramMenuFlag] = "f";
    return args;
}

}  // namespace

std::vector<std::string> InstallerArguments(const InstallerItems& it)
{
    std::vector<std::string> args = CommonArguments(it, "f");
    args[kRelaunchMarker] = "f";
    args[kRelaunchCounter] = "0";
    args[kVariantSelector] = it.selector;
    return args;
}

std::vector<std::string> MenuInstallerArguments(const InstallerItems& it)
{
    std::vector<std::string> args = CommonArguments(it, "t");
    args.resize(kMenuArgumentCount);
    return args;
}

std::string BuildInstallerCommandLine(const InstallerItems& it)
{
    return FormatInstallerCommandLine(InstallerArguments(it));
}

std::string BuildMenuInstallerCommandLine(const InstallerItems& it)
{
    return FormatInstallerCommandLine(MenuInstallerArguments(it));
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
