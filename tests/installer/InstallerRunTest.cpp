// The installer program end to end: started as setup starts it, driven
// through its windows, judged by its transcript and the files it leaves.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "auxiliary/SetupInformationFormat.h"
#include "driver/WindowDriver.h"
#include "file/CEnumFilename.h"
#include "file/PathText.h"
#include "support/ChildProcess.h"
#include "support/EndToEnd.h"
#include "file/FileSystem.h"
#include "support/InformationRegGuard.h"
#include "support/LinkReader.h"
#include "support/ScratchDir.h"

using Corvane::Base::Auxiliary::SetupInformationRecord;
using TestDriver::Event;
using TestDriver::WindowDriver;
using TestDriver::WindowState;
using TestSupport::Boxes;
using TestSupport::IsBox;
using TestSupport::IsProgressDialog;
using TestSupport::PercentControl;
using TestSupport::PictureControl;
using TestSupport::ScratchDir;
using TestSupport::StatusControl;
using TestSupport::StatusSequence;
using TestSupport::IsHiddenFile;
using TestSupport::PathExists;
using TestSupport::ReadWhole;

namespace {

const DWORD kRunTimeout = 120000;
const char kApp[] = "テスト";
const char kCaption[] = "テスト インストール";
const size_t kBigFile = 48 << 20;

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

// A 24-bit picture whose width tells it apart on screen: a picture control
// takes the size of the bitmap it shows.
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
    for (size_t i = 54; i < bmp.size(); ++i)
        bmp[i] = static_cast<char>(i * 7);
    return bmp;
}

// The boxes with this caption, one per window.
std::vector<WindowState> BoxesCaptioned(const WindowDriver& driver, const std::string& caption)
{
    std::vector<WindowState> out;
    for (const WindowState& box : Boxes(driver))
        if (box.caption == caption)
            out.push_back(box);
    return out;
}

bool StartsWith(const std::string& text, const std::string& head)
{
    return text.compare(0, head.size(), head) == 0;
}

class InstallerRun : public ::testing::Test {
protected:
    TestSupport::InformationRegGuard info;
    ScratchDir dir;
    std::string dist = dir / "dist";
    std::string source = dist + "\\gamedata";
    std::string dest = dir / "ゲーム";
    std::string start = dir / "start";
    std::vector<std::string> files;  // relative names below the source folder

    void SetUp() override
    {
        AddSource("readme.txt", "read me\r\n");
        AddSource("cfg\\config.ini", "[main]\r\nvalue=1\r\n");
        AddSource("cfg\\UPPER.INI", "[upper]\r\n");
        AddSource("FULL", "full edition");
        AddSource("uninst.exe", Pattern(3000, 1));
        AddSource("データ\\音声.pak", Pattern(40000, 2));
        ASSERT_TRUE(dir.WriteFile("dist\\2026\\game.exe", "variant 2026"));
        ASSERT_TRUE(dir.WriteFile("dist\\633\\game.exe", "variant 633"));
        ASSERT_TRUE(dir.WriteFile("dist\\615\\game.exe", "variant 615"));
        ASSERT_TRUE(dir.WriteFile("dist\\game.exe", "variant root"));
        WriteScript("");
    }

    void AddSource(const std::string& relative, const std::string& bytes)
    {
        ASSERT_TRUE(dir.WriteFile("dist\\gamedata\\" + relative, bytes));
        files.push_back(relative);
    }

    // Files big enough that copying each one spans several looks at the dialog.
    void AddBigFiles(int count)
    {
        for (int n = 0; n < count; ++n)
            AddSource("big" + std::to_string(n) + ".bin", Pattern(kBigFile, 20 + n));
    }

    void WriteScript(const std::string& text) { ASSERT_TRUE(dir.WriteFile("start\\cfg\\init.ini", text)); }

    // Arguments 1-11 as setup passes them on its confirmed road.
    std::vector<std::string> Arguments() const
    {
        return {"f", kApp, source, dest, "game.exe", "uninst.exe", "f", "f", "f", "0", "0"};
    }

