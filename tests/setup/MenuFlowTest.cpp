// The menu road of setup: its main routine with the confirmation box failing
// (setup_menu_probe.exe), driven through the menu, target and location
// dialogs and the installer chain it starts.

#include <windows.h>
#include <winioctl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "TargetDialog.h"
#include "auxiliary/CSetupHelper2.h"
#include "auxiliary/InstallerArgumentList.h"
#include "driver/WindowDriver.h"
#include "resource.h"
#include "support/ChildProcess.h"
#include "support/EndToEnd.h"
#include "support/InformationRegGuard.h"
#include "support/ScratchDir.h"

using namespace Corvane::Base::Auxiliary;
using TestDriver::Event;
using TestDriver::WindowDriver;
using TestDriver::WindowState;
using TestSupport::PathExists;
using TestSupport::ReadWhole;
using TestSupport::ScratchDir;

namespace {

const DWORD kRunTimeout = 120000;
const DWORD kWaitTimeout = 30000;
const char kProbe[] = "setup_menu_probe.exe";
const char kBaseGame[] = "ケルナディア";
const char kMenuCaption[] = "ケルナディアVC版 追加セットアップ";
const char kTargetCaption[] = "追加インストール先の選択";
const char kFinishedText[] = "ゲームのセットアップが、正常に終了しました。";
const char kNotInstalled[] = "インストールされていません";
const char kAlreadyAdded[] = "すでに追加されています";
const char kVcInstalled[] = "すでにVC版がインストールされています";
const char kReadOnly[] = "読み取り専用のドライブが選択されています。\n別のドライブを指定してください。";
const char kNoSpace[] = "ドライブの容量が不足しています。\n別のドライブを指定してください。";

std::string LocationCaption(const std::string& edition) { return edition + "への追加"; }
std::string LowRes() { return Setup::kLowResRecord; }
std::string HighRes() { return Setup::kHighResRecord; }

bool IsMenu(const WindowState& s) { return s.caption == kMenuCaption; }
bool IsTarget(const WindowState& s) { return s.caption == kTargetCaption; }

// Distinct windows of one kind, each in its first recorded state.
std::vector<WindowState> Windows(const WindowDriver& driver, bool (*match)(const WindowState&))
{
    std::vector<WindowState> out;
    for (const Event& e : driver.Events()) {
        if (!match(e.state))
            continue;
        bool seen = false;
        for (const WindowState& s : out)
            seen = seen || s.window == e.state.window;
        if (!seen)
            out.push_back(e.state);
    }
    return out;
}

std::string Text(const WindowState& state, int id)
{
    const TestDriver::ControlState* control = state.Control(id);
    return control ? control->text : "(no control " + std::to_string(id) + ")";
}

bool Enabled(const WindowState& state, int id)
{
    const TestDriver::ControlState* control = state.Control(id);
    return control && control->enabled;
}

std::string ImageName(DWORD pid)
{
    char name[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process) {
        QueryFullProcessImageNameA(process, 0, name, &size);
        CloseHandle(process);
    }
    return name;
}

// A sparse file of the given size: only its end is written.
bool MakeSparseFile(const std::string& path, unsigned long long size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD ignored = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

class MenuRun : public ::testing::Test {
protected:
    TestSupport::InformationRegGuard info;
    ScratchDir dir;
    std::string dist = dir / "配布";
    std::string base = dir / "基本ゲーム";
    std::string low = dir / "低解像度版";
    std::string high = dir / "高解像度版";

    void SetUp() override
    {
        MakeDistribution("installer.exe");
        RecordEdition(kBaseGame, base);
    }

    void TearDown() override
    {
        for (const char* name : {"MENU_PROBE_LOG", "MENU_PROBE_FREE", "HOLD_PROBE_DIR", "HOLD_PROBE_RELEASE"})
            SetEnvironmentVariableA(name, nullptr);
    }

    void MakeDistribution(const std::string& installer, const std::string& extraConfig = std::string())
    {
        CreateDirectoryA(dist.c_str(), nullptr);
        for (const char* program : {kProbe, "installer.exe", "cmdline_probe.exe"})
            ASSERT_TRUE(CopyFileA(TestSupport::HelperPath(program).c_str(), (dist + "\\" + program).c_str(), FALSE));
        ASSERT_TRUE(dir.WriteFile("配布\\cfg\\init.ini", std::string("AppName ") + kBaseGame + "\r\n"
                                  "Caption 追加データ\r\n"
                                  "Message01 の追加データをインストールします。\r\n"
                                  "DiskDirectory gamedata\r\n"
                                  "GameExecute game.exe\r\n"
                                  "GameUninstall uninst.exe\r\n"
                                  "InstallExecute " + installer + "\r\n" + extraConfig));
        ASSERT_TRUE(dir.WriteFile("配布\\gamedata\\voice2.pak", std::string(200000, 'v')));
        ASSERT_TRUE(dir.WriteFile("配布\\gamedata\\cfg\\voice.ini", "[voice]\r\n"));
        ASSERT_TRUE(dir.WriteFile("配布\\2026\\game.exe", "variant 2026"));
        ASSERT_TRUE(dir.WriteFile("配布\\615\\game.exe", "variant 615"));
    }

    // A record counts only while its program exists.
    void RecordEdition(const std::string& name, const std::string& folder)
    {
        CreateDirectoryA(folder.c_str(), nullptr);
        std::string program = dir / (name + ".exe");
        ASSERT_TRUE(dir.WriteFile(name + ".exe", "the base game"));
        CSetupHelper2 helper;
        SetupInformationRecord record;
        record.m_AppName = name;
        record.m_InstallFolder = folder;
        record.m_ProgramPath = program;
        ASSERT_TRUE(helper.WriteSetupInformation(record));
    }

    void Start(WindowDriver& driver)
    {
        ASSERT_TRUE(driver.Start(TestDriver::QuoteCommand(dist + "\\" + kProbe, ""), dist));
    }

    void Finish(WindowDriver& driver)
    {
        DWORD code = 99;
        ASSERT_TRUE(driver.WaitForExit(kRunTimeout, &code)) << driver.Transcript();
        EXPECT_EQ(0u, code) << driver.Transcript();
        for (const auto& process : driver.ExitCodes())
            EXPECT_EQ(0u, process.second) << "process " << process.first << " " << ImageName(process.first);
        EXPECT_TRUE(driver.Unexpected().empty()) << driver.Transcript();
    }

    std::vector<HWND> used;

    // Presses a button of the next window that matches, as the user would;
    // a window answered before is taken again only with `sameWindow`.
    bool Press(WindowDriver& driver, const std::function<bool(const WindowState&)>& match, int button,
               bool sameWindow = false)
    {
        for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeout; Sleep(10)) {
            for (const Event& e : driver.Find(match)) {
                HWND window = e.state.window;
                bool taken = std::find(used.begin(), used.end(), window) != used.end();
                if ((taken && !sameWindow) || !IsWindow(window) || !IsWindowVisible(window))
                    continue;
                if (!taken)
                    used.push_back(window);
                PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
                return true;
            }
        }
        return false;
    }
    bool Press(WindowDriver& driver, const std::string& caption, int button, bool sameWindow = false)
    {
        return Press(driver, [&](const WindowState& s) { return s.caption == caption; }, button, sameWindow);
    }

    static void RemoveTreeAndRecreate(const std::string& folder)
    {
        TestSupport::RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
    }

    // Waits for a window and sends it a key as the user would press it.
    HWND PressKey(WindowDriver& driver, bool (*match)(const WindowState&), WPARAM key)
    {
        if (!driver.WaitFor(match, kWaitTimeout))
            return nullptr;
        HWND window = driver.Find(match).back().state.window;
        PostMessageA(window, WM_KEYDOWN, key, 0);
        PostMessageA(window, WM_KEYUP, key, 0);
        return window;
    }
};

// ---- the whole road ----

TEST_F(MenuRun, WholeRoadInstallsUnderTheChosenEditionAndReturnsToTheMenu)
{
    RecordEdition(LowRes(), low);
    WindowDriver driver;
    const std::string progress = LowRes() + " インストール";
    driver.Answer(progress, kFinishedText, IDOK, 1);
    Start(driver);
    ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
    ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_LOW));
    ASSERT_TRUE(Press(driver, LocationCaption(LowRes()), IDC_LOCATION_START));
    ASSERT_TRUE(Press(driver, kMenuCaption, IDCANCEL)) << driver.Transcript();
    Finish(driver);

    std::vector<std::string> order;  // the windows, each the first time it shows
    std::vector<HWND> seen;
    for (const Event& e : driver.Events())
        if (std::find(seen.begin(), seen.end(), e.state.window) == seen.end()) {
            seen.push_back(e.state.window);
            order.push_back(e.state.HasText(kFinishedText) ? "finished" : e.state.caption);
        }
    std::vector<std::string> expected = {kMenuCaption, kTargetCaption, LocationCaption(LowRes()),
                                         progress, "finished", kMenuCaption};
    EXPECT_EQ(expected, order) << driver.Transcript();
    auto large = driver.Find([&](const WindowState& s) { return s.caption == progress; });
    ASSERT_FALSE(large.empty());
    EXPECT_TRUE(large.front().state.Control(1002)) << "the large dialog's picture";
    EXPECT_GE(driver.ExitCodes().size(), 3u) << "setup and the installer chain";

    EXPECT_EQ(ReadWhole(dist + "\\gamedata\\voice2.pak"), ReadWhole(low + "\\voice2.pak"));
    EXPECT_EQ("variant 2026", ReadWhole(low + "\\game.exe"));  // no selector: the first variant
    EXPECT_FALSE(PathExists(base + "\\voice2.pak"));
    CSetupHelper2 helper;
    SetupInformationRecord record;
    ASSERT_TRUE(helper.FindSetupInformation(LowRes(), record));
    EXPECT_EQ(low, record.m_InstallFolder);
    std::string list = ReadWhole(low + "\\uninstall.ini");
    EXPECT_EQ(0u, list.find("#AppName," + LowRes() + "\r\n")) << list;
}

