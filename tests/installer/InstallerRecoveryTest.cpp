// The installer program killed in the middle of a copy over the user's
// files: the next run first undoes what the killed one left, so a cancel
// then gives back the tree from before, and a completed run leaves nothing
// of its bookkeeping behind.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/CInstallJournal.h"
#include "auxiliary/SetupInformationFormat.h"
#include "driver/WindowDriver.h"
#include "support/ChildProcess.h"
#include "support/InformationRegGuard.h"
#include "support/ScratchDir.h"
#include "support/TreeSnapshot.h"

using Corvane::Base::Auxiliary::CInstallJournal;
using Corvane::Base::Auxiliary::SetupInformationRecord;
using TestDriver::WindowDriver;
using TestDriver::WindowState;
using TestSupport::PathExists;
using TestSupport::ReadWhole;

namespace {

const DWORD kRunTimeout = 180000;
const char kApp[] = "復旧テスト";
const char kCaption[] = "復旧テスト インストール";
const int kBigFiles = 8;
const size_t kBigSize = 24 << 20;

std::string Pattern(size_t n, int seed)
{
    std::string s(n, '\0');
    unsigned x = 2166136261u + seed;
    for (size_t i = 0; i < n; ++i) {
        x = x * 16777619u + 7;
        s[i] = static_cast<char>(x >> 24);
    }
    return s;
}

std::string BigName(int n)
{
    return "big" + std::to_string(n) + ".bin";
}

class InstallerRecovery : public ::testing::Test {
protected:
    TestSupport::InformationRegGuard info;
    TestSupport::ScratchDir dir;
    std::string source = dir / "dist\\gamedata";
    std::string dest = dir / "ゲーム";
    std::string start = dir / "start";
    std::vector<std::pair<std::string, std::string>> files;  // relative name, bytes

    void SetUp() override
    {
        for (int n = 0; n < kBigFiles; ++n)
            Add(BigName(n), Pattern(kBigSize, n));
        Add("readme.txt", "new readme");
        Add("データ\\音声.pak", Pattern(40000, 99));
        ASSERT_TRUE(dir.WriteFile("dist\\2026\\game.exe", "variant 2026"));
        ASSERT_TRUE(dir.WriteFile("start\\cfg\\init.ini", ""));
        ASSERT_TRUE(CopyFileA(TestSupport::HelperPath("installer.exe").c_str(), (start + "\\installer.exe").c_str(), FALSE));
        // The user's installation: every big file and the read-me are replaced by the add-on.
        for (int n = 0; n < kBigFiles; ++n)
            ASSERT_TRUE(dir.WriteFile("ゲーム\\" + BigName(n), "the user's " + BigName(n)));
        ASSERT_TRUE(dir.WriteFile("ゲーム\\readme.txt", "the user's readme"));
        SetFileAttributesA((dest + "\\readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(dir.WriteFile("ゲーム\\save\\slot1.sav", "the player's own"));
    }

    void Add(const std::string& relative, const std::string& bytes)
    {
        ASSERT_TRUE(dir.WriteFile("dist\\gamedata\\" + relative, bytes));
        files.emplace_back(relative, bytes);
    }

    std::string CommandLine() const
    {
        std::string line = "\"" + start + "\\installer.exe\"";
        for (const std::string& a : {std::string("f"), std::string(kApp), source, dest, std::string("game.exe"),
                                     std::string("uninst.exe"), std::string("f"), std::string("f"), std::string("f"),
                                     std::string("0"), std::string("0")})
            line += " \"" + a + "\"";
        return line;
    }

    // Starts a run and kills it, with every instance of its chain, once it
    // has replaced a few of the user's files but not all.
    void KillInTheMiddle()
    {
        const std::string kept = dest + "\\" + BigName(2) + "~keep";
        {
            WindowDriver driver;
            ASSERT_TRUE(driver.Start(CommandLine(), start));
            bool reached = false;
            for (DWORD i = 0; i < kRunTimeout / 5 && !reached; ++i) {
                reached = PathExists(kept);
                if (!reached)
                    Sleep(5);
            }
            ASSERT_TRUE(reached) << driver.Transcript();
        }  // the driver kills the whole family
        ASSERT_TRUE(PathExists(CInstallJournal::PathFor(dest))) << "the run was over before the kill";
        ASSERT_FALSE(PathExists(dest + "\\" + BigName(kBigFiles - 1) + "~keep")) << "the run was nearly over";
    }

    void Run(WindowDriver& driver)
    {
        ASSERT_TRUE(driver.Start(CommandLine(), start));
        DWORD code = 99;
        ASSERT_TRUE(driver.WaitForExit(kRunTimeout, &code)) << driver.Transcript();
        EXPECT_EQ(0u, code);
        EXPECT_TRUE(driver.Unexpected().empty()) << driver.Transcript();
    }

    // No journal, no kept original, no update left anywhere below the destination.
    void ExpectNoBookkeeping()
    {
        for (const auto& entry : TestSupport::Snapshot(dest)) {
            EXPECT_EQ(std::string::npos, entry.first.find("~keep")) << entry.first;
            EXPECT_EQ(std::string::npos, entry.first.find("journal")) << entry.first;
            EXPECT_EQ(std::string::npos, entry.first.find("~new")) << entry.first;
        }
    }
};

}  // namespace

TEST_F(InstallerRecovery, KilledRunsAreUndoneBeforeTheNextOne)
{
    const TestSupport::Tree before = TestSupport::Snapshot(dest);

    // Killed, then started again and cancelled: the tree from before the first run.
    KillInTheMiddle();
    {
        WindowDriver driver;
        driver.Answer(kCaption, "コピー中：", IDCANCEL);
        driver.Answer("確認", "セットアップをキャンセルしますか？", IDYES);
        Run(driver);
    }
    std::string diff = TestSupport::Differences(before, TestSupport::Snapshot(dest));
    EXPECT_TRUE(diff.empty()) << diff;
    EXPECT_EQ("", info.Bytes());

    // Killed again, then started and completed: everything installed.
    KillInTheMiddle();
    {
        WindowDriver driver;
        driver.Answer("正常終了", "インストールが正常に終了しました。", IDOK);
        Run(driver);
        EXPECT_EQ(1u, driver.Find([](const WindowState& s) { return s.caption == "正常終了"; }).size())
            << driver.Transcript();
    }
    for (const auto& f : files)
        EXPECT_TRUE(ReadWhole(dest + "\\" + f.first) == f.second) << f.first;
    EXPECT_EQ("variant 2026", ReadWhole(dest + "\\game.exe"));
    EXPECT_EQ("the player's own", ReadWhole(dest + "\\save\\slot1.sav"));
    ExpectNoBookkeeping();
    std::vector<SetupInformationRecord> records;
    ASSERT_TRUE(Corvane::Base::Auxiliary::DecodeSetupInformation(info.Bytes(), records));
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(kApp, records[0].m_AppName);
    EXPECT_EQ(dest, records[0].m_InstallFolder);
    EXPECT_EQ(4u + 1044u, info.Bytes().size());
    std::string list = ReadWhole(dest + "\\uninstall.ini");
    EXPECT_EQ(0u, list.find(std::string("#AppName,") + kApp + "\r\n")) << "one whole block";
    EXPECT_EQ(list.find("#AppName,"), list.rfind("#AppName,"));
}
