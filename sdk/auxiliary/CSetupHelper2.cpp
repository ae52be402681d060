#include "auxiliary/CSetupHelper2.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>

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
    : m_hOwnerWindow(nullptr), m_nTotalSize(0), m_nDoneSize(0), m_bFinished(false), m_bFailed(false), m_nReached(0)
{
    OpenSetupInformation();
    ClearAll();
}

CSetupHelper2::~CSetupHelper2()
{
    Stop();
    // Not rolled back by the caller: a failed run gives the kept files back,
    // a successful one no longer needs them.
    if (m_bFailed)
        RestoreKeptFiles();
    else
        DropKeptFiles();
    CloseSetupInformation();
}

void CSetupHelper2::ClearAll()
{
    Stop();
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
    m_UninstallFiles.clear();
    m_UninstallDirectories.clear();
    m_nReached = 0;
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
        m_nReached = 0;
        for (const std::string& entry : m_RelativeNames)
            if (!entry.empty())
                AddUninstallFile(MakeDestinationPath(entry));
        for (const std::string& entry : m_RelativeNames)
            if (!entry.empty())
                for (const std::string& folder : FoldersBelowDestination(MakeDestinationPath(entry)))
                    AddUninstallDirectory(folder);
        AddUninstallDirectory(m_DestinationFolder);
    }
    return Start(THREAD_PRIORITY_TIME_CRITICAL);
}

void CSetupHelper2::KeepExisting(const std::string& destination)
{
    for (const KeptFile& k : m_KeptFiles)
        if (k.destination == destination)
            return;
    DWORD attributes = GetFileAttributesA(destination.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    for (int n = 0; n < 100; ++n) {
        char suffix[32];
        std::snprintf(suffix, sizeof(suffix), n == 0 ? "~keep" : "~keep%d", n);
        std::string kept = destination + suffix;
        if (GetFileAttributesA(kept.c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;
        if (MoveFileExA(destination.c_str(), kept.c_str(), 0))
            m_KeptFiles.push_back(KeptFile{destination, kept, attributes});
        return;
    }
}

void CSetupHelper2::RestoreKeptFiles()
{
    CCriticalLock lock(&m_Lock);
    for (const KeptFile& k : m_KeptFiles) {
        SetFileAttributesA(k.destination.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(k.destination.c_str());
        if (MoveFileExA(k.kept.c_str(), k.destination.c_str(), MOVEFILE_REPLACE_EXISTING))
            SetFileAttributesA(k.destination.c_str(), k.attributes);
    }
    m_KeptFiles.clear();
}

void CSetupHelper2::DropKeptFiles()
{
    CCriticalLock lock(&m_Lock);
    for (const KeptFile& k : m_KeptFiles) {
        SetFileAttributesA(k.kept.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(k.kept.c_str());
    }
    m_KeptFiles.clear();
}

void CSetupHelper2::ThreadProc()
{
    File::NonErrMes guard;
    std::string destinationFolder;
    unsigned long long total;
    HWND ownerWindow;
    {
        CCriticalLock lock(&m_Lock);
        destinationFolder = m_DestinationFolder;
        total = m_nTotalSize;
        ownerWindow = m_hOwnerWindow;
    }
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
                if (m_nReached < index + 1)
                    m_nReached = index + 1;
                if (source.OpenRead(sourcePath)) {
                    std::string folder, file;
                    File::SplitPath(destinationPath, folder, file);
                    File::CreateDirectoryTree(folder);
                    KeepExisting(destinationPath);
                    destination.OpenWrite(destinationPath, true);
                }
            }
            if (!source.IsOpen() || !destination.IsOpen()) {
                DWORD error = GetLastError();
                bool sourceFailed = !source.IsOpen();
                DWORD attributes = GetFileAttributesA(destinationPath.c_str());
                source.Close();
                destination.Close();
                if (!sourceFailed && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN)) {
                    SetFileAttributesA(destinationPath.c_str(), attributes & ~FILE_ATTRIBUTE_HIDDEN);
                    retry = true;
                    continue;
                }
                std::string text = sourcePath + "\n" + "ファイル読み込みに失敗しました。[Error::CreateFile]\n" +
                                   "WindowsError:" + SystemText(error);
                int answer = MessageBoxA(nullptr, text.c_str(), sourceFailed ? "FileLoadError" : "FileCreateError",
                                         MB_RETRYCANCEL | MB_ICONERROR);
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
                int answer = MessageBoxA(ownerWindow, "ファイル情報読み込みに失敗しました。[Error::GetFileSize]",
                                         "GetFileSizeError", MB_RETRYCANCEL | MB_ICONERROR);
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
                    int answer = MessageBoxA(ownerWindow, text.c_str(), failedCaption, MB_RETRYCANCEL | MB_ICONERROR);
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
    Stop();
    CCriticalLock lock(&m_Lock);
    for (size_t i = 0; i < m_RelativeNames.size() && i < m_nReached; ++i)
        if (!m_RelativeNames[i].empty()) {
            std::string path = MakeDestinationPath(m_RelativeNames[i]);
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    lock.Leave();
    RestoreKeptFiles();
    lock.Enter();
    std::vector<std::string> folders;
    for (const std::string& entry : m_RelativeNames)
        if (!entry.empty())
            for (const std::string& folder : FoldersBelowDestination(MakeDestinationPath(entry)))
                AppendUnique(folders, folder);
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& folder : folders)
        RemoveDirectoryA(folder.c_str());
    File::DeleteDirectory(m_DestinationFolder);
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
    return true;
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
    if (!m_InfoFile.Rewind())
        return false;
    return m_InfoFile.Write(bytes.data(), static_cast<DWORD>(bytes.size()));
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
    AppendUnique(m_UninstallFiles, path);
}

bool CSetupHelper2::AddUninstallDirectory(const std::string& path)
{
    CCriticalLock lock(&m_Lock);
    return AppendUnique(m_UninstallDirectories, path);
}

bool CSetupHelper2::WriteUninstallList(const std::string& fileName)
{
    CCriticalLock lock(&m_Lock);
    std::string path = UninstallListPath(m_DestinationFolder, fileName);
    AddUninstallFile(path);
    std::FILE* f = std::fopen(path.c_str(), "a+b");
    if (f == nullptr)
        return false;
    std::string block = FormatUninstallBlock(m_AppName, m_UninstallFiles, m_UninstallDirectories);
    std::fwrite(block.data(), 1, block.size(), f);
    std::fclose(f);
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
