#include "file/PathText.h"

namespace Corvane { namespace Base { namespace File {

bool IsSJISLeadByte(unsigned char ch)
{
    return (ch >= 0x81 && ch <= 0x9F) || (ch >= 0xE0 && ch <= 0xFC);
}

namespace {

std::string ReplaceByte(const std::string& s, char from, char to)
{
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        if (IsSJISLeadByte(static_cast<unsigned char>(out[i]))) {
            ++i;
            continue;
        }
        if (out[i] == from)
            out[i] = to;
    }
    return out;
}

}  // namespace

std::string ToBackslash(const std::string& s)
{
    return ReplaceByte(s, '/', '\\');
}

std::string ToSlash(const std::string& s)
{
    return ReplaceByte(s, '\\', '/');
}

std::string RemoveDoubleBackslash(const std::string& s)
{
    // The counter counts characters passed; the first two are never deleted,
    // so a leading "\\" of a network path stays.
    std::string out;
    out.reserve(s.size());
    size_t counter = 0;
    bool previousBackslash = false;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (IsSJISLeadByte(c) && i + 1 < s.size()) {
            out += s[i];
            out += s[i + 1];
            i += 2;
            ++counter;
            previousBackslash = false;
            continue;
        }
        if (c == '\\' && previousBackslash && counter >= 2) {
            // Deleted; the character that moves into its place is passed unexamined.
            ++i;
            if (i < s.size()) {
                unsigned char next = static_cast<unsigned char>(s[i]);
                if (IsSJISLeadByte(next) && i + 1 < s.size()) {
                    out += s[i];
                    out += s[i + 1];
                    i += 2;
                } else {
                    out += s[i];
                    ++i;
                }
                ++counter;
                previousBackslash = (next == '\\');
            }
            continue;
        }
        out += s[i];
        ++i;
        ++counter;
        previousBackslash = (c == '\\');
    }
    return out;
}

}}}

namespace Corvane { namespace Base { namespace File {

bool IsAbsolutePath(const std::string& s)
{
    if (s.size() < 2)
        return false;
    if (s[0] == '\\' && s[1] == '\\')
        return true;
    for (size_t i = 0; i < s.size(); ++i) {
        if (IsSJISLeadByte(static_cast<unsigned char>(s[i]))) {
            ++i;
            continue;
        }
        if (s[i] == ':')
            return true;
    }
    return false;
}

}}}

namespace Corvane { namespace Base { namespace File {

namespace {

inline bool Lead(const std::string& s, size_t i)
{
    return IsSJISLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size();
}

// Splits like _splitpath: drive ("C:"), directory (up to and including the
// last separator), base name and extension (from the last dot of the name).
void SplitParts(const std::string& path, std::string& drive, std::string& dir, std::string& name,
                std::string& ext)
{
    size_t start = 0;
    drive.clear();
    if (path.size() >= 2 && path[1] == ':' && !IsSJISLeadByte(static_cast<unsigned char>(path[0]))) {
        drive = path.substr(0, 2);
        start = 2;
    }
    size_t lastSeparator = std::string::npos, lastDot = std::string::npos;
    for (size_t i = start; i < path.size(); ++i) {
        if (Lead(path, i)) {
            ++i;
            continue;
        }
        if (path[i] == '\\' || path[i] == '/') {
            lastSeparator = i;
            lastDot = std::string::npos;
        } else if (path[i] == '.') {
            lastDot = i;
        }
    }
    size_t nameStart = lastSeparator == std::string::npos ? start : lastSeparator + 1;
    dir = path.substr(start, nameStart - start);
    if (lastDot != std::string::npos && lastDot >= nameStart) {
        name = path.substr(nameStart, lastDot - nameStart);
        ext = path.substr(lastDot);
    } else {
        name = path.substr(nameStart);
        ext.clear();
    }
}

// True when the last character (not a trail byte) is '\\'.
bool EndsWithBackslash(const std::string& s)
{
    bool last = false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (Lead(s, i)) {
            ++i;
            last = false;
            continue;
        }
        last = s[i] == '\\';
    }
    return last;
}

}  // namespace

std::string ToLower(const std::string& s)
{
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        if (Lead(out, i)) {
            ++i;
            continue;
        }
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    return out;
}

std::string GetParentDirectory(const std::string& s)
{
    std::string t = RemoveDoubleBackslash(ToBackslash(s));
    bool leading = true;
    size_t candidate = std::string::npos;
    for (size_t i = 0; i < t.size(); ++i) {
        if (Lead(t, i)) {
            ++i;
            leading = false;
            continue;
        }
        if (t[i] == '\\') {
            if (leading)
                continue;  // leading separators of a network or rooted path
            if (i + 1 < t.size())
                candidate = i;
        } else {
            leading = false;
        }
    }
    return candidate == std::string::npos ? t : t.substr(0, candidate);
}

void SplitPath(const std::string& path, std::string& folder, std::string& file)
{
    std::string drive, dir, name, ext;
    SplitParts(path, drive, dir, name, ext);
    folder = drive + dir;
    file = name + ext;
    // One trailing '\' goes, unless the folder is nothing but its leading run of separators.
    if (!folder.empty() && folder.back() == '\\' &&
        folder.find_first_not_of("\\/") != std::string::npos)
        folder.pop_back();
}

void SplitFileName(const std::string& path, std::string& name, std::string& ext)
{
    std::string drive, dir;
    SplitParts(path, drive, dir, name, ext);
    if (!ext.empty())
        ext.erase(0, 1);
}

std::string GetDriveRoot(const std::string& path)
{
    if (path.size() >= 2 && path[1] == ':' && !IsSJISLeadByte(static_cast<unsigned char>(path[0])))
        return path.substr(0, 2) + "\\";
    return std::string();
}

std::string GetRelativePath(const std::string& path, const std::string& base)
{
    if (base.empty() || path.size() < base.size())
        return std::string();
    if (ToLower(path.substr(0, base.size())) != ToLower(base))
        return std::string();
    size_t cut = base.size();
    if (!EndsWithBackslash(base))
        ++cut;  // the separator after the base
    return cut >= path.size() ? std::string() : path.substr(cut);
}

int StringToInt(const std::string& s)
{
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                            s[i] == '\v' || s[i] == '\f'))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        value = value * 10 + (s[i] - '0');
        if (value > 2147483648LL)
            value = 2147483648LL;  // saturate instead of overflowing
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        value = 2147483647LL;
    return static_cast<int>(value);
}

std::string IntToString(int v)
{
    char buffer[16];
    int n = 0;
    unsigned int magnitude = v < 0 ? 0u - static_cast<unsigned int>(v) : static_cast<unsigned int>(v);
    char digits[12];
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int k = 0;
    if (v < 0)
        buffer[k++] = '-';
    while (n > 0)
        buffer[k++] = digits[--n];
    return std::string(buffer, k);
}

}}}
