#include <windows.h>

#include <gtest/gtest.h>

#include "support/ScratchDir.h"

// Japanese texts are Shift-JIS at run time: a wrong locale must fail here loudly.
TEST(Platform, AnsiCodePageIsShiftJis)
{
    ASSERT_EQ(932u, GetACP()) << "run the tests with LANG=ja_JP.UTF-8 (tools/wine-run.sh does)";
}

TEST(Platform, LiteralsAreShiftJis)
{
    const char text[] = "ソ";
    ASSERT_EQ(3u, sizeof(text));
    EXPECT_EQ(0x83, static_cast<unsigned char>(text[0]));
    EXPECT_EQ(0x5C, static_cast<unsigned char>(text[1]));
}

TEST(Platform, ShiftJisFileNamesRoundTrip)
{
    TestSupport::ScratchDir dir;
    ASSERT_FALSE(dir.Path().empty());
    const std::string name = "ソフト表示.txt";
    ASSERT_TRUE(dir.WriteFile(name, "abc"));
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir / "*.txt").c_str(), &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, find);
    FindClose(find);
    EXPECT_EQ(name, std::string(data.cFileName));
}

TEST(Platform, ScratchDirIsRemoved)
{
    std::string path;
    {
        TestSupport::ScratchDir dir;
        path = dir.Path();
        ASSERT_TRUE(dir.WriteFile("sub\\a.bin", "x"));
        SetFileAttributesA((dir / "sub\\a.bin").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}
