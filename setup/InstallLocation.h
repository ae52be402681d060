#pragma once

// The install-location decisions of setup, as text and numbers only: no
// Win32 call, so they also build natively.

#include <string>

namespace Setup {

// A byte count in whole megabytes, "N MB"; the remainder is dropped.
std::string FormatMegabytes(unsigned long long bytes);

enum class LocationCheck {
    kAccepted,
    kInvalidFolder,   // no drive root: relative, network or empty folder
    kReadOnlyDrive,   // a CD-ROM drive
    kNotEnoughSpace,  // free space not greater than the required size
};

// The start button's checks, in their order; the first failing one answers.
LocationCheck CheckInstallLocation(const std::string& driveRoot, bool cdrom, unsigned long long freeBytes,
                                   unsigned long long requiredBytes);

// True when the folder's last component is "data" in any letter case (a
// trailing separator is ignored): the installer records the data folder
// itself as the install folder.
bool EndsWithDataFolder(const std::string& folder);

}  // namespace Setup
