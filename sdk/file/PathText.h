#pragma once

// Path and text functions over code-page-932 byte strings. Pure: no Win32
// call, so this unit also builds natively (sanitizers, fuzzers). Every scan
// steps over the trail byte of a Shift-JIS double-byte character, so a trail
// byte equal to '\', '/' or ':' is never taken for a separator.

#include <string>

namespace Corvane { namespace Base { namespace File {

bool IsSJISLeadByte(unsigned char ch);

std::string ToLower(const std::string& s);
std::string ToBackslash(const std::string& s);
std::string ToSlash(const std::string& s);
std::string RemoveDoubleBackslash(const std::string& s);
bool IsAbsolutePath(const std::string& s);
std::string GetParentDirectory(const std::string& s);
void SplitPath(const std::string& path, std::string& folder, std::string& file);
void SplitFileName(const std::string& path, std::string& name, std::string& ext);
std::string GetDriveRoot(const std::string& path);
std::string GetRelativePath(const std::string& path, const std::string& base);
int StringToInt(const std::string& s);
std::string IntToString(int v);

}}}
