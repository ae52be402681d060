// The installer reads cfg\init.ini through the file layer from compressed
// storage: a cfg.pak beside it or the single compressed file of init.ini.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/WindowDriver.h"
#include "file/PakFormat.h"
#include "support/ChildProcess.h"
#include "support/InformationRegGuard.h"
#include "support/ScratchDir.h"

using namespace Corvane::Base::File;
using TestDriver::WindowDriver;
using TestDriver::WindowState;
using TestSupport::PathExists;
using TestSupport::ReadWhole;
using TestSupport::ScratchDir;

namespace {

const DWORD kRunTimeout = 120000;
const char kCaption[] = "テスト インストール";
const char kFinished[] = "ゲームのセットアップが、正常に終了しました。";

std::string Bitmap(int width, int height)
{
    int stride = (width * 3 + 3) & ~3;
    std::string bmp(54 + stride * height, '\0');
    auto put32 = [&](size_t at, unsigned v) { for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i)); };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<unsigned>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bmp[26] = 1;
    bmp[28] = 24;
    return bmp;
}

std::string Block(const std::string& data)
{
    std::string block;
    Pak::MakeBlock(reinterpret_cast<const unsigned char*>(data.data()), data.size(), block, 9);
    return block;
}

std::string OneMemberArchive(const std::string& name, const std::string& data)
{
    std::string block = Block(data);
    std::vector<Pak::Entry> entries = {
        {name, static_cast<uint32_t>(Pak::kHeaderSize + 4 + Pak::EntrySize(name)), static_cast<uint32_t>(block.size())}};
    std::string directory = Pak::EncodeDirectory(entries);
    return Pak::EncodeArchiveHeader(static_cast<uint32_t>(directory.size())) + directory + block;
}

std::string SingleFile(const std::string& name, const std::string& data)
{
    std::string block = Block(data);
    size_t header = Pak::EncodeSingleHeader(name, 0, 0).size();
    return Pak::EncodeSingleHeader(name, static_cast<uint32_t>(header), static_cast<uint32_t>(block.size())) + block;
}

}  // namespace

TEST(InstallerArchiveConfig, ScriptFromCfgPakOrItsSingleFileGivesTheFinishedPicture)
{
    const std::string script = "DialogBitmap side.bmp\r\n";
    struct Case {
        const char* name;
        const char* file;  // below the installer's folder
        std::string bytes;
    } cases[] = {
        {"archive", "cfg.pak", OneMemberArchive("INIT.INI", script)},
        {"single file", "cfg\\init105110105.pak", SingleFile("init.ini", script)},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        TestSupport::InformationRegGuard info;
        ScratchDir dir;
        ASSERT_TRUE(dir.WriteFile("dist\\gamedata\\readme.txt", "read me\r\n")) << "case " << i;
        ASSERT_TRUE(dir.WriteFile("dist\\side.bmp", Bitmap(120, 170))) << "case " << i;
        ASSERT_TRUE(dir.WriteFile(std::string("start\\") + cases[i].file, cases[i].bytes)) << "case " << i;
        ASSERT_FALSE(PathExists(dir / "start\\cfg\\init.ini"));
        std::string program = dir / "start\\installer.exe";
        ASSERT_TRUE(CopyFileA(TestSupport::HelperPath("installer.exe").c_str(), program.c_str(), FALSE));
        std::string dest = dir / "ゲーム";
        std::vector<std::string> args = {"t", "テスト", dir / "dist\\gamedata", dest, "game.exe", "uninst.exe",
                                         "f", "f", "f", "0", "0"};
        std::string line = "\"" + program + "\"";
        for (const std::string& a : args)
            line += " \"" + a + "\"";

        WindowDriver driver;
        driver.Answer(kCaption, kFinished, IDOK);
        ASSERT_TRUE(driver.Start(line, dir / "start")) << "case " << i;
        DWORD code = 99;
        ASSERT_TRUE(driver.WaitForExit(kRunTimeout, &code)) << "case " << i << driver.Transcript();
        EXPECT_TRUE(driver.Unexpected().empty()) << "case " << i << driver.Transcript();

        // The finished dialog shows the picture the script names, 120 x 170.
        auto finished = driver.Find([](const WindowState& s) { return s.HasText(kFinished); });
        ASSERT_FALSE(finished.empty()) << "case " << i << ": " << cases[i].name << driver.Transcript();
        ASSERT_TRUE(finished.back().state.Control(1002)) << "case " << i;
        EXPECT_EQ(120, finished.back().state.Control(1002)->width) << "case " << i << ": " << cases[i].name;
        EXPECT_EQ(170, finished.back().state.Control(1002)->height) << "case " << i;
        EXPECT_EQ("read me\r\n", ReadWhole(dest + "\\readme.txt")) << "case " << i;
    }
}
