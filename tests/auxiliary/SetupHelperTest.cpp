#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "auxiliary/CSetupHelper2.h"
#include "support/ChildProcess.h"
#include "support/ImportHook.h"
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

    // Polls like the progress dialog does, pumping messages: boxes owned by
    // a window of this thread need it.
    static bool WaitDone(CSetupHelper2& helper)
    {
        for (int i = 0; i < 6000; ++i) {
            if (helper.IsFinished() || (helper.IsFailed() && !helper.IsRunning()))
                return true;
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
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
        DWORD exitCode = 99;
        ASSERT_TRUE(TestSupport::RunHelper("setup_probe.exe", "", 60000, &exitCode));
        EXPECT_EQ(0u, exitCode) << "another process could use the file while this worker lives";
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

namespace {

// Injected failures: the next `failures` calls fail, later ones pass through.
struct Injection {
    int failures = 0;
    void* original = nullptr;
} g_Injection;

BOOL WINAPI FailingGetFileSizeEx(HANDLE h, PLARGE_INTEGER size)
{
    typedef BOOL(WINAPI * Fn)(HANDLE, PLARGE_INTEGER);
    if (g_Injection.failures > 0) {
        --g_Injection.failures;
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return reinterpret_cast<Fn>(g_Injection.original)(h, size);
}

BOOL WINAPI FailingReadFile(HANDLE h, LPVOID buf, DWORD n, LPDWORD got, LPOVERLAPPED o)
{
    typedef BOOL(WINAPI * Fn)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    if (g_Injection.failures > 0) {
        --g_Injection.failures;
        if (got) *got = 0;
        SetLastError(ERROR_CRC);
        return FALSE;
    }
    return reinterpret_cast<Fn>(g_Injection.original)(h, buf, n, got, o);
}

// Only the copy's chunks fail: the run's small journal records pass.
BOOL WINAPI FailingWriteFile(HANDLE h, LPCVOID buf, DWORD n, LPDWORD wrote, LPOVERLAPPED o)
{
    typedef BOOL(WINAPI * Fn)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    if (g_Injection.failures > 0 && n >= 4096) {
        --g_Injection.failures;
        if (wrote) *wrote = 0;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return reinterpret_cast<Fn>(g_Injection.original)(h, buf, n, wrote, o);
}

}  // namespace

TEST_F(SetupHelperTest, EveryFailureAsksWithItsOwnBoxAndFollowsTheAnswer)
{
    struct Case {
        const char* name;
        const char* function;
        void* replacement;
        int failures;       // injected failures before calls pass
        int answer;         // IDRETRY: the copy completes; IDCANCEL: the run fails
        const char* caption;
        bool owned;         // owned by the dialog, else no owner
        const char* textStart;
    } cases[] = {
        {"size retry", "GetFileSizeEx", reinterpret_cast<void*>(&FailingGetFileSizeEx), 1, IDRETRY,
         "GetFileSizeError", true, "ファイル情報読み込みに失敗しました。[Error::GetFileSize]"},
        {"size cancel", "GetFileSizeEx", reinterpret_cast<void*>(&FailingGetFileSizeEx), 1, IDCANCEL,
         "GetFileSizeError", true, "ファイル情報読み込みに失敗しました。[Error::GetFileSize]"},
        {"read retry", "ReadFile", reinterpret_cast<void*>(&FailingReadFile), 10, IDRETRY, "ReadFileError", true, ""},
        {"read cancel", "ReadFile", reinterpret_cast<void*>(&FailingReadFile), 10, IDCANCEL, "ReadFileError", true, ""},
        {"write retry", "WriteFile", reinterpret_cast<void*>(&FailingWriteFile), 10, IDRETRY, "WriteFileError", true,
         "ファイル書き込みに失敗しました。[Error::WriteFile]\nWindowsError:"},
        {"write cancel", "WriteFile", reinterpret_cast<void*>(&FailingWriteFile), 10, IDCANCEL, "WriteFileError", true,
         "ファイル書き込みに失敗しました。[Error::WriteFile]\nWindowsError:"},
    };
    ASSERT_TRUE(dir.WriteFile("src\\a.bin", Bytes(40000, 1)));
    HWND dialog = CreateWindowExA(0, "STATIC", "progress", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (const Case& c : cases) {
        TestSupport::RemoveTree(dir / "dst");  // each case installs afresh
        TestSupport::MessageBoxAnswerer answerer;
        answerer.Expect(c.answer);
        CSetupHelper2 helper;
        helper.SetOwnerWindow(dialog);
        unsigned long long total = Configure(helper, {"a.bin"});
        {
            g_Injection = Injection();
            g_Injection.failures = c.failures;
            TestSupport::ImportHook hook("kernel32.dll", c.function, c.replacement);
            ASSERT_TRUE(hook.Installed()) << c.name;
            g_Injection.original = hook.Original();
            ASSERT_TRUE(helper.StartInstall()) << c.name;
            ASSERT_TRUE(WaitDone(helper)) << c.name;
            helper.Stop();
        }
        answerer.Verify();
        ASSERT_EQ(1u, answerer.Boxes().size()) << c.name;
        const TestSupport::BoxRecord box = answerer.Boxes()[0];
        EXPECT_EQ(c.caption, box.caption) << c.name;
        EXPECT_EQ(c.owned ? dialog : nullptr, box.owner) << c.name;
        EXPECT_EQ((std::vector<int>{IDCANCEL, IDRETRY}), box.buttons) << c.name;
        EXPECT_EQ("error", box.icon) << c.name;
        std::string start = *c.textStart != '\0' ? std::string(c.textStart)
                                                 : dir / "src\\a.bin" + "\nファイル読み込みに失敗しました。[Error::ReadFile]\nWindowsError:";
        EXPECT_EQ(0u, box.text.find(start)) << c.name << ": " << box.text;
        if (c.answer == IDRETRY) {
            EXPECT_FALSE(helper.IsFailed()) << c.name;
            EXPECT_EQ(Bytes(40000, 1), Read(dir / "dst\\a.bin")) << c.name;
            EXPECT_EQ(total, helper.GetDoneSize()) << c.name;
        } else {
            EXPECT_TRUE(helper.IsFailed()) << c.name;
            helper.CancelInstall();
            EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "dst").c_str())) << c.name;
        }
    }
    DestroyWindow(dialog);
}

TEST_F(SetupHelperTest, DestinationThatIsAFolderAsksFileCreateError)
{
    ASSERT_TRUE(dir.WriteFile("src\\a.bin", "x"));
    ASSERT_TRUE(dir.WriteFile("dst\\a.bin\\inside.txt", "keep"));
    TestSupport::MessageBoxAnswerer answerer;
    answerer.Expect(IDRETRY);  // the same failure again
    answerer.Expect(IDCANCEL);
    CSetupHelper2 helper;
    Configure(helper, {"a.bin"});
    ASSERT_TRUE(helper.StartInstall());
    ASSERT_TRUE(WaitDone(helper));
    helper.Stop();
    answerer.Verify();
    ASSERT_EQ(2u, answerer.Boxes().size());
    EXPECT_EQ("FileCreateError", answerer.Boxes()[0].caption);
    EXPECT_EQ("FileCreateError", answerer.Boxes()[1].caption);
    EXPECT_EQ(nullptr, answerer.Boxes()[0].owner);
    EXPECT_TRUE(helper.IsFailed());
    EXPECT_FALSE(helper.IsFinished() && !helper.IsFailed());
    EXPECT_EQ("keep", Read(dir / "dst\\a.bin\\inside.txt"));
}

TEST_F(SetupHelperTest, ClosedInformationFileStopsBeforeTheFirstFile)
{
    ASSERT_TRUE(dir.WriteFile("src\\a.bin", "x"));
    CSetupHelper2 holder;  // holds Information.reg unshared
    TestSupport::MessageBoxAnswerer answerer;
    answerer.Expect(IDOK);
    CSetupHelper2 helper;
    HWND dialog = CreateWindowExA(0, "STATIC", "progress", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    helper.SetOwnerWindow(dialog);
    Configure(helper, {"a.bin"});
    ASSERT_TRUE(helper.StartInstall());
    ASSERT_TRUE(WaitDone(helper));
    helper.Stop();
    answerer.Verify();
    ASSERT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("エラー", answerer.Boxes()[0].caption);
    EXPECT_EQ("レジストリファイルがオープンできません。", answerer.Boxes()[0].text);
    EXPECT_EQ(dialog, answerer.Boxes()[0].owner);
    EXPECT_TRUE(helper.IsFailed());
    EXPECT_FALSE(helper.IsFinished());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "dst\\a.bin").c_str()));
    DestroyWindow(dialog);
}