    // The installer lives beside cfg\init.ini, as in a distribution: every
    // instance of the chain reads the script from its own folder.
    std::string CommandLine(const std::vector<std::string>& args) const
    {
        std::string program = start + "\\installer.exe";
        CopyFileA(TestSupport::HelperPath("installer.exe").c_str(), program.c_str(), FALSE);
        std::string line = "\"" + program + "\"";
        for (const std::string& a : args)
            line += " \"" + a + "\"";
        return line;
    }

    // Runs the installer to its end; the exit code is 0 on every path.
    void Run(WindowDriver& driver, const std::vector<std::string>& args)
    {
        ASSERT_TRUE(driver.Start(CommandLine(args), start));
        DWORD code = 99;
        ASSERT_TRUE(driver.WaitForExit(kRunTimeout, &code)) << driver.Transcript();
        EXPECT_EQ(0u, code);
        for (const auto& process : driver.ExitCodes())  // every instance of the chain
            EXPECT_EQ(0u, process.second) << "process " << process.first;
        EXPECT_TRUE(driver.Unexpected().empty()) << driver.Transcript();
    }

    void ExpectNothingInstalled()
    {
        for (const std::string& f : files)
            EXPECT_FALSE(PathExists(dest + "\\" + f)) << f;
        EXPECT_FALSE(PathExists(dest + "\\game.exe"));
        EXPECT_FALSE(PathExists(dest + "\\uninstall.ini"));
        EXPECT_EQ("", info.Bytes());
    }

    // The order the installer lists the source in (the system's order).
    std::vector<std::string> ListedOrder() const
    {
        Corvane::Base::File::CEnumFilename list;
        list.Enumerate(source, "*.*", true);
        std::vector<std::string> out;
        for (int i = 0; i < list.GetCount(); ++i)
            out.push_back(Corvane::Base::File::GetRelativePath(list.GetFilename(i), source));
        return out;
    }
};

TEST_F(InstallerRun, MissingArgumentShowsOneBoxAndStartsNothing)
{
    std::vector<std::string> args = Arguments();
    args[4] = "";  // the extra file name
    WindowDriver driver;
    driver.Answer("エラー", "Setup.exeより起動してください。", IDOK);
    Run(driver, args);
    auto boxes = Boxes(driver);
    ASSERT_EQ(1u, boxes.size()) << driver.Transcript();
    EXPECT_EQ("Setup.exeより起動してください。", boxes[0].BoxText());
    EXPECT_EQ("icon", boxes[0].Icon());
    EXPECT_EQ(driver.ProcessId(), boxes[0].processId);  // the first instance, not a relaunched one
    ExpectNothingInstalled();
}

TEST_F(InstallerRun, RelaunchCounterRule)
{
    struct Case { const char* counter; const char* marker; bool refusedByFirst; bool installs; };
    const Case cases[] = {
        {"10", "f", true, false},  // refused at once
        {"49", "t", true, false},
        {"9", "f", false, false},  // accepted; its relaunch passes 10, which the child refuses
        {"9", "t", false, true},   // accepted by a working instance
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("counter ") + c.counter + " marker " + c.marker);
        std::vector<std::string> args = Arguments();
        args[8] = c.marker;
        args[9] = c.counter;
        WindowDriver driver;
        driver.Answer("インストールエラー", "再起呼び出し失敗", IDOK);
        driver.Answer("正常終了", "", IDOK);
        Run(driver, args);
        auto refused = BoxesCaptioned(driver, "インストールエラー");
        auto done = BoxesCaptioned(driver, "正常終了");
        if (c.installs) {
            EXPECT_TRUE(refused.empty());
            EXPECT_EQ(1u, done.size()) << driver.Transcript();
            EXPECT_EQ(ReadWhole(source + "\\readme.txt"), ReadWhole(dest + "\\readme.txt"));
            TestSupport::RemoveTree(dest);
            continue;
        }
        ASSERT_EQ(1u, refused.size()) << driver.Transcript();
        EXPECT_EQ("再起呼び出し失敗", refused[0].BoxText());
        EXPECT_EQ("", refused[0].Icon());
        EXPECT_EQ(c.refusedByFirst, refused[0].processId == driver.ProcessId());
        EXPECT_TRUE(done.empty());
        ExpectNothingInstalled();
    }
}

