#pragma once

// The process command line split into arguments. Pure: no Win32.

#include <string>
#include <vector>

namespace Corvane { namespace Base { namespace AppFrame {

// Only the blank 0x20 separates; a quoted argument ends at a quote followed
// by a blank or the end. No escapes. Null or empty text gives no arguments.
std::vector<std::string> SplitCommandLine(const char* text);

}}}
