#pragma once

// The installer's argument list: what each position holds, and the one
// formatter and reader of it that setup, the installer and the tests share.
// Pure text, no Win32 call.

#include <functional>
#include <string>
#include <vector>

namespace Corvane { namespace Base { namespace Auxiliary {

// Positions in the list; 0 is the program path itself.
enum InstallerArgument : unsigned {
    kInstallerProgram = 0,
    kDisplayMode = 1,          // "t": large progress dialog and the finished dialog
    kAppName = 2,
    kSourceFolder = 3,
    kDestinationFolder = 4,
    kExtraFileName = 5,
    kReservedArgument = 6,     // must be non-empty; only passed on
    kDesktopShortcutFlag = 7,  // "t": desktop shortcut
    kProgramMenuFlag = 8,      // "t": program-menu folder and its shortcuts
    kRelaunchMarker = 9,       // "t": relaunched instance; "n": no empty-argument check
    kRelaunchCounter = 10,
    kVariantSelector = 11,
};

// The confirmed road passes every position; the menu road stops after the
// program-menu flag, so the marker, counter and selector read as empty.
const unsigned kInstallerArgumentCount = 12;
const unsigned kMenuArgumentCount = 9;

// Each item in double quotes, joined by single blanks, no blank at the end.
std::string FormatInstallerCommandLine(const std::vector<std::string>& items);

// Positions 0-11 from an indexed source (the start-up object's accessor);
// what the source lacks reads as empty.
std::vector<std::string> ReadInstallerArguments(const std::function<std::string(unsigned)>& argument);
// The same from a whole command line, split as the start-up object splits it.
std::vector<std::string> ReadInstallerCommandLine(const std::string& commandLine);

}}}