TEST_F(InstallerRun, MarkerNSkipsTheCheckButStillRelaunches)
{
    std::vector<std::string> args = {"", "", "", "", "", "", "", "", "n"};
    WindowDriver driver;
    driver.Answer("エラー", "Setup.exeより起動してください。", IDOK);
    Run(driver, args);
    // No box from the first instance; the relaunched one ("t") checks and refuses.
    auto boxes = Boxes(driver);
    ASSERT_EQ(1u, boxes.size()) << driver.Transcript();
    EXPECT_EQ("Setup.exeより起動してください。", boxes[0].BoxText());
    EXPECT_NE(driver.ProcessId(), boxes[0].processId);
}

TEST_F(InstallerRun, SmallFormInstallsEverything)
{
    AddBigFiles(3);
    WindowDriver driver;
    driver.Answer("正常終了", "インストールが正常に終了しました。", IDOK);
    Run(driver, Arguments());

    auto dialogs = driver.Find(IsProgressDialog);
    ASSERT_FALSE(dialogs.empty()) << driver.Transcript();
    for (const Event& e : dialogs) {
        EXPECT_NE(driver.ProcessId(), e.state.processId) << "the work is done by the relaunched instance";
        EXPECT_EQ(nullptr, PictureControl(e.state)) << "the small form has no picture";
    }
    // The small form shows itself with the template's caption; once the
    // program's caption is seen, it stays.
    bool captioned = false;
    for (const Event& e : dialogs) {
        captioned = captioned || e.state.caption == kCaption;
        EXPECT_EQ(captioned ? std::string(kCaption) : std::string("インストール"), e.state.caption)
            << e.state.Describe();
    }

    // Whatever states were seen, they come in this order, and a copied file
    // is named only after the one before it.
    const std::vector<std::string> order = {"インストール初期処理", "インストールサイズ計算中", "インストール中",
                                            "コピー中：", "インストール後処理"};
    std::vector<std::string> seen = StatusSequence(driver.Events());
    size_t rank = 0;
    std::vector<std::string> named;
    for (const std::string& status : seen) {
        size_t r = 0;
        while (r < order.size() && !StartsWith(status, order[r]))
            ++r;
        ASSERT_LT(r, order.size()) << "unknown status " << status;
        EXPECT_GE(r, rank) << "status out of order: " << status;
        rank = std::max(rank, r);
        if (r == 3)
            named.push_back(status.substr(order[3].size()));
    }
    // Listed files are copied, and so named, in the order of the listing.
    std::vector<std::string> listed = ListedOrder();
    size_t at = 0;
    for (const std::string& n : named) {
        for (size_t i = 0; i < listed.size(); ++i) {
            std::string folder, name;
            Corvane::Base::File::SplitPath(listed[i], folder, name);
            if (name == n) {
                EXPECT_GE(i, at) << n << " named after a later file\n" << driver.Transcript();
                at = std::max(at, i);
            }
        }
    }
    for (const std::string& n : named) {
        bool listed = n == "game.exe";
        for (const std::string& f : files)
            listed = listed || f == n || (f.size() > n.size() && f.compare(f.size() - n.size(), n.size(), n) == 0);
        EXPECT_TRUE(listed) << n;
    }
    // The cancel button waits for the copy to start.
    for (const Event& e : dialogs) {
        const auto* status = StatusControl(e.state);
        const auto* cancel = e.state.Control(IDCANCEL);
        if (!status || !cancel)
            continue;
        if (status->text == "インストールサイズ計算中") {
            EXPECT_FALSE(cancel->enabled) << e.state.Describe();
        }
        if (status->text.compare(0, std::string("コピー中：").size(), "コピー中：") == 0) {
            EXPECT_TRUE(cancel->enabled);
        }
    }

    auto boxes = Boxes(driver);
    ASSERT_EQ(1u, boxes.size()) << driver.Transcript();
    EXPECT_EQ("正常終了", boxes[0].caption);
    EXPECT_EQ("icon", boxes[0].Icon());

    for (const std::string& f : files)
        EXPECT_EQ(ReadWhole(source + "\\" + f), ReadWhole(dest + "\\" + f)) << f;
    EXPECT_EQ("variant 2026", ReadWhole(dest + "\\game.exe"));
    EXPECT_TRUE(IsHiddenFile(dest + "\\cfg\\config.ini"));
    EXPECT_TRUE(IsHiddenFile(dest + "\\FULL"));
    EXPECT_TRUE(IsHiddenFile(dest + "\\uninstall.ini"));
    EXPECT_FALSE(IsHiddenFile(dest + "\\cfg\\UPPER.INI"));
    EXPECT_FALSE(IsHiddenFile(dest + "\\readme.txt"));

    std::vector<SetupInformationRecord> records;
    ASSERT_TRUE(Corvane::Base::Auxiliary::DecodeSetupInformation(info.Bytes(), records));
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(kApp, records[0].m_AppName);
    EXPECT_EQ(dest, records[0].m_InstallFolder);
    EXPECT_EQ(dest + "\\game.exe", records[0].m_ProgramPath);
    EXPECT_EQ(dest + "\\uninst.exe", records[0].m_UninstallerPath);
    EXPECT_FALSE(records[0].m_bFlag);
    EXPECT_EQ(Corvane::Base::Auxiliary::EncodeSetupInformation(records), info.Bytes());

    std::string expected = std::string("#AppName,") + kApp + "\r\n#UninstallFile\r\n";
    std::vector<std::string> folders;
    for (const std::string& f : ListedOrder()) {
        expected += dest + "\\" + f + "\r\n";
        std::string folder, name;
        Corvane::Base::File::SplitPath(f, folder, name);
        if (!folder.empty() && std::find(folders.begin(), folders.end(), dest + "\\" + folder) == folders.end())
            folders.push_back(dest + "\\" + folder);
    }
    expected += dest + "\\game.exe\r\n" + dest + "\\uninstall.ini\r\n##\r\n#UninstallDirectory\r\n";
    for (const std::string& f : folders)
        expected += f + "\r\n";
    expected += dest + "\r\n##\r\n";
    EXPECT_EQ(expected, ReadWhole(dest + "\\uninstall.ini"));
}

