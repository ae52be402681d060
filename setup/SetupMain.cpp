#include "SetupMain.h"

#include <shlwapi.h>

#include <vector>

#include "CSingleApp.h"
#include "InstallLocation.h"
#include "InstallerCommandLine.h"
#include "LocationDialog.h"
#include "MenuDialog.h"
#include "ProcessUtility.h"
#include "TargetDialog.h"
#include "appframe/CAppInitializer.h"
#include "auxiliary/CSetupHelper2.h"
#include "file/FileSystem.h"
#include "resource.h"
#include "thread/CMutex.h"
#include "thread/CThreadManager.h"

namespace Setup {

using Corvane::Base::AppFrame::CAppInitializer;
using Corvane::Base::AppFrame::CSingleApp;
using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::SetupInformationRecord;
using Corvane::Base::File::FormatString;
using Corvane::Base::File::GetFullPath;

std::string g_szAppName;
std::string g_szDiskDirectory;
std::string g_szTargetDirectory;
std::string g_szGameExecute;
std::string g_szGameUninstall;
std::string g_szDialogBitmap;

namespace {

const char kContentKey[] = "SOFTWARE\\DMM GAMES\\Launcher\\Content\\gp_rk5t0w2n";
const char kWow6432Key[] = "SOFTWARE\\Wow6432Node\\DMM GAMES\\Launcher\\gp_rk5t0w2n";

std::string Value(const char* key)
{
    return CAppInitializer::GetInitializerScript().GetValue(key);
}

bool IsWow64()
{
    typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
    IsWow64ProcessFn isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

// The record earlier installations left; the "data" folder below it wins.
// An installation into that data folder records the data folder itself:
// it is the data folder still, not a folder to look below.
bool FindRecordedInstallation(CSetupHelper2& helper, std::string& folder, std::string& selector)
{
    SetupInformationRecord record;
    if (!helper.FindSetupInformation(g_szAppName, record))
        return false;
    std::string candidate = record.m_InstallFolder + "\\data";
    if (PathIsDirectoryA(candidate.c_str())) {
        folder = candidate;
        selector = "2";
    } else if (EndsWithDataFolder(record.m_InstallFolder) && PathIsDirectoryA(record.m_InstallFolder.c_str())) {
        folder = record.m_InstallFolder;
        selector = "2";
    } else {
        folder = record.m_InstallFolder;
        selector = "0";
    }
    return true;
}

InstallerItems ItemsFromValues(const std::string& selector)
{
    InstallerItems items;
    items.program = GetFullPath(Value("InstallExecute"));
    items.appName = g_szAppName;
    items.diskDirectory = g_szDiskDirectory;
    items.targetDirectory = g_szTargetDirectory;
    items.gameExecute = g_szGameExecute;
    items.gameUninstall = g_szGameUninstall;
    items.selector = selector;
    return items;
}

void ReadDistributionValues()
{
    g_szDiskDirectory = GetFullPath(Value("DiskDirectory"));
    g_szGameExecute = Value("GameExecute");
    g_szGameUninstall = Value("GameUninstall");
    g_szDialogBitmap = Value("DialogBitmap");
}

INT_PTR ShowDialog(int id, DLGPROC procedure)
{
    return DialogBoxParamA(CAppInitializer::GetInstanceHandle(), MAKEINTRESOURCEA(id), nullptr, procedure, 0);
}

// The menu road: menu, target, location, the installer with the large
// dialog, and back to the menu until a dialog says to leave.
void RunMenuFlow()
{
    for (;;) {
        INT_PTR menu = ShowDialog(IDD_MENU, &MenuDialogProc);
        if (menu == kMenuWeb) {
            ShellOpen(nullptr, "gamedata\\webアンケート.url", "open");
            return;
        }
        if (menu != kMenuInstall)
            return;
        INT_PTR target = ShowDialog(IDD_TARGET, &TargetDialogProc);
        if (target == kTargetBack)
            continue;
        if (target != kTargetHigh && target != kTargetLow)
            return;
        ReadDistributionValues();
        INT_PTR location = ShowDialog(IDD_LOCATION, &LocationDialogProc);
        if (location == kLocationBack)
            continue;
        if (location != kLocationStart)
            return;
        RunProcess(BuildMenuInstallerCommandLine(ItemsFromValues(std::string())), true, std::string());
    }
}

}  // namespace

bool ChooseLauncherKey(WORD architecture, bool wow64, std::string& key)
{
    switch (architecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
        key = kContentKey;
        return true;
    case PROCESSOR_ARCHITECTURE_IA64:
    case PROCESSOR_ARCHITECTURE_AMD64:
        key = wow64 ? kContentKey : kWow6432Key;
        return true;
    default:
        return false;
    }
}

bool FindLauncherInstallation(std::string& folder)
{
    typedef void(WINAPI * GetNativeSystemInfoFn)(LPSYSTEM_INFO);
    GetNativeSystemInfoFn getInfo = reinterpret_cast<GetNativeSystemInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo")));
    if (!getInfo)
        return false;
    SYSTEM_INFO info = {};
    getInfo(&info);
    std::string key;
    if (!ChooseLauncherKey(info.wProcessorArchitecture, IsWow64(), key))
        return false;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) {
        MessageBoxA(nullptr, "レジストリのオープンに失敗", "！レジストリへアクセス！", MB_OK);
        return false;
    }
    // Read whole, whatever its length, and never trusted to end with a NUL.
    DWORD type = 0, size = 0;
    RegQueryValueExA(handle, "Path", nullptr, &type, nullptr, &size);
    std::vector<char> buffer(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(handle, "Path", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS)
        got = 0;
    RegCloseKey(handle);
    size_t length = 0;
    while (length < got && length < buffer.size() && buffer[length] != '\0')
        ++length;
    folder.assign(buffer.data(), length);
    return true;
}

void RunSetup()
{
    CSingleApp single;
    if (!single.IsFirstInstance()) {
        Corvane::Base::Thread::GetThreadManager()->StopAll();
        return;
    }

    g_szAppName = Value("AppName");
    Corvane::Base::Thread::CMutex game;
    if (game.Create(g_szAppName) != 1) {
        MessageBoxA(nullptr, "ゲーム起動中のため、セットアップが実行できません。\nゲームを終了させてください。", "エラー",
                    MB_ICONERROR);
        return;
    }

    ReadDistributionValues();
    std::string selector;

    {
        // Holds Information.reg open unshared: gone before the installer starts.
        CSetupHelper2 helper;
        std::string folder;
        bool found = FindRecordedInstallation(helper, folder, selector);
        if (!found && FindLauncherInstallation(folder)) {
            selector = "1";
            found = true;
        }
        if (!found) {
            MessageBoxA(nullptr,
                        FormatString("%s\nのインストールが確認できないため\n追加インストールすることができません",
                                     g_szAppName.c_str()).c_str(),
                        "エラー", MB_ICONERROR);
            return;
        }
        g_szTargetDirectory = folder;
    }

    std::string caption = g_szAppName + Value("Caption");
    std::string text = g_szAppName + Value("Message01");
    for (const char* key : {"Message02", "Message03", "Message04"}) {
        std::string line = Value(key);
        if (!line.empty())
            text += "\r\n" + line;
    }
    int answer = MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_YESNO);
    if (answer == IDYES) {
        RunProcess(BuildInstallerCommandLine(ItemsFromValues(selector)), true, std::string());
    } else if (answer == IDNO) {
        MessageBoxA(nullptr, "追加インストールせずに終了します", caption.c_str(), MB_OK);
    } else {
        // The box could not be shown: the menu dialogs take over.
        RunMenuFlow();
    }
}

}  // namespace Setup
