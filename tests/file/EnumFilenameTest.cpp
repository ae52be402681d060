#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "file/CEnumFilename.h"
#include "file/CFindFile.h"
#include "file/PathText.h"
#include "support/ScratchDir.h"

using namespace Corvane::Base::File;

namespace {

std::vector<std::string> List(const std::string& folder, const std::string& pattern, bool recursive)
{
    CEnumFilename e;
    e.Enumerate(folder, pattern, recursive);
    std::vector<std::string> out;
    for (int i = 0; i < e.GetCount(); ++i)
        out.push_back(e.GetFilename(i));
    return out;
}

bool Contains(const std::vector<std::string>& v, const std::string& s)
{
    for (const std::string& x : v)
        if (x == s)
            return true;
    return false;
}

size_t IndexOf(const std::vector<std::string>& v, const std::string& s)
{
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] == s)
            return i;
    return v.size();
}

class EnumFixture : public ::testing::Test {
protected:
    TestSupport::ScratchDir dir;
    void SetUp() override
    {
        ASSERT_TRUE(dir.WriteFile("a.txt", "1"));
        ASSERT_TRUE(dir.WriteFile(".hidden", "2"));
        ASSERT_TRUE(dir.WriteFile("sub\\b.dat", "3"));
        ASSERT_TRUE(dir.WriteFile("sub\\deep\\c.txt", "4"));
        ASSERT_TRUE(dir.WriteFile("ソフト\\d.txt", "5"));
        ASSERT_TRUE(dir.WriteFile("x.txt.d\\e.txt", "6"));
        CreateDirectoryA((dir / "empty").c_str(), nullptr);
    }
};

}  // namespace

TEST_F(EnumFixture, DepthFirstFullNames)
{
    std::vector<std::string> all = List(dir.Path(), "*.*", true);
    EXPECT_EQ(6u, all.size());
    for (const char* rel : {"a.txt", ".hidden", "sub\\b.dat", "sub\\deep\\c.txt", "ソフト\\d.txt", "x.txt.d\\e.txt"})
        EXPECT_TRUE(Contains(all, dir / rel)) << rel;
    // A sub-folder's entries stand together, its own folder's deeper entries among them.
    size_t b = IndexOf(all, dir / "sub\\b.dat"), c = IndexOf(all, dir / "sub\\deep\\c.txt");
    ASSERT_LT(b, all.size());
    ASSERT_LT(c, all.size());
    EXPECT_EQ(1u, (b > c ? b - c : c - b));
    EXPECT_EQ(2u, List(dir.Path(), "*.*", false).size());
    EXPECT_TRUE(List(dir / "empty", "*.*", true).empty());
}

TEST_F(EnumFixture, PatternFiltersFoldersToo)
{
    std::vector<std::string> txt = List(dir.Path(), "*.txt", true);
    EXPECT_TRUE(Contains(txt, dir / "a.txt"));
    EXPECT_FALSE(Contains(txt, dir / "sub\\deep\\c.txt")) << "sub does not match *.txt";
    EXPECT_FALSE(Contains(txt, dir / "x.txt.d\\e.txt")) << "x.txt.d does not match *.txt either";
    EXPECT_TRUE(List(dir.Path(), "*.none", true).empty());
}

TEST_F(EnumFixture, FolderSpellingsGiveTheSameEntries)
{
    std::vector<std::string> clean = List(dir.Path(), "*.*", true);
    std::string slashed = dir.Path();
    for (char& ch : slashed)
        if (ch == '\\')
            ch = '/';
    EXPECT_EQ(clean, List(dir.Path() + "\\", "*.*", true));
    EXPECT_EQ(clean, List(slashed, "*.*", true));
    EXPECT_EQ(clean, List(slashed + "/", "*.*", true));
}

