#pragma once

// Code page 932 and the native file names: UTF-8 on Linux, UTF-16 on
// Windows (through std::filesystem). The report itself is kept in UTF-8.

#include <filesystem>
#include <string>

namespace CheckDist {

bool Cp932ToUtf8(const std::string& in, std::string& out);
bool Utf8ToCp932(const std::string& in, std::string& out);

// For showing a code-page-932 text: UTF-8, with bytes that are no valid
// Shift-JIS written as \xNN.
std::string ShowCp932(const std::string& in);

// The name of one path component in code page 932; false when that code
// page cannot hold it.
bool NameToCp932(const std::filesystem::path& name, std::string& out);

// A UTF-8 report text for the console: unchanged on Linux, the console's
// code page on Windows.
std::string ForConsole(const std::string& utf8);

}  // namespace CheckDist
