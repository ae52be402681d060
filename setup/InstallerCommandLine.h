#pragma once

// Command lines that setup hands to the installer. Pure text, no Win32 call.

#include <string>
#include <vector>

namespace Setup {

struct InstallerItems {
    std::string program;          // full path of the installer
    std::string appName;
    std::string diskDirectory;
    std::string targetDirectory;
    std::string gameExecute;
    std::string gameUninstall;
    std::string selector;         // "2", "0" or "1"
};

// The twelve-item list of the confirmed road (small dialog, first instance).
std::vector<std::string> InstallerArguments(const InstallerItems& items);
// The nine-item list of the menu road (large dialog); no selector.
std::vector<std::string> MenuInstallerArguments(const InstallerItems& items);

std::string BuildInstallerCommandLine(const InstallerItems& items);
std::string BuildMenuInstallerCommandLine(const InstallerItems& items);

// Name of the single-instance mutex: the program path with '\' turned into
// '/' and a-z into A-Z; Shift-JIS trail bytes are left alone.
std::string MakeSingleAppName(const std::string& programPath);

}  // namespace Setup