TEST_F(SetupHelperTest, CancelInTheMiddleOfALargeCopy)
{
    ASSERT_TRUE(dir.WriteFile("src\\setting.ini", "new setting"));
    ASSERT_TRUE(dir.WriteFile("src\\big\\huge.bin", Bytes(48 * 1024 * 1024, 3)));
    ASSERT_TRUE(dir.WriteFile("src\\later\\never.txt", "new"));
    ASSERT_TRUE(dir.WriteFile("variant\\game.exe", "new program"));
    ASSERT_TRUE(dir.WriteFile("dst\\game.exe", "the user's game"));
    ASSERT_TRUE(dir.WriteFile("dst\\setting.ini", "old setting"));
    SetFileAttributesA((dir / "dst\\setting.ini").c_str(), FILE_ATTRIBUTE_HIDDEN);
    DWORD hiddenBefore = GetFileAttributesA((dir / "dst\\setting.ini").c_str());
    ASSERT_TRUE(dir.WriteFile("dst\\later\\never.txt", "untouched"));
    CSetupHelper2 helper;
    helper.AddExtraFile("game.exe", dir / "variant");  // the game's own program comes first
    Configure(helper, {"setting.ini", "big\\huge.bin", "later\\never.txt"});
    ASSERT_TRUE(helper.StartInstall());
    for (int i = 0; i < 3000 && helper.GetDoneSize() < 20 * 16384; ++i)
        Sleep(5);
    ASSERT_FALSE(helper.IsFinished()) << "the copy ended before it could be cancelled";
    helper.CancelInstall();
    EXPECT_FALSE(helper.IsRunning());
    EXPECT_TRUE(helper.IsFailed());
    EXPECT_EQ("the user's game", Read(dir / "dst\\game.exe"));
    EXPECT_EQ("old setting", Read(dir / "dst\\setting.ini"));
    EXPECT_EQ(hiddenBefore, GetFileAttributesA((dir / "dst\\setting.ini").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "dst\\big").c_str()));
    EXPECT_EQ("untouched", Read(dir / "dst\\later\\never.txt"));
}

