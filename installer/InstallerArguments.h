#pragma once

// The installer's argument protocol: what the command line asks for and how
// the relaunch passes it on. Pure text logic, no Win32 call.

#include <string>
#include <vector>

#include "auxiliary/InstallerArgumentList.h"

namespace Installer {

// The list's positions by name (args[kAppName]) and its reader.
using namespace Corvane::Base::Auxiliary;

// Accepted relaunch counters: up to 9 attempts, or the fixed value 50.
bool IsCounterAccepted(int counter);

// Parameters for the next instance of the chain: arguments 1-8, the marker
// "t", counter + 1 and argument 11, each quoted and followed by one blank.
std::string BuildRelaunchParameters(const std::vector<std::string>& args);

// The distribution root: the source folder cut before its first path
// component that is exactly "gamedata" (the backslash before it stays).
// False when there is no such component.
bool GetDistributionRoot(const std::string& sourceFolder, std::string& root);

// Variant folder of the extra file: "2026", "633", "615", or "" for the root.
std::string VariantFolderName(int selector);

// Destination files that are hidden after a successful copy.
bool IsHiddenAfterCopy(const std::string& destination, const std::string& relativeName);

// Progress in per mille; 0 while the total is unknown or empty.
unsigned PerMille(unsigned long long done, unsigned long long total);

}  // namespace Installer