TEST_F(MenuRun, InstallerGetsTheNineItemsByteForByte)
{
    MakeDistribution("cmdline_probe.exe");
    RecordEdition(HighRes(), high);
    WindowDriver driver;
    Start(driver);
    ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
    ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_HIGH));
    ASSERT_TRUE(Press(driver, LocationCaption(HighRes()), IDC_LOCATION_START));
    ASSERT_TRUE(Press(driver, kMenuCaption, IDCANCEL)) << driver.Transcript();
    Finish(driver);

    std::string seen = ReadWhole(dist + "\\cmdline_probe.txt");
    std::string expected = "\"" + dist + "\\cmdline_probe.exe\" \"t\" \"" + HighRes() + "\" \"" + dist +
                           "\\gamedata\" \"" + high + "\" \"game.exe\" \"uninst.exe\" \"f\" \"f\"\n" + dist + "\n";
    EXPECT_EQ(expected, seen);
    std::vector<std::string> args = ReadInstallerCommandLine(seen.substr(0, seen.find('\n')));
    EXPECT_EQ("t", args[kDisplayMode]);
    EXPECT_EQ(high, args[kDestinationFolder]);
    EXPECT_EQ("", args[kRelaunchMarker] + args[kRelaunchCounter] + args[kVariantSelector]);
    EXPECT_EQ(2u, Windows(driver, IsMenu).size()) << "back to the menu after the installer";
}

