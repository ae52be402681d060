// The whole road from setup to an installed add-on, driven through the
// windows of setup and of the installer chain it starts.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupMain.h"
#include "auxiliary/CSetupHelper2.h"
#include "driver/WindowDriver.h"
#include "support/ChildProcess.h"
#include "support/EndToEnd.h"
#include "support/InformationRegGuard.h"
#include "support/ScratchDir.h"

using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::SetupInformationRecord;
using TestDriver::Event;
using TestDriver::WindowDriver;
using TestDriver::WindowState;
using TestSupport::Boxes;
using TestSupport::ScratchDir;
using TestSupport::PathExists;
using TestSupport::ReadWhole;

namespace {

const DWORD kRunTimeout = 120000;
const char kApp[] = "テストゲーム";
const char kConfirmCaption[] = "テストゲーム追加データ";
const char kConfirmText[] = "テストゲームの追加データをインストールします。\r\nよろしいですか？";
const char kGameRunning[] = "ゲーム起動中のため、セットアップが実行できません。\nゲームを終了させてください。";
const char kNotFound[] = "テストゲーム\nのインストールが確認できないため\n追加インストールすることができません";

// The store launcher's key in the view this program (and setup, built alike) reads.
std::string LauncherKey()
{
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    std::string key;
    Setup::ChooseLauncherKey(info.wProcessorArchitecture, wow64 != FALSE, key);
    return key;
}

// Writes the launcher's "Path" value for a test and takes the key away afterwards.
class LauncherRegistry {
public:
    LauncherRegistry() { Remove(); }
    ~LauncherRegistry() { Remove(); }
    bool SetPath(const std::string& bytes, bool withTerminator = true)
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, LauncherKey().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        LONG result = RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.c_str()),
                                     static_cast<DWORD>(bytes.size() + (withTerminator ? 1 : 0)));
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }
    bool CreateEmptyKey()
    {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, LauncherKey().c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

private:
    static void Remove()
    {
        // The leaf, then every parent that is left empty.
        std::string key = LauncherKey();
        while (key.size() > std::string("SOFTWARE\\").size() + 2 && key != "SOFTWARE\\Wow6432Node") {
            if (RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()) != ERROR_SUCCESS) {
                HKEY still = nullptr;
                if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &still) == ERROR_SUCCESS) {
                    RegCloseKey(still);
                    break;  // not empty: someone else's keys below
                }
            }
            key = key.substr(0, key.find_last_of('\\'));
        }
    }
};

class SetupRun : public ::testing::Test {
protected:
    TestSupport::InformationRegGuard info;
    LauncherRegistry launcher;
    ScratchDir dir;
    std::string dist = dir / "配布";
    std::string base = dir / "基本ゲーム";

    void SetUp() override
    {
        MakeDistribution(dist);
        ASSERT_TRUE(dir.WriteFile("基本ゲーム\\game.exe", "the base game"));
    }

    void MakeDistribution(const std::string& folder, const std::string& installer = "installer.exe")
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* program : {"setup.exe", "installer.exe"}) {
            ASSERT_TRUE(CopyFileA(TestSupport::HelperPath(program).c_str(), (folder + "\\" + program).c_str(), FALSE));
        }
        std::string rel = folder.substr(dir.Path().size() + 1);
        ASSERT_TRUE(dir.WriteFile(rel + "\\cfg\\init.ini",
                                  std::string("AppName ") + kApp + "\r\n"
                                  "Caption 追加データ\r\n"
                                  "Message01 の追加データをインストールします。\r\n"
                                  "Message03 よろしいですか？\r\n"
                                  "DiskDirectory gamedata\r\n"
                                  "GameExecute game.exe\r\n"
                                  "GameUninstall uninst.exe\r\n"
                                  "InstallExecute " + installer + "\r\n"));
        ASSERT_TRUE(dir.WriteFile(rel + "\\gamedata\\voice2.pak", std::string(200000, 'v')));
        ASSERT_TRUE(dir.WriteFile(rel + "\\gamedata\\cfg\\voice.ini", "[voice]\r\n"));
        ASSERT_TRUE(dir.WriteFile(rel + "\\2026\\game.exe", "variant 2026"));
        ASSERT_TRUE(dir.WriteFile(rel + "\\633\\game.exe", "variant 633"));
        ASSERT_TRUE(dir.WriteFile(rel + "\\615\\game.exe", "variant 615"));
    }

    void RecordBaseGame(const std::string& folder)
    {
        CSetupHelper2 helper;
        SetupInformationRecord record;
        record.m_AppName = kApp;
        record.m_InstallFolder = folder;
        record.m_ProgramPath = base + "\\game.exe";
        ASSERT_TRUE(helper.WriteSetupInformation(record));
    }

    void Start(WindowDriver& driver, const std::string& program, const std::string& folder)
    {
        ASSERT_TRUE(driver.Start(TestDriver::QuoteCommand(program, ""), folder));
    }

    void Finish(WindowDriver& driver)
    {
        DWORD code = 99;
        ASSERT_TRUE(driver.WaitForExit(kRunTimeout, &code)) << driver.Transcript();
        EXPECT_EQ(0u, code);
        for (const auto& process : driver.ExitCodes())
            EXPECT_EQ(0u, process.second) << "process " << process.first;
        EXPECT_TRUE(driver.Unexpected().empty()) << driver.Transcript();
    }

    void Run(WindowDriver& driver) { Start(driver, dist + "\\setup.exe", dist); Finish(driver); }
};

