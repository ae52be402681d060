#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/CSetupHelper2.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"

using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::SetupInformationRecord;

namespace {

std::string Bytes(size_t n, int seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 131 + seed) & 0xFF);
    return s;
}

std::string Read(const std::string& path)
{
    std::string s;
    TestSupport::ScratchDir::ReadFile(path, s);
    return s;
}

// Keeps the user's Information.reg as it was before the test.
class SetupHelperTest : public ::testing::Test {
protected:
    std::string infoPath = CSetupHelper2::GetSetupInformationFolder() + "\\Information.reg";
    std::string saved;
    bool existed = false;
    TestSupport::ScratchDir dir;

    void SetUp() override
    {
        existed = TestSupport::ScratchDir::ReadFile(infoPath, saved);
        SetFileAttributesA(infoPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(infoPath.c_str());
    }
    void TearDown() override
    {
        SetFileAttributesA(infoPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(infoPath.c_str());
        if (existed) {
            HANDLE h = CreateFileA(infoPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD w = 0;
            WriteFile(h, saved.data(), static_cast<DWORD>(saved.size()), &w, nullptr);
            CloseHandle(h);
        }
    }

    // Lists and sizes a source tree as the installer does.
    unsigned long long Configure(CSetupHelper2& helper, const std::vector<std::string>& names)
    {
        helper.SetAppName("テスト");
        helper.SetSourceFolder(dir / "src\\");
        helper.SetDestinationFolder(dir / "dst");
        unsigned long long total = 0;
        for (const std::string& n : names) {
            helper.AddFile(n);
            total += Read(dir / ("src\\" + n)).size();
        }
        helper.SetTotalSize(total);
        return total;
    }

    static bool WaitDone(CSetupHelper2& helper)
    {
        for (int i = 0; i < 6000; ++i) {
            if (helper.IsFinished() || (helper.IsFailed() && !helper.IsRunning()))
                return true;
            Sleep(10);
        }
        return false;
    }
};

}  // namespace

TEST_F(SetupHelperTest, CopiesATreeByteExactWithFullProgress)
{
    struct File { const char* name; size_t size; } files[] = {
        {"empty.bin", 0}, {"exact.bin", 16384}, {"over.bin", 16385},
        {"ソフト\\big.dat", 3 * 1024 * 1024 + 7}, {"sub\\deep\\表示.ini", 100}};
    std::vector<std::string> names;
    for (const File& f : files) {
        ASSERT_TRUE(dir.WriteFile(std::string("src\\") + f.name, Bytes(f.size, static_cast<int>(f.size))));
        names.push_back(f.name);
    }
    CSetupHelper2 helper;
    unsigned long long total = Configure(helper, names);
    ASSERT_TRUE(helper.StartInstall());
    ASSERT_TRUE(WaitDone(helper));
    helper.Stop();
    EXPECT_TRUE(helper.IsFinished());
    EXPECT_FALSE(helper.IsFailed());
    EXPECT_EQ(total, helper.GetDoneSize());
    for (const File& f : files) {
        std::string copy;
        ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(dir / (std::string("dst\\") + f.name), copy)) << f.name;
        EXPECT_EQ(Bytes(f.size, static_cast<int>(f.size)), copy) << f.name;
    }
}

TEST_F(SetupHelperTest, CancelRemovesNewFilesAndGivesBackWhatWasThere)
{
    ASSERT_TRUE(dir.WriteFile("src\\game.exe", "new program"));
    ASSERT_TRUE(dir.WriteFile("src\\new\\a.txt", "fresh"));
    ASSERT_TRUE(dir.WriteFile("src\\setting.ini", "new setting"));
    ASSERT_TRUE(dir.WriteFile("dst\\game.exe", "the user's game"));
    ASSERT_TRUE(dir.WriteFile("dst\\setting.ini", "old hidden setting"));
    SetFileAttributesA((dir / "dst\\setting.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
    DWORD before = GetFileAttributesA((dir / "dst\\setting.ini").c_str());
    ASSERT_NE(0u, before & FILE_ATTRIBUTE_HIDDEN);
    CSetupHelper2 helper;
    Configure(helper, {"game.exe", "new\\a.txt", "setting.ini"});
    ASSERT_TRUE(helper.StartInstall());
    ASSERT_TRUE(WaitDone(helper));
    EXPECT_EQ("new program", Read(dir / "dst\\game.exe"));
    helper.CancelInstall();
    EXPECT_EQ("the user's game", Read(dir / "dst\\game.exe"));
    EXPECT_EQ("old hidden setting", Read(dir / "dst\\setting.ini"));
    EXPECT_EQ(before, GetFileAttributesA((dir / "dst\\setting.ini").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "dst\\new").c_str())) << "the emptied folder is gone";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "dst\\game.exe~keep").c_str()));
}

