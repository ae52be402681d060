// A winmm.dll planted beside setup.exe and installer.exe in the distribution
// folder, with native DLLs preferred as Windows prefers them: the whole road
// from setup to the success box runs, and no process of it loads the DLL.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "auxiliary/CSetupHelper2.h"
#include "driver/WindowDriver.h"
#include "support/ChildProcess.h"
#include "support/InformationRegGuard.h"
#include "support/ScratchDir.h"

using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::SetupInformationRecord;
using TestDriver::WindowDriver;
using TestSupport::PathExists;
using TestSupport::ReadWhole;

namespace {

const char kApp[] = "植込みテスト";

// Sets an environment variable for the programs this test starts, and puts
// the old value back afterwards.
class EnvironmentGuard {
public:
    EnvironmentGuard(const char* name, const std::string& value) : m_Name(name)
    {
        char old[4096];
        DWORD n = GetEnvironmentVariableA(name, old, sizeof(old));
        m_bHad = n > 0 && n < sizeof(old);
        if (m_bHad)
            m_Old.assign(old, n);
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~EnvironmentGuard() { SetEnvironmentVariableA(m_Name.c_str(), m_bHad ? m_Old.c_str() : nullptr); }

private:
    std::string m_Name, m_Old;
    bool m_bHad;
};

// Makes Wine load winmm.dll as Windows loads a DLL that is not a known one:
// from the program's own folder first. Wine takes this per program from its
// registry when a process starts.
class NativeFirst {
public:
    explicit NativeFirst(std::vector<std::string> programs) : m_Programs(std::move(programs))
    {
        for (const std::string& program : m_Programs) {
            HKEY key = nullptr;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, Key(program).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                nullptr) != ERROR_SUCCESS)
                continue;
            const char value[] = "native,builtin";
            RegSetValueExA(key, "winmm", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
            RegCloseKey(key);
        }
    }
    ~NativeFirst()
    {
        for (const std::string& program : m_Programs) {
            RegDeleteKeyA(HKEY_CURRENT_USER, Key(program).c_str());
            RegDeleteKeyA(HKEY_CURRENT_USER, ("Software\\Wine\\AppDefaults\\" + program).c_str());
        }
    }

private:
    static std::string Key(const std::string& program) { return "Software\\Wine\\AppDefaults\\" + program + "\\DllOverrides"; }
    std::vector<std::string> m_Programs;
};

}  // namespace

TEST(DllPlanting, NoProcessOfTheRoadLoadsAPlantedDll)
{
    TestSupport::InformationRegGuard info;
    TestSupport::ScratchDir dir;
    const std::string dist = dir / "ダウンロード";
    const std::string base = dir / "基本ゲーム";
    const std::string marker = dir / "planted.txt";
    const std::string planted = TestSupport::BinDirectory() + "\\..\\plant\\winmm.dll";
    ASSERT_TRUE(PathExists(planted)) << planted;
    ASSERT_TRUE(dir.WriteFile("ダウンロード\\cfg\\init.ini", std::string("AppName ") + kApp + "\r\n"
                              "Caption 追加データ\r\n"
                              "Message01 の追加データをインストールします。\r\n"
                              "DiskDirectory gamedata\r\n"
                              "GameExecute game.exe\r\n"
                              "GameUninstall uninst.exe\r\n"
                              "InstallExecute installer.exe\r\n"));
    ASSERT_TRUE(dir.WriteFile("ダウンロード\\gamedata\\voice2.pak", std::string(100000, 'v')));
    ASSERT_TRUE(dir.WriteFile("ダウンロード\\2026\\game.exe", "variant 2026"));
    ASSERT_TRUE(dir.WriteFile("基本ゲーム\\game.exe", "the base game"));
    for (const char* program : {"setup.exe", "installer.exe", "winmm_probe.exe"})
        ASSERT_TRUE(CopyFileA(TestSupport::HelperPath(program).c_str(), (dist + "\\" + program).c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(planted.c_str(), (dist + "\\winmm.dll").c_str(), FALSE));
    {
        CSetupHelper2 helper;
        SetupInformationRecord record;
        record.m_AppName = kApp;
        record.m_InstallFolder = base;
        record.m_ProgramPath = base + "\\game.exe";
        ASSERT_TRUE(helper.WriteSetupInformation(record));
    }
    NativeFirst nativeFirst({"setup.exe", "installer.exe", "winmm_probe.exe"});
    EnvironmentGuard markerPath("CORVANE_PLANT_MARKER", marker);

    // The trap works: a program that imports winmm the ordinary way loads it.
    DWORD code = 99;
    {
        TestSupport::ChildProcess probe;
        ASSERT_TRUE(probe.Start(dist + "\\winmm_probe.exe", "", dist));
        ASSERT_TRUE(probe.Wait(30000, &code));
    }
    ASSERT_TRUE(PathExists(marker)) << "the planted DLL is not loaded even where it should be";
    DeleteFileA(marker.c_str());

    WindowDriver driver;
    driver.Answer(std::string(kApp) + "追加データ", "", IDYES);
    driver.Answer("正常終了", "インストールが正常に終了しました。", IDOK);
    ASSERT_TRUE(driver.Start(TestDriver::QuoteCommand(dist + "\\setup.exe", ""), dist));
    ASSERT_TRUE(driver.WaitForExit(120000, &code)) << driver.Transcript();
    EXPECT_TRUE(driver.Unexpected().empty()) << driver.Transcript();
    EXPECT_GE(driver.ExitCodes().size(), 3u) << "setup and the installer chain";
    EXPECT_EQ(std::string(100000, 'v'), ReadWhole(base + "\\voice2.pak")) << driver.Transcript();
    EXPECT_FALSE(PathExists(marker)) << ReadWhole(marker);
}