TEST_F(SetupRun, YesInstallsIntoTheRecordedFolder)
{
    RecordBaseGame(base);
    WindowDriver driver;
    driver.Answer(kConfirmCaption, "", IDYES);
    driver.Answer("正常終了", "インストールが正常に終了しました。", IDOK);
    Run(driver);

    std::vector<WindowState> boxes = Boxes(driver);
    ASSERT_EQ(2u, boxes.size()) << driver.Transcript();
    EXPECT_EQ(kConfirmCaption, boxes[0].caption);
    EXPECT_EQ(kConfirmText, boxes[0].BoxText());  // empty Message02 and Message04 add no line
    EXPECT_TRUE(boxes[0].Control(IDYES) && boxes[0].Control(IDNO));
    EXPECT_EQ("", boxes[0].Icon());
    EXPECT_EQ(driver.ProcessId(), boxes[0].processId);
    EXPECT_EQ("正常終了", boxes[1].caption);
    EXPECT_GE(driver.ExitCodes().size(), 3u) << "setup and the installer chain";

    EXPECT_EQ(ReadWhole(dist + "\\gamedata\\voice2.pak"), ReadWhole(base + "\\voice2.pak"));
    EXPECT_EQ("variant 2026", ReadWhole(base + "\\game.exe"));  // selector "0"
    std::string list = ReadWhole(base + "\\uninstall.ini");
    EXPECT_EQ(0u, list.find(std::string("#AppName,") + kApp + "\r\n")) << list;
    EXPECT_NE(std::string::npos, list.find(base + "\\voice2.pak\r\n"));

    CSetupHelper2 helper;
    SetupInformationRecord record;
    ASSERT_TRUE(helper.FindSetupInformation(kApp, record));
    EXPECT_EQ(base, record.m_InstallFolder);
    EXPECT_EQ(base + "\\game.exe", record.m_ProgramPath);
}

TEST_F(SetupRun, InstallerGetsTheTwelveItemsByteForByte)
{
    // A stand-in for the installer writes down the command line it was given,
    // in its current folder, which it takes over from setup.
    RecordBaseGame(base);
    MakeDistribution(dist, "cmdline_probe.exe");
    ASSERT_TRUE(CopyFileA(TestSupport::HelperPath("cmdline_probe.exe").c_str(), (dist + "\\cmdline_probe.exe").c_str(),
                          FALSE));
    WindowDriver driver;
    driver.Answer(kConfirmCaption, "", IDYES);
    Run(driver);
    std::string seen = ReadWhole(dist + "\\cmdline_probe.txt");
    std::string expected = "\"" + dist + "\\cmdline_probe.exe\" \"f\" \"" + kApp + "\" \"" + dist + "\\gamedata\" \"" +
                           base + "\" \"game.exe\" \"uninst.exe\" \"f\" \"f\" \"f\" \"0\" \"0\"\n" + dist + "\n";
    EXPECT_EQ(expected, seen);
}

TEST_F(SetupRun, DataFolderBelowTheRecordIsTheTarget)
{
    ASSERT_TRUE(CreateDirectoryA((base + "\\data").c_str(), nullptr));
    RecordBaseGame(base);
    WindowDriver driver;
    driver.Answer(kConfirmCaption, "", IDYES);
    driver.Answer("正常終了", "", IDOK);
    Run(driver);
    EXPECT_EQ(ReadWhole(dist + "\\gamedata\\voice2.pak"), ReadWhole(base + "\\data\\voice2.pak"));
    EXPECT_EQ("variant 615", ReadWhole(base + "\\data\\game.exe"));  // selector "2"
    EXPECT_TRUE(PathExists(base + "\\uninstall.ini")) << "the list lives beside the game, above data";
    EXPECT_FALSE(PathExists(base + "\\voice2.pak"));
}

TEST_F(SetupRun, NoEndsWithItsBoxAndInstallsNothing)
{
    RecordBaseGame(base);
    WindowDriver driver;
    driver.Answer(kConfirmCaption, "", IDNO);
    driver.Answer(kConfirmCaption, "追加インストールせずに終了します", IDOK);
    Run(driver);
    std::vector<WindowState> boxes = Boxes(driver);
    ASSERT_EQ(2u, boxes.size()) << driver.Transcript();
    EXPECT_EQ("追加インストールせずに終了します", boxes[1].BoxText());
    EXPECT_EQ(kConfirmCaption, boxes[1].caption);
    EXPECT_EQ("", boxes[1].Icon());
    EXPECT_EQ(1u, driver.ExitCodes().size()) << "no installer started";
    EXPECT_FALSE(PathExists(base + "\\voice2.pak"));
    EXPECT_FALSE(PathExists(base + "\\uninstall.ini"));
}

