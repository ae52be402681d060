#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>

#include "file/CRegistory.h"
#include "file/FileSystem.h"
#include "file/PathText.h"
#include "support/ChildProcess.h"
#include "support/DebugCapture.h"
#include "support/ScratchDir.h"

using namespace Corvane::Base::File;

namespace {

bool IsFolder(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

TEST(FileSystem, GetFullPath)
{
    TestSupport::ScratchDir dir;
    TestSupport::CurrentDirectoryGuard keep;
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    EXPECT_EQ("", GetFullPath(""));
    EXPECT_EQ("C:\\a\\..\\b", GetFullPath("C:/a//../b"));  // absolute: no resolution
    EXPECT_EQ(dir.Path() + "\\x\\y.txt", GetFullPath("x\\y.txt"));
    EXPECT_EQ(dir.Path() + "\\y.txt", GetFullPath("x\\..\\y.txt"));
    EXPECT_EQ(dir.Path().substr(0, 2) + "\\root", GetFullPath("\\root"));
    EXPECT_EQ(dir.Path() + "\\" "ソ" "\\a", GetFullPath("ソ\\a"));
    EXPECT_EQ("", GetFullPath(std::string(400, 'n')));  // does not fit the buffer
}

TEST(FileSystem, ModulePathAndFolder)
{
    std::string path = GetModulePath();
    EXPECT_TRUE(IsAbsolutePath(path));
    EXPECT_EQ(TestSupport::BinDirectory(), GetModuleDirectory());
    EXPECT_EQ(GetModuleDirectory() + "\\test_file.exe", path);
}

TEST(FileSystem, CreateAndDeleteFolders)
{
    TestSupport::ScratchDir dir;
    EXPECT_FALSE(CreateOneDirectory(""));
    std::string deep = dir / "a\\ソ\\c";
    EXPECT_TRUE(CreateDirectoryTree(deep));
    EXPECT_TRUE(IsFolder(dir / "a\\ソ"));
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_TRUE(CreateDirectoryTree(deep));  // existing: true, nothing changes
    EXPECT_TRUE(CreateOneDirectory(deep));
    ASSERT_TRUE(dir.WriteFile("a\\ソ\\c\\f.txt", "x"));
    EXPECT_FALSE(DeleteDirectory(deep));  // not empty
    DeleteFileA((deep + "\\f.txt").c_str());
    EXPECT_TRUE(DeleteDirectory(deep));
    EXPECT_FALSE(IsFolder(deep));
}

// Whatever already exists along the way, the tree ends up complete, and
// only a folder that cannot be made fails.
TEST(FileSystem, CreateDirectoryTreeFromAnyStartingPoint)
{
    TestSupport::ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("file", "x"));
    ASSERT_TRUE(CreateDirectoryTree(dir / "have\\ソ"));
    struct Case { const char* path; bool want; } cases[] = {
        {"have\\ソ", true},                 // all there
        {"have\\ソ\\new", true},            // the parent is there
        {"have\\new2\\x\\y", true},         // several levels missing
        {"fresh\\ソ\\x\\y", true},          // missing right below the scratch folder
        {"file\\sub", false},               // below a file
        {"file\\sub\\deeper", false},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        std::string path = dir / cases[i].path;
        EXPECT_EQ(cases[i].want, CreateDirectoryTree(path)) << "case " << i << ": " << cases[i].path;
        EXPECT_EQ(cases[i].want, IsFolder(path)) << "case " << i << ": " << cases[i].path;
    }
    EXPECT_FALSE(CreateDirectoryTree(""));
}

TEST(FileSystem, ExecuteProgramWaitsAndPassesParameters)
{
    TestSupport::ScratchDir dir;
    std::string out = dir / "args.txt";
    ASSERT_TRUE(ExecuteProgram(TestSupport::HelperPath("exec_probe.exe"), true, dir.Path(),
                               "\"" + out + "\" first \"two words\""));
    std::string content;
    ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(out, content)) << "returned before the program ended";
    EXPECT_EQ("first\ntwo words\n", content);
    EXPECT_FALSE(ExecuteProgram(dir / "missing.exe", true, "", ""));
}