// ---- the menu ----

TEST_F(MenuRun, ShieldOnTheQuestionnaireButtonFromVistaOn)
{
    struct { const char* version; bool shield; } cases[] = {{nullptr, true}, {"winxp", false}};
    const std::string appKey = std::string("Software\\Wine\\AppDefaults\\") + kProbe;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        if (cases[i].version) {
            HKEY key = nullptr;
            ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, appKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                                     nullptr, &key, nullptr));
            RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(cases[i].version),
                           static_cast<DWORD>(strlen(cases[i].version) + 1));
            RegCloseKey(key);
        }
        std::string log = dir / ("shield" + std::to_string(i) + ".txt");
        SetEnvironmentVariableA("MENU_PROBE_LOG", log.c_str());
        WindowDriver driver;
        Start(driver);
        EXPECT_TRUE(Press(driver, kMenuCaption, IDCANCEL)) << "case " << i;
        Finish(driver);
        RegDeleteKeyA(HKEY_CURRENT_USER, appKey.c_str());
        EXPECT_EQ(cases[i].shield ? "shield 1007 1\n" : "", ReadWhole(log)) << "case " << i;
        std::vector<WindowState> menus = Windows(driver, IsMenu);
        ASSERT_EQ(1u, menus.size()) << "case " << i;
        EXPECT_EQ("Webアンケート", Text(menus[0], IDC_MENU_WEB)) << "case " << i;
    }
}

