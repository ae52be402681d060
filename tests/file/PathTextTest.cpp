#include <gtest/gtest.h>

#include <string>

#include "file/PathText.h"
#include "file/WindowsVersion.h"

using namespace Corvane::Base::File;

// "ソ" is 0x83 0x5C in code page 932: its trail byte looks like '\'.
#define SO "ソ"

namespace {

struct Pair {
    const char* in;
    const char* want;
};

}  // namespace

TEST(PathText, LeadBytes)
{
    for (int c = 0; c < 256; ++c) {
        bool want = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        EXPECT_EQ(want, IsSJISLeadByte(static_cast<unsigned char>(c))) << c;
    }
}

TEST(PathText, SeparatorsAndCase)
{
    EXPECT_EQ("a\\b\\" SO "\\c", ToBackslash("a/b/" SO "/c"));
    EXPECT_EQ("a/b/" SO "/c", ToSlash("a\\b\\" SO "\\c"));
    EXPECT_EQ("\x83\x5C", ToSlash("\x83\x5C"));  // the trail byte stays
    EXPECT_EQ("c:\\abc\\" SO "z", ToLower("C:\\ABC\\" SO "Z"));
    EXPECT_EQ("\x83\x41", ToLower("\x83\x41"));  // trail byte 'A' unchanged
}

TEST(PathText, RemoveDoubleBackslash)
{
    const Pair cases[] = {
        {"\\\\server\\\\share", "\\\\server\\share"},
        {"C:\\\\\\x", "C:\\\\x"},
        {"C:\\\\\\\\x", "C:\\\\x"},
        {"C:\\a\\\\b", "C:\\a\\b"},
        {"C:\\" SO "\\b", "C:\\" SO "\\b"},   // 83 5C 5C: the pair is one character, one separator
        {"C:\\" SO "\\\\b", "C:\\" SO "\\b"},
        {"\\\\", "\\\\"},
        {"", ""},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].want, RemoveDoubleBackslash(cases[i].in)) << "case " << i << ": " << cases[i].in;
}

TEST(PathText, IsAbsolutePath)
{
    struct Case { const char* in; bool want; } cases[] = {
        {"C:\\a", true}, {"C:relative", true}, {"\\\\srv\\share", true}, {"\\root", false},
        {"a\\b", false}, {"C", false}, {"", false}, {"\x83:", false} /* ':' as a trail byte */,
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].want, IsAbsolutePath(cases[i].in)) << "case " << i << ": " << cases[i].in;
}

TEST(PathText, GetParentDirectory)
{
    const Pair cases[] = {
        {"C:\\a\\b", "C:\\a"},
        {"C:\\a\\b\\", "C:\\a"},
        {"C:\\a", "C:"},
        {"C:\\", "C:\\"},
        {"C:", "C:"},
        {"name", "name"},
        {"\\\\srv\\share\\x", "\\\\srv\\share"},
        {"C:/a//b", "C:\\a"},
        {"C:\\" SO "\\x", "C:\\" SO},
        {"C:\\a\\" SO, "C:\\a"},          // the trail byte at the end is no separator
        {"C:\\a" SO "b", "C:"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].want, GetParentDirectory(cases[i].in)) << "case " << i << ": " << cases[i].in;
}

