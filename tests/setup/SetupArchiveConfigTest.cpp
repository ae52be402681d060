// Setup and the installer it starts read cfg\init.ini through the file layer
// from compressed storage: a cfg.pak at the distribution root or the single
// compressed file of init.ini, with no plain cfg\init.ini anywhere.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/CSetupHelper2.h"
#include "driver/WindowDriver.h"
#include "file/PakFormat.h"
#include "support/ChildProcess.h"
#include "support/InformationRegGuard.h"
#include "support/ScratchDir.h"

using namespace Corvane::Base::File;
using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::SetupInformationRecord;
using TestDriver::WindowDriver;
using TestSupport::PathExists;
using TestSupport::ReadWhole;
using TestSupport::ScratchDir;

namespace {

const DWORD kRunTimeout = 120000;
const char kApp[] = "テストゲーム";
const char kConfirmCaption[] = "テストゲーム追加データ";

std::string Block(const std::string& data)
{
    std::string block;
    Pak::MakeBlock(reinterpret_cast<const unsigned char*>(data.data()), data.size(), block, 9);
    return block;
}

std::string Archive(const std::vector<std::pair<std::string, std::string>>& members)
{
    std::vector<Pak::Entry> entries;
    std::string blocks;
    size_t directorySize = 4;
    for (const auto& m : members)
        directorySize += Pak::EntrySize(m.first);
    for (const auto& m : members) {
        std::string block = Block(m.second);
        entries.push_back({m.first, static_cast<uint32_t>(Pak::kHeaderSize + directorySize + blocks.size()),
                           static_cast<uint32_t>(block.size())});
        blocks += block;
    }
    return Pak::EncodeArchiveHeader(static_cast<uint32_t>(directorySize)) + Pak::EncodeDirectory(entries) + blocks;
}

std::string SingleFile(const std::string& name, const std::string& data)
{
    std::string block = Block(data);
    size_t header = Pak::EncodeSingleHeader(name, 0, 0).size();
    return Pak::EncodeSingleHeader(name, static_cast<uint32_t>(header), static_cast<uint32_t>(block.size())) + block;
}

}  // namespace

TEST(SetupArchiveConfig, WholeRoadWithTheScriptOnlyInCompressedStorage)
{
    const std::string script = std::string("AppName ") + kApp + "\r\n"
                               "Caption 追加データ\r\n"
                               "Message01 の追加データをインストールします。\r\n"
                               "Message03 よろしいですか？\r\n"
                               "DiskDirectory gamedata\r\n"
                               "GameExecute game.exe\r\n"
                               "GameUninstall uninst.exe\r\n"
                               "InstallExecute installer.exe\r\n";
    struct Case {
        const char* name;
        const char* file;  // below the distribution folder
        std::string bytes;
    } cases[] = {
        {"cfg.pak", "cfg.pak", Archive({{"other.ini", "AppName 別のゲーム\r\n"}, {"Init.ini", script}})},
        {"single file", "cfg\\init105110105.pak", SingleFile("init.ini", script)},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        TestSupport::InformationRegGuard info;
        ScratchDir dir;
        std::string dist = dir / "配布";
        std::string base = dir / "基本ゲーム";
        ASSERT_TRUE(dir.WriteFile("基本ゲーム\\game.exe", "the base game"));
        ASSERT_TRUE(dir.WriteFile(std::string("配布\\") + cases[i].file, cases[i].bytes)) << "case " << i;
        ASSERT_TRUE(dir.WriteFile("配布\\gamedata\\voice2.pak", std::string(200000, 'v')));
        ASSERT_TRUE(dir.WriteFile("配布\\2026\\game.exe", "variant 2026"));
        for (const char* program : {"setup.exe", "installer.exe"})
            ASSERT_TRUE(CopyFileA(TestSupport::HelperPath(program).c_str(), (dist + "\\" + program).c_str(), FALSE));
        ASSERT_FALSE(PathExists(dist + "\\cfg\\init.ini"));
        {
            CSetupHelper2 helper;
            SetupInformationRecord record;
            record.m_AppName = kApp;
            record.m_InstallFolder = base;
            record.m_ProgramPath = base + "\\game.exe";
            ASSERT_TRUE(helper.WriteSetupInformation(record));
        }

        WindowDriver driver;
        driver.Answer(kConfirmCaption, "", IDYES);
        driver.Answer("正常終了", "インストールが正常に終了しました。", IDOK);
        ASSERT_TRUE(driver.Start(TestDriver::QuoteCommand(dist + "\\setup.exe", ""), dist)) << "case " << i;
        DWORD code = 99;
        ASSERT_TRUE(driver.WaitForExit(kRunTimeout, &code)) << "case " << i << driver.Transcript();
        EXPECT_EQ(0u, code) << "case " << i;
        EXPECT_TRUE(driver.Unexpected().empty()) << "case " << i << ": " << cases[i].name << driver.Transcript();
        // The confirmation text and the installed files come from the script.
        EXPECT_FALSE(driver.Find([](const TestDriver::WindowState& s) { return s.caption == kConfirmCaption; }).empty())
            << "case " << i << ": " << cases[i].name << driver.Transcript();
        EXPECT_EQ(std::string(200000, 'v'), ReadWhole(base + "\\voice2.pak")) << "case " << i << ": " << cases[i].name;
        EXPECT_EQ("variant 2026", ReadWhole(base + "\\game.exe")) << "case " << i;
    }
}