TEST_F(MenuRun, EscapeLeavesAsTheEndButtonDoes)
{
    WindowDriver driver;
    Start(driver);
    ASSERT_TRUE(PressKey(driver, IsMenu, VK_ESCAPE)) << driver.Transcript();
    Finish(driver);
    EXPECT_EQ(1u, Windows(driver, IsMenu).size());
    EXPECT_EQ(1u, driver.ExitCodes().size()) << "nothing started";
}

TEST_F(MenuRun, RuntimeInstallersStartWithoutWaiting)
{
    std::string marks = dir / "marks";
    CreateDirectoryA(marks.c_str(), nullptr);
    const std::string hold = TestSupport::HelperPath("hold_probe.exe");
    for (const char* program : {"DirectX9\\dxsetup.exe", "SpeechSDK51\\setup.exe", "LangPack\\setup.exe"}) {
        std::string path = dist + "\\" + program;
        CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), nullptr);
        ASSERT_TRUE(CopyFileA(hold.c_str(), path.c_str(), FALSE));
    }
    const std::string release = "menu-run-release-" + std::to_string(GetCurrentProcessId());
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, release.c_str());
    SetEnvironmentVariableA("HOLD_PROBE_DIR", marks.c_str());
    SetEnvironmentVariableA("HOLD_PROBE_RELEASE", release.c_str());

    WindowDriver driver;
    Start(driver);
    for (int button : {IDC_MENU_DIRECTX, IDC_MENU_DIRECTX, IDC_MENU_SPEECH, IDC_MENU_LANGPACK})
        ASSERT_TRUE(Press(driver, kMenuCaption, button, true));
    // Every stand-in still runs, held: the menu did not wait for any of them.
    std::vector<std::string> started;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kWaitTimeout && started.size() < 4; Sleep(50)) {
        started.clear();
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((marks + "\\*.start").c_str(), &data);
        for (BOOL ok = find != INVALID_HANDLE_VALUE; ok; ok = FindNextFileA(find, &data))
            started.push_back(ReadWhole(marks + "\\" + data.cFileName));
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
    }
    SetEvent(event);
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((marks + "\\*.start").c_str(), &found);
    for (BOOL ok = find != INVALID_HANDLE_VALUE; ok; ok = FindNextFileA(find, &found)) {
        // Released, each stand-in ends by itself; the run is over only when they have.
        if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(atoi(found.cFileName)))) {
            WaitForSingleObject(process, kWaitTimeout);
            CloseHandle(process);
        }
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    EXPECT_TRUE(Press(driver, kMenuCaption, IDCANCEL, true));
    Finish(driver);
    CloseHandle(event);

    ASSERT_EQ(4u, started.size()) << driver.Transcript();
    int directx = 0, speech = 0, langpack = 0;
    for (const std::string& mark : started) {
        std::string program = mark.substr(0, mark.find('\n'));
        directx += program == dist + "\\DirectX9\\dxsetup.exe";
        speech += program == dist + "\\SpeechSDK51\\setup.exe";
        langpack += program == dist + "\\LangPack\\setup.exe";
    }
    EXPECT_EQ(2, directx);
    EXPECT_EQ(1, speech);
    EXPECT_EQ(1, langpack);
}