TEST_F(InstallerRun, VariantSelectorChoosesTheExtraFile)
{
    struct { const char* selector; const char* content; } cases[] = {
        {"1", "variant 633"}, {"2", "variant 615"}, {"3", "variant root"}, {"", "variant 2026"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.selector);
        std::vector<std::string> args = Arguments();
        args[10] = c.selector;
        WindowDriver driver;
        driver.Answer("正常終了", "", IDOK);
        Run(driver, args);
        EXPECT_EQ(c.content, ReadWhole(dest + "\\game.exe"));
        TestSupport::RemoveTree(dest);
    }
}

TEST_F(InstallerRun, LargeFormChangesPicturesAtThresholdsAndEndsInFinishedDialog)
{
    // Widths 101, 103, 107 tell the pictures apart; slot 9 names a missing file.
    ASSERT_TRUE(dir.WriteFile("pics\\p1.bmp", Bitmap(101, 40)));
    ASSERT_TRUE(dir.WriteFile("pics\\p3.bmp", Bitmap(103, 40)));
    ASSERT_TRUE(dir.WriteFile("pics\\p7.bmp", Bitmap(107, 40)));
    ASSERT_TRUE(dir.WriteFile("dist\\side.bmp", Bitmap(120, 170)));
    WriteScript("InstallBitmap1 " + (dir / "pics\\p1.bmp") + "\r\n" +
                "InstallBitmap3 " + (dir / "pics\\p3.bmp") + "\r\nInstallBitmapPer3 30\r\n" +
                "InstallBitmap7 " + (dir / "pics\\p7.bmp") + "\r\nInstallBitmapPer7 60\r\n" +
                "InstallBitmap9 " + (dir / "pics\\missing.bmp") + "\r\nInstallBitmapPer9 10\r\n" +
                "DialogBitmap side.bmp\r\n");
    AddBigFiles(8);
    std::vector<std::string> args = Arguments();
    args[0] = "t";
    WindowDriver driver;
    driver.Answer(kCaption, "ゲームのセットアップが、正常に終了しました。", IDOK);
    Run(driver, args);

    std::vector<int> widths;
    for (const Event& e : driver.Find(IsProgressDialog)) {
        const auto* picture = PictureControl(e.state);
        const auto* percent = PercentControl(e.state);
        if (!picture || !percent)
            continue;
        if (picture->width != 101 && picture->width != 103 && picture->width != 107)
            continue;  // the built-in picture, before the slots are loaded
        if (widths.empty() || widths.back() != picture->width)
            widths.push_back(picture->width);
        // A picture never runs ahead of the percentage shown.
        int shown = atoi(percent->text.c_str());
        int threshold = picture->width == 107 ? 60 : picture->width == 103 ? 30 : 0;
        EXPECT_GE(shown, threshold) << e.state.Describe();
    }
    // The pictures seen come in the order of their thresholds; one that lasts
    // only between two looks may be missing.
    std::vector<int> rank;
    for (int width : widths)
        rank.push_back(width == 101 ? 0 : width == 103 ? 1 : 2);
    EXPECT_TRUE(std::is_sorted(rank.begin(), rank.end())) << driver.Transcript();

    auto finished = driver.Find([](const WindowState& s) {
        return s.HasText("ゲームのセットアップが、正常に終了しました。");
    });
    ASSERT_FALSE(finished.empty()) << driver.Transcript();
    EXPECT_EQ(kCaption, finished.back().state.caption);
    ASSERT_TRUE(PictureControl(finished.back().state));
    EXPECT_EQ(120, PictureControl(finished.back().state)->width);
    EXPECT_EQ(170, PictureControl(finished.back().state)->height);
    EXPECT_TRUE(Boxes(driver).empty()) << driver.Transcript();
    EXPECT_EQ(ReadWhole(source + "\\big7.bin"), ReadWhole(dest + "\\big7.bin"));
}

