#pragma once

#include <string>

namespace TestSupport {

// A fresh folder under the system temp folder, removed with its content
// when the object goes. Paths are ANSI (code page 932) without trailing '\'.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& Path() const { return m_Path; }
    // Path() + "\" + relative.
    std::string operator/(const std::string& relative) const;

    // Writes bytes to a file below the folder, creating missing folders.
    bool WriteFile(const std::string& relative, const std::string& bytes) const;
    // Reads a whole file; false when it cannot be read.
    static bool ReadFile(const std::string& path, std::string& bytes);

private:
    std::string m_Path;
};

// Puts the current directory back when the test ends.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard();
    ~CurrentDirectoryGuard();
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    char m_Saved[260];
};

// A whole file's bytes; empty when it cannot be read.
std::string ReadWhole(const std::string& path);
bool PathExists(const std::string& path);
bool IsHiddenFile(const std::string& path);

// Deletes a file or a folder tree, clearing read-only and hidden attributes.
void RemoveTree(const std::string& path);

}  // namespace TestSupport