TEST_F(MenuRun, MissingRuntimeInstallerLeavesTheMenuAsItWas)
{
    WindowDriver driver;
    Start(driver);
    ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_DIRECTX));
    ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL, true));
    ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_BACK));
    ASSERT_TRUE(Press(driver, kMenuCaption, IDCANCEL)) << driver.Transcript();
    Finish(driver);
    EXPECT_EQ(1u, Windows(driver, IsTarget).size()) << "the menu still works after the failed start";
}

TEST_F(MenuRun, SidePictureFromDialogBitmapOrTheTemplates)
{
    // The picture control takes the size of the bitmap it shows.
    struct { bool picture; int width, height; } cases[] = {{true, 120, 150}, {false, 200, 370}};
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        if (cases[i].picture) {
            std::string bmp(54 + 120 * 3 * 150, '\0');
            const unsigned char header[54] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 120, 0, 0, 0,
                                              150, 0, 0, 0, 1, 0, 24, 0};
            std::copy(header, header + 54, bmp.begin());
            ASSERT_TRUE(dir.WriteFile("配布\\side.bmp", bmp));
        }
        MakeDistribution("installer.exe", "DialogBitmap side.bmp\r\n");
        if (!cases[i].picture)
            DeleteFileA((dist + "\\side.bmp").c_str());
        RecordEdition(LowRes(), low);
        WindowDriver driver;
        used.clear();
        Start(driver);
        ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
        ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_LOW));
        ASSERT_TRUE(Press(driver, LocationCaption(LowRes()), IDC_LOCATION_BACK));
        ASSERT_TRUE(Press(driver, kMenuCaption, IDCANCEL)) << driver.Transcript();
        Finish(driver);
        for (const std::string& caption : {std::string(kMenuCaption), LocationCaption(LowRes())}) {
            const std::string& want = caption;
            auto shown = driver.Find([&](const WindowState& s) { return s.caption == want; });
            ASSERT_FALSE(shown.empty()) << "case " << i << " " << caption;
            const TestDriver::ControlState* picture = shown.front().state.Control(IDC_SIDE_PICTURE);
            ASSERT_TRUE(picture) << "case " << i;
            EXPECT_EQ(cases[i].width, picture->width) << "case " << i << " " << caption;
            EXPECT_EQ(cases[i].height, picture->height) << "case " << i << " " << caption;
        }
    }
}

// ---- the target dialog ----

TEST_F(MenuRun, TargetDialogShowsEachEditionsState)
{
    enum Record { kNone, kPlain, kPlainWithPack, kVcAndPlain };
    struct Case { Record highRes, lowRes; const char* highText; bool highOn; const char* lowText; bool lowOn; };
    const Case cases[] = {
        {kNone, kPlain, kNotInstalled, false, nullptr, true},  // only the low-resolution edition
        {kPlainWithPack, kPlain, kAlreadyAdded, false, nullptr, true},
        {kVcAndPlain, kNone, kVcInstalled, false, kNotInstalled, false},
        {kNone, kNone, kNotInstalled, false, kNotInstalled, false},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        TestSupport::InformationRegGuard fresh;
        RecordEdition(kBaseGame, base);
        ScratchDir folders;
        std::string highFolder = folders / "高", lowFolder = folders / "低";
        const Case& c = cases[i];
        if (c.highRes == kVcAndPlain)
            RecordEdition(Setup::kHighResVcRecord, highFolder);
        if (c.highRes != kNone)
            RecordEdition(Setup::kHighResRecord, highFolder);
        if (c.highRes == kPlainWithPack) {
            ASSERT_TRUE(folders.WriteFile("高\\voice2.pak", "added"));
        }
        if (c.lowRes != kNone)
            RecordEdition(Setup::kLowResRecord, lowFolder);

        WindowDriver driver;
        used.clear();
        Start(driver);
        ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
        ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_BACK));
        ASSERT_TRUE(Press(driver, kMenuCaption, IDCANCEL)) << driver.Transcript();
        Finish(driver);
        std::vector<WindowState> targets = Windows(driver, IsTarget);
        ASSERT_EQ(1u, targets.size()) << "case " << i << "\n" << driver.Transcript();
        EXPECT_EQ(c.highText ? c.highText : highFolder, Text(targets[0], IDC_TARGET_HIGH_LABEL)) << "case " << i;
        EXPECT_EQ(c.lowText ? c.lowText : lowFolder, Text(targets[0], IDC_TARGET_LOW_LABEL)) << "case " << i;
        EXPECT_EQ(c.highOn, Enabled(targets[0], IDC_TARGET_HIGH)) << "case " << i;
        EXPECT_EQ(c.lowOn, Enabled(targets[0], IDC_TARGET_LOW)) << "case " << i;
        EXPECT_TRUE(Enabled(targets[0], IDC_TARGET_BACK)) << "case " << i;
        EXPECT_EQ(2u, Windows(driver, IsMenu).size()) << "case " << i << ": 戻る goes back to the menu";
    }
}

