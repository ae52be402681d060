#include "support/ScratchDir.h"

#include <windows.h>

#include <cstdio>

namespace TestSupport {

namespace {

void MakeParents(const std::string& path)
{
    for (size_t i = 3; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            ++i;  // trail byte of a double-byte character is never a separator
            continue;
        }
        if (c == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
}

}  // namespace

ScratchDir::ScratchDir()
{
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(MAX_PATH, temp);
    std::string base(temp, n);
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    static LONG s_Counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof(name), "\\cvtest_%lu_%ld", GetCurrentProcessId(),
                      InterlockedIncrement(&s_Counter));
        std::string candidate = base + name;
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_Path = candidate;
            return;
        }
    }
}

ScratchDir::~ScratchDir()
{
    if (!m_Path.empty())
        RemoveTree(m_Path);
}

std::string ScratchDir::operator/(const std::string& relative) const
{
    return m_Path + "\\" + relative;
}

bool ScratchDir::WriteFile(const std::string& relative, const std::string& bytes) const
{
    std::string path = *this / relative;
    MakeParents(path);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() ||
              ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

bool ScratchDir::ReadFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    for (;;) {
        if (!::ReadFile(h, buffer, sizeof(buffer), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    CloseHandle(h);
    return ok;
}

CurrentDirectoryGuard::CurrentDirectoryGuard()
{
    m_Saved[0] = '\0';
    GetCurrentDirectoryA(sizeof(m_Saved), m_Saved);
}

CurrentDirectoryGuard::~CurrentDirectoryGuard()
{
    if (m_Saved[0] != '\0')
        SetCurrentDirectoryA(m_Saved);
}

void RemoveTree(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name != "." && name != "..")
                RemoveTree(path + "\\" + name);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

std::string ReadWhole(const std::string& path)
{
    std::string bytes;
    ScratchDir::ReadFile(path, bytes);
    return bytes;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsHiddenFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace TestSupport