TEST_F(InstallerRun, FinishedDialogKeepsItsPictureWithoutDistributionRoot)
{
    // The source is not below a "gamedata" folder: no extra file, built-in picture.
    std::vector<std::string> args = Arguments();
    args[0] = "t";
    args[2] = dist + "\\2026";
    WriteScript("DialogBitmap side.bmp\r\n");
    ASSERT_TRUE(dir.WriteFile("dist\\side.bmp", Bitmap(120, 170)));
    WindowDriver driver;
    driver.Answer(kCaption, "ゲームのセットアップ", IDOK);
    Run(driver, args);
    auto finished = driver.Find([](const WindowState& s) { return s.HasText("ゲームのセットアップ"); });
    ASSERT_FALSE(finished.empty()) << driver.Transcript();
    ASSERT_TRUE(PictureControl(finished.back().state));
    EXPECT_NE(120, PictureControl(finished.back().state)->width);
    EXPECT_EQ("variant 2026", ReadWhole(dest + "\\game.exe"));  // copied as a listed file, not as the extra one
}

TEST_F(InstallerRun, CancelConfirmedRollsBackAndRestoresWhatWasThere)
{
    AddBigFiles(3);
    ASSERT_TRUE(dir.WriteFile("ゲーム\\readme.txt", "old readme"));
    ASSERT_TRUE(dir.WriteFile("ゲーム\\cfg\\config.ini", "old config"));
    SetFileAttributesA((dest + "\\cfg\\config.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(dir.WriteFile("ゲーム\\save.dat", "the player's own"));
    WindowDriver driver;
    driver.Answer(kCaption, "コピー中：", IDCANCEL);
    driver.Answer("確認", "セットアップをキャンセルしますか？", IDYES);
    Run(driver, Arguments());

    auto confirm = BoxesCaptioned(driver, "確認");
    ASSERT_EQ(1u, confirm.size()) << driver.Transcript();
    EXPECT_EQ("icon", confirm[0].Icon());
    // After the box the dialog shows what it showed under it, then the cancel path.
    std::vector<Event> events = driver.Events();
    size_t box = 0;
    while (box < events.size() && !IsBox(events[box].state, "確認"))
        ++box;
    std::vector<Event> before(events.begin(), events.begin() + box);
    std::vector<Event> after(events.begin() + box, events.end());
    std::vector<std::string> under = StatusSequence(before);
    ASSERT_FALSE(under.empty()) << driver.Transcript();
    for (const std::string& status : StatusSequence(after))
        EXPECT_TRUE(status == under.back() || status == "キャンセル処理") << status << "\n" << driver.Transcript();
    for (const std::string& status : StatusSequence(events))
        EXPECT_NE("インストール後処理", status);
    EXPECT_TRUE(BoxesCaptioned(driver, "正常終了").empty());

    EXPECT_EQ("old readme", ReadWhole(dest + "\\readme.txt"));
    EXPECT_EQ("old config", ReadWhole(dest + "\\cfg\\config.ini"));
    EXPECT_TRUE(IsHiddenFile(dest + "\\cfg\\config.ini"));
    EXPECT_EQ("the player's own", ReadWhole(dest + "\\save.dat"));
    for (const std::string& f : files) {
        if (f != "readme.txt" && f != "cfg\\config.ini") {
            EXPECT_FALSE(PathExists(dest + "\\" + f)) << f;
        }
    }
    EXPECT_FALSE(PathExists(dest + "\\game.exe"));
    EXPECT_FALSE(PathExists(dest + "\\uninstall.ini"));
    EXPECT_FALSE(PathExists(dest + "\\readme.txt~keep"));
    EXPECT_EQ("", info.Bytes());
}

TEST_F(InstallerRun, CancelRefusedCompletesTheRun)
{
    AddBigFiles(3);
    WindowDriver driver;
    driver.Answer(kCaption, "コピー中：", IDCANCEL);
    driver.Answer("確認", "", IDNO);
    driver.Answer("正常終了", "", IDOK);
    Run(driver, Arguments());
    EXPECT_EQ(1u, BoxesCaptioned(driver, "確認").size()) << driver.Transcript();
    EXPECT_EQ(1u, BoxesCaptioned(driver, "正常終了").size()) << driver.Transcript();
    // The dialog is held under the box, so that state is sure to be seen:
    // it names a file being copied (or the copy had just ended).
    auto held = driver.Find([](const WindowState& s) { return IsProgressDialog(s) && !s.enabled; });
    ASSERT_FALSE(held.empty()) << driver.Transcript();
    for (const Event& e : held) {
        const auto* status = StatusControl(e.state);
        ASSERT_TRUE(status) << e.state.Describe();
        const std::string copying = "コピー中：";
        if (status->text == "インストール後処理")
            continue;
        ASSERT_TRUE(StartsWith(status->text, copying)) << e.state.Describe();
        std::string name = status->text.substr(copying.size());
        EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const std::string& f) {
            return f == name || (f.size() > name.size() && f.compare(f.size() - name.size(), name.size(), name) == 0 &&
                                 f[f.size() - name.size() - 1] == '\\');
        })) << name;
    }
    for (const std::string& f : files)
        EXPECT_EQ(ReadWhole(source + "\\" + f), ReadWhole(dest + "\\" + f)) << f;
}