TEST_F(MenuRun, EscapeInTheTargetDialogLeaves)
{
    RecordEdition(LowRes(), low);
    WindowDriver driver;
    Start(driver);
    ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
    ASSERT_TRUE(PressKey(driver, IsTarget, VK_ESCAPE)) << driver.Transcript();
    Finish(driver);
    EXPECT_EQ(1u, Windows(driver, IsMenu).size());
    EXPECT_FALSE(PathExists(low + "\\voice2.pak"));
}

// ---- the install-location dialog ----

bool IsLowLocation(const WindowState& s) { return s.caption == LocationCaption(LowRes()); }

TEST_F(MenuRun, SizesInWholeMegabytesRecomputedOnEveryOpeningAndEnterLeaves)
{
    // The add-on: 1.5 MiB first, then also a sparse file of 4 GiB + 10 bytes.
    RemoveTreeAndRecreate(dist + "\\gamedata");
    ASSERT_TRUE(dir.WriteFile("配布\\gamedata\\half.bin", std::string(1572864, 'h')));
    RecordEdition(LowRes(), low);
    std::string free = dir / "free.txt";
    ASSERT_TRUE(dir.WriteFile("free.txt", "5370281984"));  // 5 GiB + 1.5 MiB
    SetEnvironmentVariableA("MENU_PROBE_FREE", free.c_str());

    WindowDriver driver;
    Start(driver);
    ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
    ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_LOW));
    ASSERT_TRUE(driver.WaitFor(IsLowLocation, kWaitTimeout)) << driver.Transcript();
    ASSERT_TRUE(MakeSparseFile(dist + "\\gamedata\\big.bin", (4ULL << 30) + 10));
    ASSERT_TRUE(dir.WriteFile("free.txt", "1048575"));  // just under 1 MiB
    ASSERT_TRUE(Press(driver, IsLowLocation, IDC_LOCATION_BACK));
    ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
    ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_LOW));
    HWND first = used[2];
    ASSERT_TRUE(driver.WaitFor([&](const WindowState& s) { return IsLowLocation(s) && s.window != first; },
                               kWaitTimeout)) << driver.Transcript();
    ASSERT_TRUE(PressKey(driver, [](const WindowState& s) { return IsLowLocation(s); }, VK_RETURN));
    Finish(driver);

    std::vector<WindowState> opened = Windows(driver, IsLowLocation);
    ASSERT_EQ(2u, opened.size()) << driver.Transcript();
    EXPECT_EQ(low, Text(opened[0], IDC_LOCATION_FOLDER));
    EXPECT_EQ("1 MB", Text(opened[0], IDC_LOCATION_REQUIRED));
    EXPECT_EQ("5121 MB", Text(opened[0], IDC_LOCATION_FREE));
    EXPECT_EQ("4097 MB", Text(opened[1], IDC_LOCATION_REQUIRED)) << "the big file counts whole";
    EXPECT_EQ("0 MB", Text(opened[1], IDC_LOCATION_FREE));
    EXPECT_EQ(2u, Windows(driver, IsMenu).size()) << "Enter leaves setup";
    EXPECT_EQ(1u, driver.ExitCodes().size()) << "no installer started";
}