namespace {

// Drive T: is a 1 MiB tmpfs when the test runner could mount one.
bool FullDrive(std::string& whyNot)
{
    if (GetDriveTypeA("T:\\") == DRIVE_NO_ROOT_DIR) {
        whyNot = "drive T: (a small tmpfs) is not mapped; see the .fulldrive-skip file beside the Wine prefix";
        return false;
    }
    ULARGE_INTEGER free, total, totalFree;
    if (!GetDiskFreeSpaceExA("T:\\", &free, &total, &totalFree) || total.QuadPart > 16 * 1024 * 1024) {
        whyNot = "drive T: is not the small tmpfs";
        return false;
    }
    return true;
}

}  // namespace

TEST_F(SetupHelperTest, FullDriveGivesTheSpaceBoxOrTheWriteBox)
{
    std::string whyNot;
    if (!FullDrive(whyNot))
        GTEST_SKIP() << whyNot;
    ASSERT_TRUE(dir.WriteFile("src\\big.bin", Bytes(3 * 1024 * 1024, 9)));
    HWND dialog = CreateWindowExA(0, "STATIC", "progress", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    TestSupport::RemoveTree("T:\\game");
    {
        TestSupport::MessageBoxAnswerer answerer;
        answerer.Expect(IDOK);
        CSetupHelper2 helper;
        helper.SetOwnerWindow(dialog);
        helper.SetSourceFolder(dir / "src");
        helper.SetDestinationFolder("T:\\game");
        helper.AddFile("big.bin");
        helper.SetTotalSize(3 * 1024 * 1024);
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper));
        helper.Stop();
        answerer.Verify();
        ASSERT_EQ(1u, answerer.Boxes().size());
        EXPECT_EQ("容量不足", answerer.Boxes()[0].caption);
        EXPECT_EQ("インストール先の容量が不足しています。\n十分な容量を確保してから再度インストールを試みてください。",
                  answerer.Boxes()[0].text);
        EXPECT_EQ(dialog, answerer.Boxes()[0].owner);
        EXPECT_TRUE(helper.IsFailed());
        EXPECT_FALSE(helper.IsFinished());
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("T:\\game\\big.bin")) << "nothing copied";
    }
    {
        // A total that the drive can hold, a file that it cannot: the write fails for real.
        TestSupport::MessageBoxAnswerer answerer;
        answerer.Expect(IDCANCEL);
        CSetupHelper2 helper;
        helper.SetOwnerWindow(dialog);
        helper.SetSourceFolder(dir / "src");
        helper.SetDestinationFolder("T:\\game");
        helper.AddFile("big.bin");
        helper.SetTotalSize(1);
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper));
        helper.Stop();
        answerer.Verify();
        ASSERT_EQ(1u, answerer.Boxes().size());
        EXPECT_EQ("WriteFileError", answerer.Boxes()[0].caption);
        EXPECT_EQ(0u, answerer.Boxes()[0].text.find("ファイル書き込みに失敗しました。[Error::WriteFile]\nWindowsError:"));
        EXPECT_TRUE(helper.IsFailed());
        helper.CancelInstall();
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("T:\\game"));
    }
    DestroyWindow(dialog);
}
