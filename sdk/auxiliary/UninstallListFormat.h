#pragma once

// The blocks of uninstall.ini and where the file lies. Pure: no Win32.

#include <string>
#include <vector>

namespace Corvane { namespace Base { namespace Auxiliary {

// One block: "#AppName,<name>", "#UninstallFile", files, "##",
// "#UninstallDirectory", folders, "##"; every line ends with CR LF.
std::string FormatUninstallBlock(const std::string& appName, const std::vector<std::string>& files,
                                 const std::vector<std::string>& folders);

// The list lies beside the game: the destination folder cut before its first
// path component that is exactly "data" (D:\Game\data\x gives D:\Game), then
// the file name. Only a whole component counts, so D:\Metadata\Game stays.
std::string UninstallListPath(const std::string& destinationFolder, const std::string& fileName);

// Appends unless an identical string is present; true when appended.
bool AppendUnique(std::vector<std::string>& list, const std::string& item);

}}}
