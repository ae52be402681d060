#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/CSetupHelper2.h"
#include "auxiliary/Shortcut.h"
#include "file/FileSystem.h"
#include "support/LinkReader.h"
#include "support/ScratchDir.h"

using Corvane::Base::Auxiliary::CreateShortcut;
using Corvane::Base::Auxiliary::CSetupHelper2;
using TestSupport::LinkContent;
using TestSupport::ReadLink;

namespace {

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}


// Targets that really exist, in a folder whose name needs code page 932.
class ShortcutTest : public ::testing::Test {
protected:
    TestSupport::ScratchDir dir;
    std::string gameFolder;
    std::string game;
    std::string uninstaller;

    void SetUp() override
    {
        gameFolder = dir / "ゲーム";
        game = gameFolder + "\\game.exe";
        uninstaller = gameFolder + "\\アンインストール.exe";
        ASSERT_TRUE(dir.WriteFile("ゲーム\\game.exe", "MZ"));
        ASSERT_TRUE(dir.WriteFile("ゲーム\\アンインストール.exe", "MZ"));
    }
};

}  // namespace

TEST_F(ShortcutTest, SavesALinkToTheTargetAndItsFolderAndOverwritesIt)
{
    std::string link = dir / "new\\folder\\リンク.lnk";  // its folder does not exist yet
    ASSERT_TRUE(CreateShortcut(game, link));
    LinkContent first = ReadLink(link);
    ASSERT_TRUE(first.loaded) << link;
    EXPECT_EQ(game, first.path);
    EXPECT_EQ(gameFolder, first.workingFolder);

    ASSERT_TRUE(CreateShortcut(uninstaller, link));
    LinkContent second = ReadLink(link);
    ASSERT_TRUE(second.loaded);
    EXPECT_EQ(uninstaller, second.path) << "an existing link is overwritten";
    EXPECT_EQ(gameFolder, second.workingFolder);
}

TEST_F(ShortcutTest, EmptyTargetSavesNothing)
{
    std::string link = dir / "empty\\none.lnk";
    EXPECT_TRUE(CreateShortcut("", link));
    EXPECT_FALSE(Exists(link));
}

namespace {

// Removes what the program-menu run creates outside the scratch folder, and
// the setup information file that building the worker leaves behind.
class ProgramMenuTest : public ShortcutTest {
protected:
    const std::string name = "テスト";
    std::string desktopLink;
    std::string pellin;
    std::string appFolder;
    bool pellinExisted = false;
    std::string infoPath = CSetupHelper2::GetSetupInformationFolder() + "\\Information.reg";
    bool infoExisted = false;

    void SetUp() override
    {
        ShortcutTest::SetUp();
        std::string desktop = Corvane::Base::File::GetDesktopPath();
        std::string programs = Corvane::Base::File::GetSpecialFolderPath(CSIDL_PROGRAMS);
        ASSERT_FALSE(desktop.empty());
        ASSERT_FALSE(programs.empty());
        desktopLink = desktop + "\\" + name + ".lnk";
        pellin = programs + "\\PELLIN";
        appFolder = pellin + "\\" + name;
        ASSERT_FALSE(Exists(desktopLink)) << "left from an earlier run";
        ASSERT_FALSE(Exists(appFolder)) << "left from an earlier run";
        pellinExisted = Exists(pellin);
        infoExisted = Exists(infoPath);
    }
    void TearDown() override
    {
        DeleteFileA(desktopLink.c_str());
        TestSupport::RemoveTree(pellinExisted ? appFolder : pellin);
        if (!infoExisted) {
            SetFileAttributesA(infoPath.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(infoPath.c_str());
        }
    }

    // The installer's shortcut steps, in its order.
    void CreateAll(CSetupHelper2& helper)
    {
        EXPECT_TRUE(helper.CreateDesktopShortcut(game, name));
        helper.AddUninstallDesktopShortcut(name);
        EXPECT_TRUE(helper.CreateProgramMenuFolder("PELLIN"));
        EXPECT_TRUE(helper.CreateProgramMenuFolder("PELLIN\\" + name));
        EXPECT_TRUE(helper.CreateProgramMenuShortcut(game, "PELLIN\\" + name + "\\" + name));
        EXPECT_TRUE(helper.CreateProgramMenuShortcut(uninstaller, "PELLIN\\" + name + "\\" + name + "のアンインストール"));
        helper.AddUninstallProgramMenuFolder("PELLIN");
        helper.AddUninstallProgramMenuFolder("PELLIN\\" + name);
        helper.AddUninstallProgramMenuShortcut("PELLIN\\" + name + "\\" + name);
        helper.AddUninstallProgramMenuShortcut("PELLIN\\" + name + "\\" + name + "のアンインストール");
    }
};

}  // namespace

TEST_F(ProgramMenuTest, TwoRunsGiveEachEntryOnceInInstallOrder)
{
    std::string appLink = appFolder + "\\" + name + ".lnk";
    std::string uninstallerLink = appFolder + "\\" + name + "のアンインストール.lnk";
    std::string list = dir / "dst\\uninstall.ini";
    {
        CSetupHelper2 helper;
        helper.SetAppName(name);
        helper.SetDestinationFolder(dir / "dst");
        ASSERT_TRUE(CreateDirectoryA((dir / "dst").c_str(), nullptr));
        CreateAll(helper);
        CreateAll(helper);
        ASSERT_TRUE(helper.WriteUninstallList("uninstall.ini"));
    }

    struct Expected { std::string link, target; };
    const Expected links[] = {{desktopLink, game}, {appLink, game}, {uninstallerLink, uninstaller}};
    for (const Expected& e : links) {
        LinkContent content = ReadLink(e.link);
        EXPECT_TRUE(content.loaded) << e.link;
        EXPECT_EQ(e.target, content.path) << e.link;
        EXPECT_EQ(gameFolder, content.workingFolder) << e.link;
    }

    std::string written;
    ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(list, written));
    EXPECT_EQ("#AppName," + name + "\r\n#UninstallFile\r\n" + desktopLink + "\r\n" + appLink + "\r\n" +
                  uninstallerLink + "\r\n" + list + "\r\n##\r\n#UninstallDirectory\r\n" + pellin + "\r\n" +
                  appFolder + "\r\n##\r\n",
              written);
}
