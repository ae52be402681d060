// checkdist: reads an add-on distribution folder as setup and installer
// will and reports every mistake it can see before the add-on ships.
// Builds natively (Linux, UTF-8 file names) and as a Windows console program.
//
// Exit code: 0 no errors (warnings allowed), 1 errors, 2 usage.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "DistCheck.h"
#include "NativeText.h"

namespace fs = std::filesystem;

namespace {

int Usage()
{
    std::fprintf(stderr,
                 "usage: checkdist [--json] DIST\n"
                 "  DIST    the distribution folder (setup.exe, installer.exe, cfg\\init.ini, ...)\n"
                 "  --json  machine-readable report (UTF-8) instead of text\n");
    return 2;
}

int Run(const std::vector<std::string>& options, const std::vector<fs::path>& operands)
{
    bool json = false;
    for (const std::string& o : options) {
        if (o == "--json")
            json = true;
        else
            return Usage();
    }
    if (operands.size() != 1)
        return Usage();
    CheckDist::Report report = CheckDist::CheckDistribution(operands[0]);
    std::string text = json ? CheckDist::FormatJson(report) : CheckDist::ForConsole(CheckDist::FormatText(report));
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return report.Count(CheckDist::Severity::Error) > 0 ? 1 : 0;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> options;
    std::vector<fs::path> operands;
    for (int i = 1; i < argc; ++i) {
        fs::path arg(argv[i]);
        if (argv[i][0] == L'-' && argv[i][1] == L'-')
            options.push_back(arg.u8string());
        else
            operands.push_back(arg);
    }
    return Run(options, operands);
}
#else
int main(int argc, char** argv)
{
    std::vector<std::string> options;
    std::vector<fs::path> operands;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] == '-')
            options.push_back(argv[i]);
        else
            operands.push_back(argv[i]);
    }
    return Run(options, operands);
}
#endif
