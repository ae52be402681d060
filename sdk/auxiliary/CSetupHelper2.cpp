#include "auxiliary/CSetupHelper2.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>

#include "auxiliary/DebugPrint.h"
#include "auxiliary/SetupInformationFormat.h"
#include "auxiliary/Shortcut.h"
#include "auxiliary/UninstallListFormat.h"
#include "file/CFindFile.h"
#include "file/FileSystem.h"
#include "file/NonErrMes.h"
#include "file/PathText.h"
#include "thread/CCriticalLock.h"

namespace Corvane { namespace Base { namespace Auxiliary {

using Thread::CCriticalLock;

namespace {

const DWORD kCopyBuffer = 16384;

// The system's text for an error code; empty when it has none.
std::string SystemText(DWORD error)
{
    char* text = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0x0400, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n != 0 && text != nullptr ? std::string(text, n) : std::string();
    if (text != nullptr)
        LocalFree(text);
    return s;
}


// Files and folders kept for other programs carry the hidden attribute.
void AddHidden(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    if (a != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path.c_str(), a | FILE_ATTRIBUTE_HIDDEN);
}

}  // namespace

CSetupHelper2::CSetupHelper2()
    : m_hOwnerWindow(nullptr), m_nTotalSize(0), m_nDoneSize(0), m_bFinished(false), m_bFailed(false),
      m_bWorkerEnded(true)
{
    OpenSetupInformation();
    ClearAll();
}

CSetupHelper2::~CSetupHelper2()
{
    StopPumping();
    // Not settled by the caller: a failed or unfinished run is given back,
    // a finished one kept.
    if (m_Journal.IsActive()) {
        if (m_bFinished && !m_bFailed)
            m_Journal.Commit();
        else
            m_Journal.Rollback();
    }
    CloseSetupInformation();
}

void CSetupHelper2::ClearAll()
{
    StopPumping();
    CCriticalLock lock(&m_Lock);
    m_hOwnerWindow = nullptr;
    m_AppName.clear();
    m_SourceFolder.clear();
    m_DestinationFolder.clear();
    m_RelativeNames.clear();
    m_SourcePaths.clear();
    m_nTotalSize = 0;
    m_CurrentSource.clear();
    m_CurrentDestination.clear();
    m_nDoneSize = 0;
    m_bFinished = false;
    m_bFailed = false;
    m_UninstallFiles.Clear();
    m_UninstallDirectories.Clear();
    m_CreatedFolders.clear();
}

void CSetupHelper2::SetOwnerWindow(HWND owner)
{
    CCriticalLock lock(&m_Lock);
    m_hOwnerWindow = owner;
}

void CSetupHelper2::SetAppName(const std::string& name)
{
    CCriticalLock lock(&m_Lock);
    m_AppName = name;
}

void CSetupHelper2::SetSourceFolder(const std::string& folder)
{
    CCriticalLock lock(&m_Lock);
    m_SourceFolder = folder;
    if (!m_SourceFolder.empty() && m_SourceFolder.back() == '\\')
        m_SourceFolder.pop_back();
}

void CSetupHelper2::SetDestinationFolder(const std::string& folder)
{
    CCriticalLock lock(&m_Lock);
    m_DestinationFolder = folder;
    size_t n = m_DestinationFolder.size();
    if (n >= 1 && m_DestinationFolder[n - 1] == '\\' &&
        !(n >= 2 && File::IsSJISLeadByte(static_cast<unsigned char>(m_DestinationFolder[n - 2]))))
        m_DestinationFolder.pop_back();
}

void CSetupHelper2::AddFile(const std::string& relativeName)
{
    CCriticalLock lock(&m_Lock);
    m_RelativeNames.push_back(relativeName);
    // Kept in step with the names, so that both lists stay equally long.
    m_SourcePaths.push_back(m_SourceFolder.empty() ? relativeName : m_SourceFolder + "\\" + relativeName);
}

void CSetupHelper2::AddExtraFile(const std::string& name, const std::string& folder)
{
    CCriticalLock lock(&m_Lock);
    m_RelativeNames.push_back(name);
    m_SourcePaths.push_back(folder + "\\" + name);
}

void CSetupHelper2::SetTotalSize(unsigned long long total)
{
    CCriticalLock lock(&m_Lock);
    m_nTotalSize = total;
}

void CSetupHelper2::SetCreatedFolders(const std::vector<std::string>& folders)
{
    CCriticalLock lock(&m_Lock);
    m_CreatedFolders = folders;
}

std::string CSetupHelper2::MakeDestinationPath(const std::string& name)
{
    CCriticalLock lock(&m_Lock);
    if (PathIsRelativeA(name.c_str()))
        return File::RemoveDoubleBackslash(m_DestinationFolder + "\\" + name);
    return File::RemoveDoubleBackslash(name);
}

std::string CSetupHelper2::MakeSourcePath(const std::string& name)
{
    CCriticalLock lock(&m_Lock);
    if (PathIsRelativeA(name.c_str()))
        return File::RemoveDoubleBackslash(m_SourceFolder + "\\" + name);
    return File::RemoveDoubleBackslash(name);
}

std::vector<std::string> CSetupHelper2::FoldersBelowDestination(const std::string& destination)
{
    std::vector<std::string> folders;
    std::string folder, file;
    File::SplitPath(destination, folder, file);
    while (!folder.empty() && folder != m_DestinationFolder) {
        folders.push_back(folder);
        std::string parent = File::GetParentDirectory(folder);
        if (parent == folder)
            break;  // the drive root: nothing above to climb to
        folder = parent;
    }
    return folders;
}

bool CSetupHelper2::StartInstall()
{
    {
        CCriticalLock lock(&m_Lock);
        m_bFinished = false;
        for (const std::string& entry : m_RelativeNames)
            if (!entry.empty())
                AddUninstallFile(MakeDestinationPath(entry));
        for (const std::string& entry : m_RelativeNames)
            if (!entry.empty())
                for (const std::string& folder : FoldersBelowDestination(MakeDestinationPath(entry)))
                    AddUninstallDirectory(folder);
        AddUninstallDirectory(m_DestinationFolder);
    }
    m_bWorkerEnded = false;
    if (Start(THREAD_PRIORITY_TIME_CRITICAL))
        return true;
    m_bWorkerEnded = true;
    return false;
}

void CSetupHelper2::StopPumping()
{
    RequestStop();
    if (GetCurrentThreadId() != GetThreadId()) {
        while (!m_bWorkerEnded) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    Stop();
}

int CSetupHelper2::AskRetry(HWND owner, const std::string& text, const char* caption)
{
    // Once a stop is requested the main thread is winding the run up: asking
    // now would only hold it up.
    if (!IsRunning())
        return IDCANCEL;
    return MessageBoxA(owner, text.c_str(), caption, MB_RETRYCANCEL | MB_ICONERROR);
}

void CSetupHelper2::ThreadProc()
{
    struct EndMark {
        std::atomic<bool>& ended;
        ~EndMark() { ended = true; }
    } endMark{m_bWorkerEnded};
    File::NonErrMes guard;
    std::string destinationFolder;
    unsigned long long total;
    HWND ownerWindow;
    std::vector<std::string> createdFolders;
    {
        CCriticalLock lock(&m_Lock);
        destinationFolder = m_DestinationFolder;
        total = m_nTotalSize;
        ownerWindow = m_hOwnerWindow;
        createdFolders = m_CreatedFolders;
    }
    // A run killed before it could finish or roll back left its journal here.
    CInstallJournal::RecoverInterrupted(destinationFolder);
    if (!(File::GetFreeDiskSpace(File::GetDriveRoot(destinationFolder)) > total)) {
        MessageBoxA(ownerWindow,
                    "インストール先の容量が不足しています。\n十分な容量を確保してから再度インストールを試みてください。",
                    "容量不足", MB_OK | MB_ICONERROR);
        CCriticalLock lock(&m_Lock);
        m_bFailed = true;
        return;
    }
    {
        CCriticalLock lock(&m_Lock);
        if (!m_InfoFile.IsOpen()) {
            lock.Leave();  // never hold the lock while a box is up
            MessageBoxA(ownerWindow, "レジストリファイルがオープンできません。", "エラー", MB_OK | MB_ICONERROR);
            lock.Enter();
            m_bFailed = true;
            return;
        }
    }
    m_Journal.Begin(destinationFolder, createdFolders);
    std::vector<char> buffer(kCopyBuffer);
    unsigned long long completed = 0;
    size_t count;
    {
        CCriticalLock lock(&m_Lock);
        count = m_RelativeNames.size();
    }
    for (size_t index = 0; index < count; ++index) {
        if (!IsRunning()) {
            CCriticalLock lock(&m_Lock);
            m_bFailed = true;
            break;
        }
        bool retry = true;
        bool abort = false;
        unsigned long long size = 0;
        while (retry) {
            retry = false;
            File::CFileWin32 source, destination;
            destination.m_bWriteThrough = true;
            std::string sourcePath, destinationPath;
            {
                CCriticalLock lock(&m_Lock);
                m_CurrentSource = MakeSourcePath(m_SourcePaths[index]);
                m_CurrentDestination = MakeDestinationPath(m_RelativeNames[index]);
                sourcePath = m_CurrentSource;
                destinationPath = m_CurrentDestination;
            }
            // The destination is touched only once the source is known to be
            // there, and an original only once it is safely aside.
            // Nothing outside the destination, nor through a link inside it,
            // is written: that file counts as one that cannot be created.
            bool kept = true;
            if (source.OpenRead(sourcePath)) {
                CInstallJournal::Preparation prepared = m_Journal.Prepare(destinationPath);
                kept = prepared == CInstallJournal::Preparation::Ready;
                if (prepared == CInstallJournal::Preparation::Refused) {
                    DWORD error = GetLastError();
                    DebugPrint("CSetupHelper2::ThreadProc() インストール先の外には書き込みません。<%s>",
                               destinationPath.c_str());
                    SetLastError(error);
                }
                if (kept)
                    destination.OpenWrite(destinationPath, true);
            }
            if (!source.IsOpen() || !destination.IsOpen()) {
                DWORD error = GetLastError();
                bool sourceFailed = !source.IsOpen();
                DWORD attributes = GetFileAttributesA(destinationPath.c_str());
                source.Close();
                destination.Close();
                if (!sourceFailed && kept && attributes != INVALID_FILE_ATTRIBUTES &&
                    (attributes & FILE_ATTRIBUTE_HIDDEN) && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                    SetFileAttributesA(destinationPath.c_str(), attributes & ~FILE_ATTRIBUTE_HIDDEN);
                    retry = true;
                    continue;
                }
                std::string text = sourcePath + "\n" + "ファイル読み込みに失敗しました。[Error::CreateFile]\n" +
                                   "WindowsError:" + SystemText(error);
                int answer = AskRetry(nullptr, text, sourceFailed ? "FileLoadError" : "FileCreateError");
                if (answer == IDRETRY) {
                    retry = true;
                    continue;
                }
                abort = true;
                break;
            }
            LARGE_INTEGER large;
            if (!GetFileSizeEx(source.GetHandle(), &large)) {
                source.Close();
                destination.Close();
                int answer = AskRetry(ownerWindow, "ファイル情報読み込みに失敗しました。[Error::GetFileSize]",
                                      "GetFileSizeError");
                if (answer == IDRETRY) {
                    retry = true;
                    continue;
                }
                abort = true;
                break;
            }
            size = static_cast<unsigned long long>(large.QuadPart);
            unsigned long long inDone = 0;
            while (IsRunning() && inDone < size) {
                DWORD chunk = static_cast<DWORD>(std::min<unsigned long long>(size - inDone, kCopyBuffer));
                const char* failedCaption = nullptr;
                std::string text;
                if (!source.Read(buffer.data(), chunk)) {
                    failedCaption = "ReadFileError";
                    text = sourcePath + "\n" + "ファイル読み込みに失敗しました。[Error::ReadFile]\n" + "WindowsError:" +
                           SystemText(GetLastError());
                } else if (!destination.Write(buffer.data(), chunk)) {
                    failedCaption = "WriteFileError";
                    text = std::string("ファイル書き込みに失敗しました。[Error::WriteFile]\n") + "WindowsError:" +
                           SystemText(GetLastError());
                }
                if (failedCaption != nullptr) {
                    int answer = AskRetry(ownerWindow, text, failedCaption);
                    if (answer == IDRETRY) {
                        CCriticalLock lock(&m_Lock);
                        m_nDoneSize = completed;  // the file starts again from its first byte
                        retry = true;
                    } else {
                        CCriticalLock lock(&m_Lock);
                        m_bFailed = true;
                        lock.Leave();
                        RequestStop();
                    }
                    break;
                }
                inDone += chunk;
                CCriticalLock lock(&m_Lock);
                m_nDoneSize = completed + inDone;
            }
        }
        if (abort) {
            CCriticalLock lock(&m_Lock);
            m_bFailed = true;
            break;
        }
        CCriticalLock lock(&m_Lock);
        completed += size;
    }
    CCriticalLock lock(&m_Lock);
    m_nDoneSize = m_nTotalSize;
    m_bFinished = true;
}

void CSetupHelper2::CancelInstall()
{
    {
        CCriticalLock lock(&m_Lock);
        m_bFailed = true;
    }
    StopPumping();
    if (m_Journal.IsActive()) {
        m_Journal.Rollback();
        return;
    }
    // Stopped before the copy began: only the caller's folders are left to go.
    std::vector<std::string> folders;
    {
        CCriticalLock lock(&m_Lock);
        folders = m_CreatedFolders;
    }
    for (const std::string& folder : folders)
        RemoveDirectoryA(folder.c_str());  // only an empty one goes
}

void CSetupHelper2::FinishInstall()
{
    StopPumping();
    m_Journal.Commit();
}

bool CSetupHelper2::IsFinished()
{
    CCriticalLock lock(&m_Lock);
    return m_bFinished;
}

bool CSetupHelper2::IsFailed()
{
    CCriticalLock lock(&m_Lock);
    return m_bFailed;
}

std::string CSetupHelper2::GetCurrentFile()
{
    CCriticalLock lock(&m_Lock);
    return m_CurrentSource;
}

unsigned long long CSetupHelper2::GetTotalSize()
{
    CCriticalLock lock(&m_Lock);
    return m_nTotalSize;
}

unsigned long long CSetupHelper2::GetDoneSize()
{
    CCriticalLock lock(&m_Lock);
    return m_nDoneSize;
}

std::string CSetupHelper2::GetSetupInformationFolder()
{
    return File::RemoveDoubleBackslash(File::GetSpecialFolderPath(CSIDL_APPDATA) + "\\Pellin\\SetupInformation");
}

bool CSetupHelper2::OpenSetupInformation()
{
    CCriticalLock lock(&m_Lock);
    std::string folder = GetSetupInformationFolder();
    std::string file = folder + "\\Information.reg";
    File::CreateDirectoryTree(folder);
    File::CFindFile find;
    bool exists = find.Exists(file);
    find.Close();
    if (!m_InfoFile.OpenWrite(file, !exists))
        return false;
    AddHidden(folder);
    AddHidden(file);
    ApplyPendingUpdate();
    return true;
}

namespace {

std::string PendingUpdatePath()
{
    return CSetupHelper2::GetSetupInformationFolder() + "\\Information.new";
}

}  // namespace

// Only the holder of Information.reg touches the update beside it, so no two
// programs can race over it.
void CSetupHelper2::ApplyPendingUpdate()
{
    std::string pending = PendingUpdatePath();
    if (GetFileAttributesA(pending.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    std::string bytes, content;
    // A torn update was written before the file itself was touched: dropping it is enough.
    if (File::CFileWin32::ReadWhole(pending, bytes, 64ull * 1024 * 1024) && DecodeSetupInformationUpdate(bytes, content)) {
        if (!m_InfoFile.Rewind() || !m_InfoFile.Write(content.data(), static_cast<DWORD>(content.size()))) {
            DebugPrint("CSetupHelper2::OpenSetupInformation() 中断された更新を反映できません。");
            return;  // kept for the next holder
        }
        FlushFileBuffers(m_InfoFile.GetHandle());
    }
    SetFileAttributesA(pending.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(pending.c_str());
}

void CSetupHelper2::CloseSetupInformation()
{
    CCriticalLock lock(&m_Lock);
    m_InfoFile.Close();
}

bool CSetupHelper2::ReadAllRecords(std::vector<SetupInformationRecord>& records)
{
    records.clear();
    DWORD size = m_InfoFile.GetSize();
    if (size == INVALID_FILE_SIZE)
        return false;
    std::string bytes(size, '\0');
    if (size != 0 && (!m_InfoFile.Rewind() || !m_InfoFile.Read(&bytes[0], size)))
        return false;
    return DecodeSetupInformation(bytes, records);
}

bool CSetupHelper2::WriteSetupInformation(const SetupInformationRecord& record)
{
    CCriticalLock lock(&m_Lock);
    if (!m_InfoFile.IsOpen())
        return false;
    std::vector<SetupInformationRecord> records;
    if (!ReadAllRecords(records))
        return false;
    MergeSetupInformation(records, record);
    std::string bytes = EncodeSetupInformation(records);
    // The new content goes beside the file first: a kill at any moment then
    // leaves the old content or, once the next holder has finished the
    // overwrite, the new one, never a torn file.
    std::string pending = PendingUpdatePath();
    std::string update = EncodeSetupInformationUpdate(bytes);
    {
        File::CFileWin32 file;
        file.m_bWriteThrough = true;
        if (!file.OpenWrite(pending, true)) {
            DebugPrint("CSetupHelper2::WriteSetupInformation() 更新ファイルを作成できません。<%s>", pending.c_str());
            return false;
        }
        AddHidden(pending);
        if (!file.Write(update.data(), static_cast<DWORD>(update.size())) || !FlushFileBuffers(file.GetHandle())) {
            file.Close();
            DeleteFileA(pending.c_str());
            DebugPrint("CSetupHelper2::WriteSetupInformation() 更新ファイルに書き込めません。<%s>", pending.c_str());
            return false;
        }
    }
    if (!m_InfoFile.Rewind() || !m_InfoFile.Write(bytes.data(), static_cast<DWORD>(bytes.size())))
        return false;  // the update stays beside the file for the next holder
    FlushFileBuffers(m_InfoFile.GetHandle());
    SetFileAttributesA(pending.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(pending.c_str());
    return true;
}

bool CSetupHelper2::FindSetupInformation(const std::string& name, SetupInformationRecord& record)
{
    CCriticalLock lock(&m_Lock);
    if (!m_InfoFile.IsOpen())
        return false;
    std::vector<SetupInformationRecord> records;
    if (!ReadAllRecords(records))
        return false;
    for (const SetupInformationRecord& r : records) {
        File::CFindFile find;
        if (r.m_ProgramPath.empty() || !find.Exists(r.m_ProgramPath))
            continue;  // invisible while its program is gone
        if (r.m_AppName == name) {
            record = r;
            return true;
        }
    }
    return false;
}

void CSetupHelper2::AddUninstallFile(const std::string& path)
{
    CCriticalLock lock(&m_Lock);
    m_UninstallFiles.Append(path);
}

bool CSetupHelper2::AddUninstallDirectory(const std::string& path)
{
    CCriticalLock lock(&m_Lock);
    return m_UninstallDirectories.Append(path);
}

bool CSetupHelper2::WriteUninstallList(const std::string& fileName)
{
    CCriticalLock lock(&m_Lock);
    std::string path = UninstallListPath(m_DestinationFolder, fileName);
    AddUninstallFile(path);
    // The list with the new block goes under another name and then takes the
    // list's place, so a block is there whole or not at all.
    std::string content;
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !File::CFileWin32::ReadWhole(path, content, 1ull << 30))
        return false;
    content += FormatUninstallBlock(m_AppName, m_UninstallFiles.Items(), m_UninstallDirectories.Items());
    std::string temporary = path + "~new";
    {
        File::CFileWin32 file;
        file.m_bWriteThrough = true;
        if (!file.OpenWrite(temporary, true))
            return false;
        bool written = file.Write(content.data(), static_cast<DWORD>(content.size())) &&
                       FlushFileBuffers(file.GetHandle());
        file.Close();
        if (!written) {
            DeleteFileA(temporary.c_str());
            return false;
        }
    }
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a read-only list would refuse its replacement
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DebugPrint("CSetupHelper2::WriteUninstallList() 一覧を置き換えられません。<%s> (%lu)", path.c_str(), GetLastError());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(path.c_str(), attributes);
        DeleteFileA(temporary.c_str());
        return false;
    }
    AddHidden(path);
    return true;
}

namespace {

// Empty when the folder is unknown: a path built on an empty folder would
// name the root of the current drive.
std::string DesktopLinkPath(const std::string& name)
{
    std::string desktop = File::GetDesktopPath();
    if (desktop.empty())
        return std::string();
    return File::RemoveDoubleBackslash(desktop + "\\" + name + ".lnk");
}

std::string ProgramMenuPath(const std::string& subPath)
{
    std::string programs = File::GetSpecialFolderPath(CSIDL_PROGRAMS);
    if (programs.empty())
        return std::string();
    return File::RemoveDoubleBackslash(programs + "\\" + subPath);
}

}  // namespace

bool CSetupHelper2::CreateDesktopShortcut(const std::string& target, const std::string& name)
{
    CCriticalLock lock(&m_Lock);
    std::string link = DesktopLinkPath(name);
    if (link.empty())
        return false;
    return CreateShortcut(target, link);
}

void CSetupHelper2::AddUninstallDesktopShortcut(const std::string& name)
{
    CCriticalLock lock(&m_Lock);
    std::string link = DesktopLinkPath(name);
    if (!link.empty())
        AddUninstallFile(link);
}

bool CSetupHelper2::CreateProgramMenuFolder(const std::string& subPath)
{
    CCriticalLock lock(&m_Lock);
    std::string folder = ProgramMenuPath(subPath);
    if (folder.empty())
        return false;
    return File::CreateDirectoryTree(folder);
}

bool CSetupHelper2::CreateProgramMenuShortcut(const std::string& target, const std::string& linkPath)
{
    CCriticalLock lock(&m_Lock);
    std::string link = ProgramMenuPath(linkPath + ".lnk");
    if (link.empty())
        return false;
    std::string folder, name;
    File::SplitPath(link, folder, name);
    File::CreateDirectoryTree(folder);
    return CreateShortcut(target, link);
}

void CSetupHelper2::AddUninstallProgramMenuFolder(const std::string& subPath)
{
    CCriticalLock lock(&m_Lock);
    std::string folder = ProgramMenuPath(subPath);
    if (!folder.empty())
        AddUninstallDirectory(folder);
}

void CSetupHelper2::AddUninstallProgramMenuShortcut(const std::string& linkPath)
{
    CCriticalLock lock(&m_Lock);
    std::string link = ProgramMenuPath(linkPath + ".lnk");
    if (!link.empty())
        AddUninstallFile(link);
}

}}}