TEST_F(InstallerRun, DestinationThatCannotBeCreatedEndsTheChainWithOneBox)
{
    ASSERT_TRUE(dir.WriteFile("blocker", "a file where a folder should be"));
    std::vector<std::string> args = Arguments();
    args[3] = dir / "blocker\\game";
    WindowDriver driver;
    driver.Answer("インストールエラー", "再起呼び出し失敗", IDOK);
    Run(driver, args);
    auto boxes = Boxes(driver);
    ASSERT_EQ(1u, boxes.size()) << driver.Transcript();
    EXPECT_EQ("再起呼び出し失敗", boxes[0].BoxText());
    EXPECT_NE(driver.ProcessId(), boxes[0].processId);
    EXPECT_TRUE(driver.Find(IsProgressDialog).empty());
}

TEST_F(InstallerRun, EmptySourceSaysSoAndChangesNothing)
{
    std::string empty = dir / "emptydist\\gamedata";
    ASSERT_TRUE(CreateDirectoryA((dir / "emptydist").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(empty.c_str(), nullptr));
    std::vector<std::string> args = Arguments();
    args[2] = empty;  // no extra file in emptydist\2026 either
    WindowDriver driver;
    driver.Answer("エラー", "ファイル情報の取得ができません。", IDOK);
    Run(driver, args);
    auto boxes = BoxesCaptioned(driver, "エラー");
    ASSERT_EQ(1u, boxes.size()) << driver.Transcript();
    EXPECT_EQ("icon", boxes[0].Icon());
    EXPECT_FALSE(PathExists(dest));
    EXPECT_EQ("", info.Bytes());
}

TEST_F(InstallerRun, EmptyFilesOnlyGiveAZeroTotalWithoutFault)
{
    std::string zero = dir / "zerodist\\gamedata";
    ASSERT_TRUE(dir.WriteFile("zerodist\\gamedata\\a.txt", ""));
    ASSERT_TRUE(dir.WriteFile("zerodist\\gamedata\\b.txt", ""));
    std::vector<std::string> args = Arguments();
    args[2] = zero;
    WindowDriver driver;
    driver.Answer("正常終了", "", IDOK);
    Run(driver, args);
    EXPECT_EQ(1u, BoxesCaptioned(driver, "正常終了").size()) << driver.Transcript();
    EXPECT_TRUE(PathExists(dest + "\\a.txt"));
    EXPECT_TRUE(PathExists(dest + "\\b.txt"));
    // In every state seen the template's "0 %" stands; a control read before
    // it was given its text shows none.
    for (const Event& e : driver.Find(IsProgressDialog)) {
        if (const auto* percent = PercentControl(e.state)) {
            EXPECT_TRUE(percent->text == "0 %" || percent->text.empty()) << e.state.Describe();
        }
    }
}

TEST_F(InstallerRun, ShortcutsPointAtTheInstalledProgramAndAreListedOnce)
{
    const std::string name = "近道試験";
    const std::string desktopLink = Corvane::Base::File::GetDesktopPath() + "\\" + name + ".lnk";
    const std::string pellin = Corvane::Base::File::GetSpecialFolderPath(CSIDL_PROGRAMS) + "\\PELLIN";
    const std::string appFolder = pellin + "\\" + name;
    const std::string appLink = appFolder + "\\" + name + ".lnk";
    const std::string uninstallLink = appFolder + "\\" + name + "のアンインストール.lnk";
    ASSERT_FALSE(PathExists(desktopLink)) << "left from an earlier run";
    const bool pellinExisted = PathExists(pellin);
    struct Cleanup {
        std::string link, folder;
        ~Cleanup() { DeleteFileA(link.c_str()); TestSupport::RemoveTree(folder); }
    } cleanup{desktopLink, pellinExisted ? appFolder : pellin};

    std::vector<std::string> args = Arguments();
    args[1] = name;
    args[6] = "t";
    args[7] = "t";
    for (int run = 0; run < 2; ++run) {  // the second run finds everything in place
        WindowDriver driver;
        driver.Answer("正常終了", "", IDOK);
        Run(driver, args);
    }
    for (const auto& link : {std::make_pair(desktopLink, dest + "\\game.exe"),
                             std::make_pair(appLink, dest + "\\game.exe"),
                             std::make_pair(uninstallLink, dest + "\\uninst.exe")}) {
        TestSupport::LinkContent content = TestSupport::ReadLink(link.first);
        ASSERT_TRUE(content.loaded) << link.first;
        EXPECT_EQ(link.second, content.path);
        EXPECT_EQ(dest, content.workingFolder);
    }
    // Each run appends one block; in each, the shortcuts come after the copied
    // files in the order desktop, application, uninstaller, then the list
    // itself, and the menu folders close the folder section.
    std::string list = ReadWhole(dest + "\\uninstall.ini");
    std::string tail = desktopLink + "\r\n" + appLink + "\r\n" + uninstallLink + "\r\n" + dest +
                       "\\uninstall.ini\r\n##\r\n#UninstallDirectory\r\n";
    std::string folders = dest + "\r\n" + pellin + "\r\n" + appFolder + "\r\n##\r\n";
    size_t first = list.find(tail);
    ASSERT_NE(std::string::npos, first) << list;
    size_t second = list.find(tail, first + 1);
    ASSERT_NE(std::string::npos, second) << list;
    EXPECT_EQ(std::string::npos, list.find(tail, second + 1));
    EXPECT_EQ(list.size(), list.rfind(folders) + folders.size());
    EXPECT_NE(std::string::npos, list.find(folders));
    size_t blocks = 0;
    for (size_t at = list.find("#AppName,"); at != std::string::npos; at = list.find("#AppName,", at + 1))
        ++blocks;
    EXPECT_EQ(2u, blocks);
}

}  // namespace