// Every entry is the folder as given joined to the name and normalised,
// whatever separators the folder carries and wherever a trail byte 0x5C sits.
TEST_F(EnumFixture, EntriesAreTheNormalisedJoinOfFolderAndName)
{
    ASSERT_TRUE(dir.WriteFile("ソ\\f.txt", "7"));  // "ソ" ends in the byte 0x5C
    std::string slashed = dir.Path();
    for (char& ch : slashed)
        if (ch == '\\')
            ch = '/';
    const std::string spellings[] = {
        dir / "ソ", dir / "ソ\\", dir.Path() + "\\\\\\ソ\\\\\\", slashed + "/ソ/", slashed + "//ソ",
    };
    for (size_t i = 0; i < sizeof(spellings) / sizeof(spellings[0]); ++i) {
        std::vector<std::string> got = List(spellings[i], "*.*", false);
        std::vector<std::string> want = {RemoveDoubleBackslash(ToBackslash(spellings[i] + "\\f.txt"))};
        EXPECT_EQ(want, got) << "case " << i << ": " << spellings[i];
    }
}

TEST_F(EnumFixture, EmptyFolderArgumentListsTheCurrentDirectoryRelatively)
{
    std::vector<std::string> rel;
    {
        TestSupport::CurrentDirectoryGuard keep;
        ASSERT_TRUE(SetCurrentDirectoryA((dir / "sub").c_str()));
        rel = List("", "*.*", true);
    }
    EXPECT_EQ(2u, rel.size());
    EXPECT_TRUE(Contains(rel, "b.dat"));
    EXPECT_TRUE(Contains(rel, "deep\\c.txt"));
}

TEST_F(EnumFixture, BadIndexThrowsAndASecondListReplacesTheFirst)
{
    CEnumFilename e;
    e.Enumerate(dir.Path(), "*.*", true);
    EXPECT_EQ(6, e.GetCount());
    e.Enumerate(dir / "sub", "*.*", false);
    EXPECT_EQ(1, e.GetCount());
    for (int bad : {-1, 1, 100}) {
        try {
            e.GetFilename(bad);
            ADD_FAILURE() << "no throw for " << bad;
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ("invalid vector<T> subscript", error.what());
        }
    }
    e.Enumerate(dir / "missing", "*.*", true);
    EXPECT_EQ(0, e.GetCount());
}

// Sizes come from the listing itself, 64 bits wide, in step with the names.
TEST_F(EnumFixture, ListedSizesMatchTheFiles)
{
    ASSERT_TRUE(dir.WriteFile("sub\\deep\\big.bin", std::string(70000, 'b')));
    const unsigned long long huge = (5ull << 30) + 3;  // sparse: needs the high part
    HANDLE h = CreateFileA((dir / "sub\\huge.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(huge);
    EXPECT_TRUE(SetFilePointerEx(h, end, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);

    struct Case { const char* rel; unsigned long long size; } cases[] = {
        {"a.txt", 1}, {"sub\\b.dat", 1}, {"sub\\deep\\big.bin", 70000}, {"sub\\huge.bin", huge}, {"ソフト\\d.txt", 1},
    };
    CEnumFilename e;
    e.Enumerate(dir.Path(), "*.*", true);
    std::vector<std::string> names;
    for (int i = 0; i < e.GetCount(); ++i)
        names.push_back(e.GetFilename(i));
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        size_t at = IndexOf(names, dir / cases[i].rel);
        ASSERT_LT(at, names.size()) << "case " << i << ": " << cases[i].rel;
        EXPECT_EQ(cases[i].size, e.GetListedSize(static_cast<int>(at))) << "case " << i << ": " << cases[i].rel;
    }
    for (int bad : {-1, e.GetCount()})
        EXPECT_THROW(e.GetListedSize(bad), std::out_of_range) << "index " << bad;
    e.Enumerate(dir / "missing", "*.*", true);
    EXPECT_THROW(e.GetListedSize(0), std::out_of_range);
}

TEST_F(EnumFixture, FindFileSeesFilesAndFolders)
{
    CFindFile find;
    EXPECT_TRUE(find.Exists(dir / "sub"));
    EXPECT_TRUE(find.Exists(dir / "ソフト\\d.txt"));
    EXPECT_FALSE(find.Exists(dir / "nothing"));
    WIN32_FIND_DATAA data;
    EXPECT_FALSE(find.FindNext(&data));  // a failed search keeps nothing open
    ASSERT_TRUE(find.FindFirst(dir / "sub\\*", &data));
    int entries = 1;
    while (find.FindNext(&data))
        ++entries;
    EXPECT_EQ(4, entries);  // ".", "..", b.dat, deep
    find.Close();
    find.Close();
}
