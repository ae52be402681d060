#include "SetupMain.h"

#include <shlwapi.h>

#include <vector>

#include "CSingleApp.h"
#include "InstallerCommandLine.h"
#include "ProcessUtility.h"
#include "appframe/CAppInitializer.h"
#include "auxiliary/CSetupHelper2.h"
#include "file/FileSystem.h"
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
bool FindRecordedInstallation(CSetupHelper2& helper, std::string& folder, std::string& selector)
{
    SetupInformationRecord record;
    if (!helper.FindSetupInformation(g_szAppName, record))
        return false;
    std::string candidate = record.m_InstallFolder + "\\data";
    if (PathIsDirectoryA(candidate.c_str())) {
        folder = candidate;
        selector = "2";
    } else {
        folder = record.m_InstallFolder;
        selector = "0";
    }
    return true;
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

    g_szDiskDirectory = GetFullPath(Value("DiskDirectory"));
    g_szGameExecute = Value("GameExecute");
    g_szGameUninstall = Value("GameUninstall");
    g_szDialogBitmap = Value("DialogBitmap");
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
        InstallerItems items;
        items.program = GetFullPath(Value("InstallExecute"));
        items.appName = g_szAppName;
        items.diskDirectory = g_szDiskDirectory;
        items.targetDirectory = g_szTargetDirectory;
        items.gameExecute = g_szGameExecute;
        items.gameUninstall = g_szGameUninstall;
        items.selector = selector;
        RunProcess(BuildInstallerCommandLine(items), true, std::string());
    } else if (answer == IDNO) {
        MessageBoxA(nullptr, "追加インストールせずに終了します", caption.c_str(), MB_OK);
    }
    // Any other answer means the box could not be shown; the menu dialogs are not part of this program yet.
}

}  // namespace Setup
