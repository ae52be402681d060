#include "auxiliary/InstallerArgumentList.h"

#include "appframe/CommandLine.h"

namespace Corvane { namespace Base { namespace Auxiliary {

std::string FormatInstallerCommandLine(const std::vector<std::string>& items)
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

std::vector<std::string> ReadInstallerArguments(const std::function<std::string(unsigned)>& argument)
{
    std::vector<std::string> args(kInstallerArgumentCount);
    for (unsigned i = 0; i < kInstallerArgumentCount; ++i)
        args[i] = argument(i);
    return args;
}

std::vector<std::string> ReadInstallerCommandLine(const std::string& commandLine)
{
    std::vector<std::string> split = AppFrame::SplitCommandLine(commandLine.c_str());
    return ReadInstallerArguments([&](unsigned i) { return i < split.size() ? split[i] : std::string(); });
}

}}}
