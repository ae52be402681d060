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