TEST(FileSystem, FreeDiskSpace)
{
    TestSupport::ScratchDir dir;
    EXPECT_GT(GetFreeDiskSpace(GetDriveRoot(dir.Path())), 0u);
    EXPECT_EQ(0u, GetFreeDiskSpace("Q:\\no\\such\\drive\\"));
    EXPECT_EQ(0u, GetFreeDiskSpace(std::string(300, 'x')));  // cut to the buffer, still no volume
}

TEST(FileSystem, WindowsVersionOfThisSystem)
{
    // Wine reports Windows 7 unless configured otherwise.
    EXPECT_GE(GetWindowsVersion(), 11);
}

TEST(FileSystem, SpecialFoldersAndDesktop)
{
    std::string appData = GetSpecialFolderPath(CSIDL_APPDATA);
    EXPECT_TRUE(IsFolder(appData)) << appData;
    EXPECT_TRUE(IsFolder(GetSpecialFolderPath(CSIDL_PROGRAMS)));
    EXPECT_EQ("", GetSpecialFolderPath(0x7FFF));

    // A fresh Wine prefix holds the "Desktop" value under Shell Folders.
    TestSupport::DebugCapture capture;
    std::string desktop = GetDesktopPath();
    EXPECT_FALSE(desktop.empty());
    EXPECT_TRUE(IsAbsolutePath(desktop)) << desktop;
    EXPECT_EQ(0u, capture.Reports().size());
}

TEST(FileSystem, FormatStringAndLocalTime)
{
    EXPECT_EQ("a 5 0x1F ソ", FormatString("a %d 0x%X %s", 5, 31, "ソ"));
    EXPECT_EQ("line", FormatString("line\n"));
    EXPECT_EQ("two\n", FormatString("two\n\n"));
    std::string big(5000, 'y');
    std::string cut = FormatString("%s", big.c_str());
    EXPECT_LE(cut.size(), 1024u);
    EXPECT_GT(cut.size(), 1000u);
    int y = 0, mo = 0, d = 0, h = -1, mi = -1, s = -1;
    ASSERT_TRUE(GetLocalDateTime(&y, &mo, &d, &h, &mi, &s));
    EXPECT_GE(y, 2020);
    EXPECT_TRUE(mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h >= 0 && h < 24 && mi >= 0 && s >= 0);
}

class RegistryTest : public ::testing::Test {
protected:
    std::string key = "Software\\CorvaneTest_" + std::to_string(GetCurrentProcessId());
    void SetUp() override
    {
        HKEY k;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &k, nullptr));
        RegSetValueExA(k, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("ソフト"), 7);
        RegSetValueExA(k, "Empty", 0, REG_SZ, nullptr, 0);
        RegSetValueExA(k, "NoNul", 0, REG_BINARY, reinterpret_cast<const BYTE*>("abc"), 3);
        RegSetValueExA(k, "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%TEMP%\\x"), 9);
        RegCloseKey(k);
    }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); }
};

TEST_F(RegistryTest, ReadsValuesAsText)
{
    CRegistory reg;
    std::string out = "junk";
    EXPECT_FALSE(reg.GetString("Text", out));  // nothing open
    EXPECT_EQ("", out);
    ASSERT_TRUE(reg.Open(key));
    DWORD size = 0;
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), reg.GetValueSize("Text", &size));
    EXPECT_EQ(7u, size);
    EXPECT_TRUE(reg.GetString("Text", out));
    EXPECT_EQ("ソフト", out);
    EXPECT_TRUE(reg.GetString("NoNul", out));
    EXPECT_EQ("abc", out);
    EXPECT_TRUE(reg.GetString("Expand", out));
    EXPECT_EQ("%TEMP%\\x", out);  // not expanded
    EXPECT_FALSE(reg.GetString("Empty", out));
    EXPECT_FALSE(reg.GetString("Missing", out));
    EXPECT_EQ(0u, reg.GetValueSize("Missing", &size));
    EXPECT_EQ(0u, size);
    EXPECT_TRUE(reg.Close());
    EXPECT_FALSE(reg.GetString("Text", out));
    EXPECT_TRUE(reg.Close());
}

TEST_F(RegistryTest, ASecondOpenClosesTheFirstEvenWhenItFails)
{
    CRegistory reg;
    ASSERT_TRUE(reg.Open(key));
    EXPECT_FALSE(reg.Open(key + "\\missing"));
    std::string out;
    EXPECT_FALSE(reg.GetString("Text", out));
}