TEST_F(SetupHelperTest, SuccessLeavesNoKeptCopies)
{
    ASSERT_TRUE(dir.WriteFile("src\\game.exe", "new"));
    ASSERT_TRUE(dir.WriteFile("dst\\game.exe", "old"));
    {
        CSetupHelper2 helper;
        Configure(helper, {"game.exe"});
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper));
    }
    EXPECT_EQ("new", Read(dir / "dst\\game.exe"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "dst\\game.exe~keep").c_str()));
}

TEST_F(SetupHelperTest, MissingSourceAsksAndCancelFails)
{
    TestSupport::MessageBoxAnswerer answerer;
    answerer.Expect(IDRETRY);
    answerer.Expect(IDCANCEL);
    CSetupHelper2 helper;
    helper.SetSourceFolder(dir / "src");
    helper.SetDestinationFolder(dir / "dst");
    helper.AddFile("missing.bin");
    helper.SetTotalSize(1);
    ASSERT_TRUE(helper.StartInstall());
    ASSERT_TRUE(WaitDone(helper));
    helper.Stop();
    answerer.Verify();
    EXPECT_TRUE(helper.IsFailed());
    ASSERT_EQ(2u, answerer.Boxes().size());
    EXPECT_EQ("FileLoadError", answerer.Boxes()[0].caption);
    EXPECT_EQ(nullptr, answerer.Boxes()[0].owner);
    EXPECT_EQ(0u, answerer.Boxes()[0].text.find(dir / "src\\missing.bin" + "\nファイル読み込みに失敗しました。[Error::CreateFile]\nWindowsError:"))
        << answerer.Boxes()[0].text;
}

TEST_F(SetupHelperTest, InformationFileMergesAndLooksUp)
{
    ASSERT_TRUE(dir.WriteFile("game\\game.exe", "x"));
    {
        CSetupHelper2 helper;
        SetupInformationRecord r;
        r.m_AppName = "ゲーム";
        r.m_InstallFolder = dir / "game";
        r.m_ProgramPath = dir / "game\\game.exe";
        r.m_bFlag = true;
        ASSERT_TRUE(helper.WriteSetupInformation(r));
        SetupInformationRecord update;
        update.m_AppName = "ゲーム";
        update.m_InstallFolder = dir / "moved";
        ASSERT_TRUE(helper.WriteSetupInformation(update));
        SetupInformationRecord gone;
        gone.m_AppName = "消えた";
        gone.m_ProgramPath = dir / "nothing.exe";
        ASSERT_TRUE(helper.WriteSetupInformation(gone));

        CSetupHelper2 second;  // the file is not shared
        EXPECT_FALSE(second.WriteSetupInformation(r));
    }
    EXPECT_EQ(4u + 2 * 1044, Read(infoPath).size());
    EXPECT_NE(0u, GetFileAttributesA(infoPath.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    CSetupHelper2 reader;
    SetupInformationRecord found;
    ASSERT_TRUE(reader.FindSetupInformation("ゲーム", found));
    EXPECT_EQ(dir / "moved", found.m_InstallFolder);
    EXPECT_EQ(dir / "game\\game.exe", found.m_ProgramPath);
    EXPECT_FALSE(found.m_bFlag);
    EXPECT_FALSE(reader.FindSetupInformation("消えた", found)) << "its program is gone";
    EXPECT_FALSE(reader.FindSetupInformation("げーむ", found));
}

TEST_F(SetupHelperTest, UninstallListAppendsOneBlockPerRun)
{
    ASSERT_TRUE(dir.WriteFile("src\\sub\\a.txt", "a"));
    for (int run = 0; run < 2; ++run) {
        CSetupHelper2 helper;
        helper.SetAppName("Game,X");
        helper.SetSourceFolder(dir / "src");
        helper.SetDestinationFolder(dir / "dst\\data");
        helper.AddFile("sub\\a.txt");
        helper.SetTotalSize(1);
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper));
        helper.Stop();
        ASSERT_TRUE(helper.WriteUninstallList("uninstall.ini"));
    }
    std::string list = dir / "dst\\uninstall.ini";
    std::string block = "#AppName,Game,X\r\n#UninstallFile\r\n" + (dir / "dst\\data\\sub\\a.txt") + "\r\n" + list +
                        "\r\n##\r\n#UninstallDirectory\r\n" + (dir / "dst\\data\\sub") + "\r\n" + (dir / "dst\\data") +
                        "\r\n##\r\n";
    EXPECT_EQ(block + block, Read(list));
    EXPECT_NE(0u, GetFileAttributesA(list.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}