TEST_F(SetupRun, OneSetupPerPathWhileTheFirstWaits)
{
    RecordBaseGame(base);
    WindowDriver first;
    first.Answer(kConfirmCaption, "", 0);  // keep it open for now
    Start(first, dist + "\\setup.exe", dist);
    ASSERT_TRUE(first.WaitFor([](const WindowState& s) { return s.caption == kConfirmCaption; }, 30000))
        << first.Transcript();

    // The same program, its path spelled in other letter case: ends silently.
    std::string other = dist + "\\SETUP.EXE";
    other[0] = static_cast<char>(tolower(other[0]));
    WindowDriver second;
    Start(second, other, dist);
    Finish(second);
    EXPECT_TRUE(second.Events().empty()) << second.Transcript();

    // A copy in another folder is a program of its own: it runs, and finds
    // the game's name taken by the first setup.
    std::string copy = dir / "コピー";
    MakeDistribution(copy);
    WindowDriver third;
    third.Answer("エラー", kGameRunning, IDOK);
    Start(third, copy + "\\setup.exe", copy);
    Finish(third);
    ASSERT_EQ(1u, Boxes(third).size()) << third.Transcript();

    first.Answer(kConfirmCaption, "", IDNO);
    first.Answer(kConfirmCaption, "追加インストールせずに終了します", IDOK);
    Finish(first);
}

TEST_F(SetupRun, RunningGameStopsSetup)
{
    RecordBaseGame(base);
    TestSupport::ChildProcess game;
    ASSERT_TRUE(game.Start(TestSupport::HelperPath("game_probe.exe"), std::string("\"") + kApp + "\""));
    HANDLE held = nullptr;
    for (int i = 0; i < 1000 && !held; ++i) {
        held = OpenMutexA(SYNCHRONIZE, FALSE, kApp);
        if (!held)
            Sleep(10);
    }
    ASSERT_TRUE(held) << "the game stand-in never took its mutex";
    CloseHandle(held);

    WindowDriver driver;
    driver.Answer("エラー", kGameRunning, IDOK);
    Run(driver);
    std::vector<WindowState> boxes = Boxes(driver);
    ASSERT_EQ(1u, boxes.size()) << driver.Transcript();
    EXPECT_EQ(kGameRunning, boxes[0].BoxText());
    EXPECT_EQ("icon", boxes[0].Icon());
    EXPECT_FALSE(PathExists(base + "\\voice2.pak"));
}

TEST_F(SetupRun, NothingInstalledGivesTheRegistryBoxThenTheNotFoundBox)
{
    WindowDriver driver;
    driver.Answer("！レジストリへアクセス！", "レジストリのオープンに失敗", IDOK);
    driver.Answer("エラー", kNotFound, IDOK);
    Run(driver);
    std::vector<WindowState> boxes = Boxes(driver);
    ASSERT_EQ(2u, boxes.size()) << driver.Transcript();
    EXPECT_EQ("レジストリのオープンに失敗", boxes[0].BoxText());
    EXPECT_EQ("", boxes[0].Icon());
    EXPECT_EQ(kNotFound, boxes[1].BoxText());
    EXPECT_EQ("icon", boxes[1].Icon());
    EXPECT_EQ(1u, driver.ExitCodes().size());
}

TEST_F(SetupRun, LauncherRegistryAloneGivesTheFolderAndSelectorOne)
{
    std::string folder = dir / "ランチャー版";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(launcher.SetPath(folder));
    WindowDriver driver;
    driver.Answer(kConfirmCaption, "", IDYES);
    driver.Answer("正常終了", "", IDOK);
    Run(driver);
    EXPECT_EQ(ReadWhole(dist + "\\gamedata\\voice2.pak"), ReadWhole(folder + "\\voice2.pak"));
    EXPECT_EQ("variant 633", ReadWhole(folder + "\\game.exe"));  // selector "1"
}

TEST_F(SetupRun, LauncherPathIsReadWholeWithoutTrustingItsEnd)
{
    std::string folder;
    std::string longPath = "C:\\" + std::string(1500, 'x');
    ASSERT_TRUE(launcher.SetPath(longPath, false));  // longer than any fixed buffer, no terminator
    ASSERT_TRUE(Setup::FindLauncherInstallation(folder));
    EXPECT_EQ(longPath, folder);

    ASSERT_TRUE(launcher.SetPath("D:\\短い", true));
    ASSERT_TRUE(Setup::FindLauncherInstallation(folder));
    EXPECT_EQ("D:\\短い", folder);
}

TEST_F(SetupRun, LauncherKeyWithoutPathGivesAnEmptyFolder)
{
    ASSERT_TRUE(launcher.CreateEmptyKey());
    std::string folder = "unchanged";
    ASSERT_TRUE(Setup::FindLauncherInstallation(folder));
    EXPECT_EQ("", folder);
}

}  // namespace