TEST(PathText, SplitPathAndFileName)
{
    struct Case { const char* in; const char* folder; const char* file; const char* name; const char* ext; } cases[] = {
        {"C:\\a\\b.txt", "C:\\a", "b.txt", "b", "txt"},
        {"C:\\a\\", "C:\\a", "", "", ""},
        {"C:\\", "C:", "", "", ""},
        {"C:\\a\\archive.tar.gz", "C:\\a", "archive.tar.gz", "archive.tar", "gz"},
        {"C:\\a\\README", "C:\\a", "README", "README", ""},
        {"C:\\a.b\\c", "C:\\a.b", "c", "c", ""},
        {"\\\\srv\\share\\f.ini", "\\\\srv\\share", "f.ini", "f", "ini"},
        {"\\x", "\\", "x", "x", ""},
        {"C:\\" SO "\\" SO ".ini", "C:\\" SO, SO ".ini", SO, "ini"},
        {"C:\\a\\" SO, "C:\\a", SO, SO, ""},   // trail byte 0x5C ends no folder
        {"file.txt", "", "file.txt", "file", "txt"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        std::string folder, file, name, ext;
        SplitPath(cases[i].in, folder, file);
        SplitFileName(cases[i].in, name, ext);
        EXPECT_EQ(cases[i].folder, folder) << "case " << i << ": " << cases[i].in;
        EXPECT_EQ(cases[i].file, file) << "case " << i << ": " << cases[i].in;
        EXPECT_EQ(cases[i].name, name) << "case " << i << ": " << cases[i].in;
        EXPECT_EQ(cases[i].ext, ext) << "case " << i << ": " << cases[i].in;
    }
}

TEST(PathText, DriveRootAndRelativePath)
{
    EXPECT_EQ("C:\\", GetDriveRoot("C:\\a\\b"));
    EXPECT_EQ("D:\\", GetDriveRoot("D:"));
    EXPECT_EQ("", GetDriveRoot("\\\\srv\\share"));
    EXPECT_EQ("", GetDriveRoot("a\\b"));
    EXPECT_EQ("", GetDriveRoot(SO "x"));

    struct Case { const char* path; const char* base; const char* want; } cases[] = {
        {"C:\\Src\\a\\b.txt", "c:\\src\\", "a\\b.txt"},
        {"C:\\Src\\a\\b.txt", "c:\\src", "a\\b.txt"},
        {"C:\\Src\\a\\b.txt", "D:\\x", ""},
        {"C:\\Src", "C:\\Src\\longer", ""},
        {"C:\\Src\\a", "", ""},
        {"C:\\" SO "\\a.txt", "C:\\" SO, "a.txt"},
        {"C:\\SrcX\\a", "C:\\Src", "\\a"},  // a text comparison: the next byte is not checked
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].want, GetRelativePath(cases[i].path, cases[i].base)) << "case " << i;
}

TEST(PathText, Numbers)
{
    struct Case { const char* in; int want; } cases[] = {
        {"12abc", 12}, {"", 0}, {"  -5", -5}, {"+7", 7}, {"abc", 0}, {"-", 0},
        {"2147483647", 2147483647}, {"99999999999999", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].want, StringToInt(cases[i].in)) << "case " << i << ": " << cases[i].in;
    EXPECT_EQ("0", IntToString(0));
    EXPECT_EQ("-2147483648", IntToString(-2147483647 - 1));
    EXPECT_EQ("51", IntToString(51));
}

TEST(PathText, WindowsVersionTable)
{
    struct Case { unsigned long platform, major, minor; char sp; int want; } cases[] = {
        {0, 3, 1, 0, 1},   {1, 3, 0, 0, 1},    {1, 4, 0, 'B', 3}, {1, 4, 0, 'C', 3},
        {1, 4, 0, 'A', 2}, {1, 4, 10, 'A', 5}, {1, 4, 10, 0, 4},  {1, 4, 90, 0, 6},
        {1, 4, 3, 0, 1},   {1, 5, 0, 0, 13},   {2, 4, 0, 0, 7},   {2, 3, 51, 0, 7},
        {2, 5, 0, 0, 8},   {2, 5, 1, 0, 9},    {2, 5, 2, 0, 10},  {2, 5, 3, 0, 13},
        {2, 6, 0, 0, 11},  {2, 6, 1, 0, 12},   {2, 6, 2, 0, 13},  {2, 10, 0, 0, 13},
        {3, 6, 1, 0, 0},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].want, WindowsVersionCode(cases[i].platform, cases[i].major, cases[i].minor, cases[i].sp))
            << "case " << i;
}
