#pragma once

#include <windows.h>

#include <string>

namespace Setup {

// Starts a program from a complete command line, without elevation; the
// program is the first token, so callers quote its path. A bare path of an
// existing file (blanks and all) is quoted here. An empty workingFolder
// keeps the caller's current directory. With `wait`, returns only after the
// process has ended. True when the process was created.
bool RunProcess(const std::string& commandLine, bool wait, const std::string& workingFolder);

// Hands a document or link to the shell; an empty verb takes the file's
// default verb. True when the shell accepted it.
bool ShellOpen(HWND owner, const std::string& file, const std::string& verb);

}  // namespace Setup
