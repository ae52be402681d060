#include <gtest/gtest.h>

#include <string>

#include "InstallerCommandLine.h"
#include "SetupMain.h"

using namespace Setup;

TEST(InstallerCommandLine, TwelveQuotedItemsJoinedBySingleBlanks)
{
    InstallerItems items;
    items.program = "C:\\Dist Folder\\installer.exe";
    items.appName = "ゲーム名";
    items.diskDirectory = "C:\\Dist Folder\\gamedata";
    items.targetDirectory = "D:\\Games\\表示\\data";  // 表 ends in a 0x5C trail byte
    items.gameExecute = "game.exe";
    items.gameUninstall = "";
    items.selector = "2";
    EXPECT_EQ("\"C:\\Dist Folder\\installer.exe\" \"f\" \"ゲーム名\" \"C:\\Dist Folder\\gamedata\" "
              "\"D:\\Games\\表示\\data\" \"game.exe\" \"\" \"f\" \"f\" \"f\" \"0\" \"2\"",
              BuildInstallerCommandLine(items));
    EXPECT_EQ("\"C:\\Dist Folder\\installer.exe\" \"t\" \"ゲーム名\" \"C:\\Dist Folder\\gamedata\" "
              "\"D:\\Games\\表示\\data\" \"game.exe\" \"\" \"f\" \"f\"",
              BuildMenuInstallerCommandLine(items));
    EXPECT_EQ("\"\" \"f\" \"\" \"\" \"\" \"\" \"\" \"f\" \"f\" \"f\" \"0\" \"\"",
              BuildInstallerCommandLine(InstallerItems()));
}

TEST(InstallerCommandLine, SingleInstanceNameFoldsCaseAndSeparators)
{
    struct { const char* path; const char* name; } cases[] = {
        {"C:\\Dist\\setup.exe", "C:/DIST/SETUP.EXE"},
        {"c:/dist/Setup.EXE", "C:/DIST/SETUP.EXE"},
        // Trail bytes stay: 0x5C after 0x95 is not a separator, 0x61 after 0x83 is not 'a'.
        {"C:\\\x95\\\\\x83" "a.exe", "C:/\x95\\/\x83" "a.EXE"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.name, MakeSingleAppName(c.path)) << c.path;
}

TEST(LauncherKey, ChosenByArchitectureAndWow64)
{
    const std::string content = "SOFTWARE\\DMM GAMES\\Launcher\\Content\\gp_rk5t0w2n";
    const std::string wow = "SOFTWARE\\Wow6432Node\\DMM GAMES\\Launcher\\gp_rk5t0w2n";
    struct { WORD arch; bool wow64; bool found; std::string key; } cases[] = {
        {0, false, true, content}, {0, true, true, content},
        {9, true, true, content},  {9, false, true, wow},
        {6, true, true, content},  {6, false, true, wow},
        {5, false, false, ""},     {12, false, false, ""},
    };
    for (const auto& c : cases) {
        std::string key;
        EXPECT_EQ(c.found, ChooseLauncherKey(c.arch, c.wow64, key)) << c.arch << " " << c.wow64;
        EXPECT_EQ(c.key, key) << c.arch << " " << c.wow64;
    }
}
