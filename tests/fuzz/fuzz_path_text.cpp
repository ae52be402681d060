// The path and text functions over arbitrary bytes, Shift-JIS lead bytes at
// the end included. The input is cut at its first NUL into a path and a base.

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "file/PathText.h"

using namespace Corvane::Base::File;

namespace {

// Same length, bytes inside double-byte pairs untouched, no single `from` left.
void CheckReplaced(const std::string& in, const std::string& out, char from, char to)
{
    FUZZ_CHECK(out.size() == in.size());
    std::vector<bool> starts = fuzz::CharacterStarts(in);
    for (size_t i = 0; i < in.size(); ++i) {
        if (starts[i] && in[i] == from)
            FUZZ_CHECK(out[i] == to);
        else
            FUZZ_CHECK(out[i] == in[i]);
    }
}

bool IsSubsequence(const std::string& small, const std::string& big)
{
    size_t j = 0;
    for (size_t i = 0; i < big.size() && j < small.size(); ++i)
        if (big[i] == small[j])
            ++j;
    return j == small.size();
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// What sscanf "%d" reads, saturated to the int range.
int ReferenceInt(const std::string& s)
{
    errno = 0;
    long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

void CheckOne(const std::string& s)
{
    CheckReplaced(s, ToBackslash(s), '/', '\\');
    CheckReplaced(s, ToSlash(s), '\\', '/');

    std::string lower = ToLower(s);
    FUZZ_CHECK(lower.size() == s.size());
    FUZZ_CHECK(ToLower(lower) == lower);
    std::vector<bool> starts = fuzz::CharacterStarts(s);
    for (size_t i = 0; i < s.size(); ++i) {
        if (starts[i] && s[i] >= 'A' && s[i] <= 'Z')
            FUZZ_CHECK(lower[i] == s[i] - 'A' + 'a');
        else
            FUZZ_CHECK(lower[i] == s[i]);
    }

    // Only deletes, never the first two bytes.
    std::string single = RemoveDoubleBackslash(s);
    FUZZ_CHECK(single.size() <= s.size());
    FUZZ_CHECK(IsSubsequence(single, s));
    FUZZ_CHECK(single.compare(0, 2, s, 0, 2) == 0);

    (void)IsAbsolutePath(s);

    std::string parent = GetParentDirectory(s);
    std::string normal = RemoveDoubleBackslash(ToBackslash(s));
    FUZZ_CHECK(normal.compare(0, parent.size(), parent) == 0);
    FUZZ_CHECK(fuzz::CharacterStarts(normal)[parent.size()]);

    std::string folder, file;
    SplitPath(s, folder, file);
    FUZZ_CHECK(EndsWith(s, file));
    FUZZ_CHECK(s.compare(0, folder.size(), folder) == 0);
    FUZZ_CHECK(folder.size() + file.size() <= s.size());
    FUZZ_CHECK(!fuzz::HasSingleByte(file, '\\') && !fuzz::HasSingleByte(file, '/'));
    FUZZ_CHECK(fuzz::CharacterStarts(s)[s.size() - file.size()]);

    std::string name, ext;
    SplitFileName(s, name, ext);
    FUZZ_CHECK(name.size() + ext.size() <= file.size());
    FUZZ_CHECK(file.compare(0, name.size(), name) == 0);
    FUZZ_CHECK(EndsWith(file, ext));
    FUZZ_CHECK(!fuzz::HasSingleByte(ext, '.'));

    std::string root = GetDriveRoot(s);
    FUZZ_CHECK(root.empty() || (root.size() == 3 && root[1] == ':' && root[2] == '\\'));

    int value = StringToInt(s);
    FUZZ_CHECK(value == ReferenceInt(s));
    FUZZ_CHECK(StringToInt(IntToString(value)) == value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string whole(reinterpret_cast<const char*>(data), size);
    CheckOne(whole);

    size_t nul = whole.find('\0');
    std::string path = whole.substr(0, nul);
    std::string base = nul == std::string::npos ? std::string() : whole.substr(nul + 1);
    CheckOne(path);
    std::string rel = GetRelativePath(path, base);
    FUZZ_CHECK(EndsWith(path, rel));
    if (!rel.empty())
        FUZZ_CHECK(path.size() - rel.size() == base.size() || path.size() - rel.size() == base.size() + 1);
    // A path below its own base, joined as the installer joins them.
    if (!base.empty()) {
        std::string below = GetRelativePath(base + "\\" + path, base);
        if (!path.empty() && !EndsWith(base, "\\"))
            FUZZ_CHECK(below == path);
    }

    if (size >= 4) {
        int v = static_cast<int>(static_cast<unsigned>(data[0]) | static_cast<unsigned>(data[1]) << 8 |
                                 static_cast<unsigned>(data[2]) << 16 | static_cast<unsigned>(data[3]) << 24);
        FUZZ_CHECK(StringToInt(IntToString(v)) == v);
        FUZZ_CHECK(IntToString(v) == std::to_string(v));
    }
    return 0;
}
