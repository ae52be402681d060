#include "InstallerMain.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "InstallerArguments.h"
#include "ProgressDialog.h"
#include "appframe/CAppInitializer.h"
#include "auxiliary/CInstallJournal.h"
#include "auxiliary/CSetupHelper2.h"
#include "auxiliary/SetupInformationRecord.h"
#include "file/CEnumFilename.h"
#include "file/CFile.h"
#include "file/CFindFile.h"
#include "file/FileSystem.h"
#include "file/PathText.h"

namespace Installer {

using namespace Corvane::Base::File;
using Corvane::Base::AppFrame::CAppInitializer;
using Corvane::Base::Auxiliary::CInstallJournal;
using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::SetupInformationRecord;

namespace {

const char kNoFileInfo[] = "ファイル情報の取得ができません。";

void Relaunch(const std::vector<std::string>& args)
{
    // The outcome is not examined: a refused elevation simply ends the chain here.
    ExecuteProgram(GetModulePath(), true, std::string(), BuildRelaunchParameters(args));
}

bool IsFile(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Folders that CreateDirectoryTree is about to make, deepest first, so that
// a run that copies nothing can take them away again.
std::vector<std::string> MissingFolders(const std::string& folder)
{
    std::vector<std::string> missing;
    std::string path = RemoveDoubleBackslash(GetFullPath(folder));
    while (!path.empty() && !PathIsDirectoryA(path.c_str())) {
        missing.push_back(path);
        std::string parent = GetParentDirectory(path);
        if (parent == path)
            break;
        path = parent;
    }
    return missing;
}

void RemoveEmptyFolders(const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders)
        RemoveDirectoryA(folder.c_str());  // fails, harmlessly, on anything not empty
}

// Can the destination take the first file? A file this test creates is
// removed again, so a roll-back leaves nothing of it behind.
bool WriteTest(const std::string& destination, const std::string& relative, std::vector<std::string>& createdFolders)
{
    std::string folder, name;
    SplitPath(relative, folder, name);
    if (!folder.empty()) {
        std::vector<std::string> below = MissingFolders(destination + "\\" + folder);
        createdFolders.insert(createdFolders.begin(), below.begin(), below.end());
        CreateDirectoryTree(destination + "\\" + folder);
    }
    std::string path = RemoveDoubleBackslash(destination + "\\" + relative);
    bool existed = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    CFile file;
    if (!file.Create(path, false))
        return false;
    file.Close();
    if (!existed)
        DeleteFileA(path.c_str());
    return true;
}

unsigned long long EntrySize(const WIN32_FIND_DATAA& data)
{
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Finds one file again for its size; a folder entry steps on to the next entry.
bool FindSize(const std::string& path, unsigned long long& size)
{
    CFindFile find;
    WIN32_FIND_DATAA data;
    if (!find.FindFirst(path, &data))
        return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        find.FindNext(&data);
    size = EntrySize(data);
    return true;
}

std::string ExistingFile(const std::string& folder, const std::string& name)
{
    if (name.empty())
        return std::string();
    std::string path = RemoveDoubleBackslash(folder + "\\" + name);
    return IsFile(path) ? path : std::string();
}

void CreateShortcuts(CSetupHelper2& worker, const std::vector<std::string>& args,
                     const SetupInformationRecord& record)
{
    const std::string& name = args[kAppName];
    if (args[kDesktopShortcutFlag] == "t") {
        worker.CreateDesktopShortcut(record.m_ProgramPath, name);
        worker.AddUninstallDesktopShortcut(name);
    }
    if (args[kProgramMenuFlag] == "t") {
        const std::string folder = "PELLIN\\" + name;
        const std::string application = folder + "\\" + name;
        const std::string uninstaller = application + "のアンインストール";
        worker.CreateProgramMenuFolder("PELLIN");
        worker.CreateProgramMenuFolder(folder);
        worker.CreateProgramMenuShortcut(record.m_ProgramPath, application);
        worker.CreateProgramMenuShortcut(record.m_UninstallerPath, uninstaller);
        worker.AddUninstallProgramMenuFolder("PELLIN");
        worker.AddUninstallProgramMenuFolder(folder);
        worker.AddUninstallProgramMenuShortcut(application);
        worker.AddUninstallProgramMenuShortcut(uninstaller);
    }
}

}  // namespace

void RunInstaller()
{
    const std::vector<std::string> args = ReadInstallerArguments(&CAppInitializer::GetArgument);

    if (args[kRelaunchMarker] != "n") {
        for (unsigned i = kDisplayMode; i <= kProgramMenuFlag; ++i) {
            if (args[i].empty()) {
                MessageBoxA(nullptr, "Setup.exeより起動してください。", "エラー", MB_ICONERROR);
                return;
            }
        }
    }

    if (!IsCounterAccepted(StringToInt(args[kRelaunchCounter]))) {
        MessageBoxA(nullptr, "再起呼び出し失敗", "インストールエラー", MB_OK);
        return;
    }
    if (args[kRelaunchMarker] != "t") {
        Relaunch(args);
        return;
    }

    // Only the working instance needs the list: the others only hand on.
    const std::string source = GetFullPath(args[kSourceFolder]);
    CEnumFilename list;
    list.Enumerate(source, "*.*", true);

    const std::string& destination = args[kDestinationFolder];
    std::vector<std::string> createdFolders = MissingFolders(destination);
    if (!CreateDirectoryTree(destination)) {
        Relaunch(args);
        return;
    }
    // Without a first file, a name of our own probes the destination; so it
    // does when the first file's way leads through a link, which the copy
    // will refuse with its own box.
    std::string probe = list.GetCount() > 0 ? GetRelativePath(list.GetFilename(0), source) : "~install.tmp";
    if (!CInstallJournal::IsSafeBelow(RemoveDoubleBackslash(destination + "\\" + probe), destination))
        probe = "~install.tmp";
    if (!WriteTest(destination, probe, createdFolders)) {
        Relaunch(args);
        return;
    }

    CSetupHelper2 worker;
    CProgressDialog dialog;
    const bool large = args[kDisplayMode] == "t";
    dialog.Create(CAppInitializer::GetInstanceHandle(), large, args[kAppName]);
    if (large)
        dialog.LoadPictures(CAppInitializer::GetInitializerScript());
    dialog.SetStatus("インストールサイズ計算中");
    dialog.Pump();

    worker.SetOwnerWindow(dialog.Window());
    worker.SetAppName(args[kAppName]);
    worker.SetSourceFolder(args[kSourceFolder]);
    worker.SetDestinationFolder(destination);

    unsigned long long total = 0;
    std::vector<std::string> hidden;
    int listed = 0;
    for (int i = 0; i < list.GetCount(); ++i) {
        std::string file = list.GetFilename(i);
        unsigned long long size = 0;
        if (!FindSize(file, size)) {
            MessageBoxA(dialog.Window(), kNoFileInfo, "エラー", MB_ICONERROR);
            RemoveEmptyFolders(createdFolders);
            return;
        }
        total += size;
        std::string relative = GetRelativePath(file, source);
        worker.AddFile(relative);
        ++listed;
        std::string copy = RemoveDoubleBackslash(destination + "\\" + relative);
        if (IsHiddenAfterCopy(copy, relative))
            hidden.push_back(copy);
    }

    std::string root;
    if (GetDistributionRoot(args[kSourceFolder], root)) {
        std::string folder = root + VariantFolderName(StringToInt(args[kVariantSelector]));
        unsigned long long size = 0;
        if (FindSize(RemoveDoubleBackslash(folder + "\\" + args[kExtraFileName]), size)) {
            worker.AddExtraFile(args[kExtraFileName], folder);
            ++listed;
            total += size;
        }
    }
    if (listed == 0) {
        // Nothing to copy at all: say so and leave the destination as it was.
        MessageBoxA(dialog.Window(), kNoFileInfo, "エラー", MB_ICONERROR);
        RemoveEmptyFolders(createdFolders);
        return;
    }

    worker.SetTotalSize(total);
    worker.SetCreatedFolders(createdFolders);
    dialog.SetStatus("インストール中");
    worker.StartInstall();
    dialog.EnableCancel(true);
    while (!worker.IsFinished() && !worker.IsFailed() && !g_bCancelRequested) {
        dialog.Update(worker.GetCurrentFile(), worker.GetDoneSize(), worker.GetTotalSize());
        dialog.Pump();
        Sleep(10);
    }

    if (worker.IsFailed() || g_bCancelRequested) {
        dialog.SetStatus("キャンセル処理");
        dialog.Pump();
        worker.CancelInstall();
        Sleep(500);
        dialog.Destroy();
        dialog.FreePictures();
        return;
    }

    dialog.SetBar(1000);
    dialog.SetStatus("インストール後処理");
    dialog.Pump();

    SetupInformationRecord record;
    record.m_AppName = args[kAppName];
    record.m_InstallFolder = destination;
    // Only paths that exist after the copy; an empty one keeps what an earlier run stored.
    record.m_ProgramPath = ExistingFile(destination, args[kExtraFileName]);
    record.m_UninstallerPath = ExistingFile(destination, args[kReservedArgument]);
    record.m_bFlag = false;

    for (const std::string& path : hidden) {
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
    worker.WriteSetupInformation(record);
    CreateShortcuts(worker, args, record);
    worker.WriteUninstallList("uninstall.ini");
    // Before the user hears of success: from here on nothing undoes the run.
    worker.FinishInstall();

    Sleep(1000);
    dialog.Destroy();
    if (CAppInitializer::GetArgument(kDisplayMode) == "t")
        ShowFinishedDialog(CAppInitializer::GetInstanceHandle());
    else
        MessageBoxA(nullptr, "インストールが正常に終了しました。", "正常終了", MB_ICONINFORMATION);
    dialog.FreePictures();
}

}  // namespace Installer