TEST_F(MenuRun, FreeSpaceEqualToTheRequiredSizeIsRefused)
{
    MakeDistribution("cmdline_probe.exe");
    RemoveTreeAndRecreate(dist + "\\gamedata");
    ASSERT_TRUE(dir.WriteFile("配布\\gamedata\\data.bin", std::string(3000000, 'd')));
    RecordEdition(LowRes(), low);
    std::string free = dir / "free.txt";
    ASSERT_TRUE(dir.WriteFile("free.txt", "3000000"));
    SetEnvironmentVariableA("MENU_PROBE_FREE", free.c_str());

    WindowDriver driver;
    driver.Answer("エラー", kNoSpace, 0);  // held open while the space grows by one byte
    Start(driver);
    ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
    ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_LOW));
    ASSERT_TRUE(Press(driver, LocationCaption(LowRes()), IDC_LOCATION_START));
    auto isBox = [](const WindowState& s) { return s.caption == "エラー"; };
    ASSERT_TRUE(driver.WaitFor(isBox, kWaitTimeout)) << driver.Transcript();
    ASSERT_TRUE(dir.WriteFile("free.txt", "3000001"));
    ASSERT_TRUE(Press(driver, isBox, IDOK));
    ASSERT_TRUE(Press(driver, LocationCaption(LowRes()), IDC_LOCATION_START, true));
    ASSERT_TRUE(Press(driver, kMenuCaption, IDCANCEL)) << driver.Transcript();
    Finish(driver);

    std::vector<Event> boxes = driver.Find(isBox);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(kNoSpace, boxes.front().state.BoxText());
    EXPECT_EQ("icon", boxes.front().state.Icon());
    EXPECT_NE(std::string::npos, ReadWhole(dist + "\\cmdline_probe.txt").find("\"t\"")) << "one byte more passes";
}

// Maps a folder as a drive of the given type, as Wine's own drive settings
// do; the drive goes with the object.
class WineDrive {
public:
    WineDrive(char letter, const std::string& folder, DWORD type) : m_Letter(letter)
    {
        typedef char*(CDECL * UnixNameFn)(LPCWSTR);
        UnixNameFn unixName = reinterpret_cast<UnixNameFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
        char* path = unixName ? unixName(wide) : nullptr;
        m_Defined = path && Define(path, type);
        if (path)
            HeapFree(GetProcessHeap(), 0, path);
    }
    ~WineDrive()
    {
        if (m_Defined)
            Define(nullptr, 0);
    }
    bool Defined() const { return m_Defined; }

private:
    struct UnixDrive {
        ULONG size;
        ULONG type;
        ULONG fsType;
        DWORD serial;
        ULONGLONG unixDevice;
        WCHAR letter;
        USHORT mountPointOffset;
        USHORT deviceOffset;
        USHORT labelOffset;
    };
    bool Define(const char* mountPoint, DWORD type)
    {
        std::string buffer(sizeof(UnixDrive), '\0');
        if (mountPoint)
            buffer += std::string(mountPoint) + '\0';
        UnixDrive* drive = reinterpret_cast<UnixDrive*>(&buffer[0]);
        drive->size = static_cast<ULONG>(buffer.size());
        drive->type = type;
        drive->letter = static_cast<WCHAR>(m_Letter);
        drive->mountPointOffset = mountPoint ? static_cast<USHORT>(sizeof(UnixDrive)) : 0;
        // The mount manager runs in Wine's device host, which a fresh prefix
        // may still be starting.
        HANDLE manager = INVALID_HANDLE_VALUE;
        for (int i = 0; i < 200 && manager == INVALID_HANDLE_VALUE; ++i) {
            manager = CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
            if (manager == INVALID_HANDLE_VALUE)
                Sleep(50);
        }
        if (manager == INVALID_HANDLE_VALUE)
            return false;
        DWORD got = 0;
        const DWORD defineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
        BOOL ok = DeviceIoControl(manager, defineUnixDrive, &buffer[0], static_cast<DWORD>(buffer.size()), nullptr,
                                  0, &got, nullptr);
        CloseHandle(manager);
        return ok != FALSE;
    }
    char m_Letter;
    bool m_Defined;
};

TEST_F(MenuRun, CdromRefusedRemovableAccepted)
{
    struct { DWORD type; bool refused; } cases[] = {{DRIVE_CDROM, true}, {DRIVE_REMOVABLE, false}};
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        ScratchDir media;
        ASSERT_TRUE(media.WriteFile("game\\readme.txt", "on the drive"));
        WineDrive drive('q', media.Path(), cases[i].type);
        ASSERT_TRUE(drive.Defined()) << "case " << i;
        ASSERT_EQ(cases[i].type, GetDriveTypeA("Q:\\")) << "case " << i;
        TestSupport::InformationRegGuard fresh;
        RecordEdition(kBaseGame, base);
        RecordEdition(LowRes(), "Q:\\game");
        MakeDistribution("cmdline_probe.exe");
        DeleteFileA((dist + "\\cmdline_probe.txt").c_str());

        WindowDriver driver;
        driver.Answer("エラー", kReadOnly, IDOK, 1);
        used.clear();
        Start(driver);
        ASSERT_TRUE(Press(driver, kMenuCaption, IDC_MENU_INSTALL));
        ASSERT_TRUE(Press(driver, kTargetCaption, IDC_TARGET_LOW));
        ASSERT_TRUE(Press(driver, LocationCaption(LowRes()), IDC_LOCATION_START));
        if (cases[i].refused) {
            ASSERT_TRUE(driver.WaitFor([](const WindowState& s) { return s.caption == "エラー"; }, kWaitTimeout));
            ASSERT_TRUE(Press(driver, LocationCaption(LowRes()), IDC_LOCATION_BACK, true));
        }
        ASSERT_TRUE(Press(driver, kMenuCaption, IDCANCEL)) << driver.Transcript();
        Finish(driver);
        // One per box window: the driver may read a box more than once.
        auto boxes = TestSupport::Boxes(driver);
        EXPECT_EQ(cases[i].refused ? 1u : 0u, boxes.size()) << "case " << i << "\n" << driver.Transcript();
        if (!boxes.empty()) {
            EXPECT_EQ(kReadOnly, boxes.front().BoxText()) << "case " << i;
        }
        EXPECT_EQ(!cases[i].refused, PathExists(dist + "\\cmdline_probe.txt")) << "case " << i;
    }
}

// ---- a second run after an install into the data folder ----

TEST_F(MenuRun, RecordedDataFolderIsTheDataFolderAgain)
{
    // What the installer records after installing into "<game>\\data": the data folder itself.
    struct { const char* component; } cases[] = {{"data"}, {"Data"}};
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        TestSupport::InformationRegGuard fresh;
        ScratchDir game;
        std::string data = game / cases[i].component;
        ASSERT_TRUE(CreateDirectoryA(data.c_str(), nullptr));
        RecordEdition(kBaseGame, data);
        ASSERT_TRUE(CopyFileA(TestSupport::HelperPath("setup.exe").c_str(), (dist + "\\setup.exe").c_str(), FALSE));
        WindowDriver driver;
        driver.Answer(std::string(kBaseGame) + "追加データ", "", IDYES, 1);
        driver.Answer("正常終了", "", IDOK, 1);
        ASSERT_TRUE(driver.Start(TestDriver::QuoteCommand(dist + "\\setup.exe", ""), dist));
        Finish(driver);
        EXPECT_EQ("variant 615", ReadWhole(data + "\\game.exe")) << "case " << i << ": selector 2";
        EXPECT_EQ(ReadWhole(dist + "\\gamedata\\voice2.pak"), ReadWhole(data + "\\voice2.pak")) << "case " << i;
        EXPECT_FALSE(PathExists(data + "\\data")) << "case " << i;
    }
}

}  // namespace
