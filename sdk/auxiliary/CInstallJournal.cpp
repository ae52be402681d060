#include "auxiliary/CInstallJournal.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "auxiliary/DebugPrint.h"
#include "file/PathText.h"

namespace Corvane { namespace Base { namespace Auxiliary {

namespace {

const char kJournalName[] = "~install.journal";
// Journals are small; anything larger is not ours.
const DWORD kJournalMaxSize = 64 * 1024 * 1024;

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A file may be hidden or read-only by now; neither may stop its removal.
bool RemoveFile(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != FALSE || IsMissing(GetLastError());
}

// The destination itself, a folder below it, or one the caller made above it.
bool IsFolderOfRun(const std::string& folder, const std::string& destination)
{
    std::string lowerFolder = File::ToLower(folder), lowerDestination = File::ToLower(destination);
    if (lowerFolder == lowerDestination || IsPathBelow(folder, destination))
        return true;
    return IsPathBelow(destination, folder);
}

// A link planted under the journal's name would turn our create into a
// write elsewhere: the link itself goes, never what it points at.
void RemoveLinkAt(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    DebugPrint("CInstallJournal 記録ファイルの名前にリンクがありました。<%s>", path.c_str());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryA(path.c_str());
    else
        DeleteFileA(path.c_str());
}

}  // namespace

CInstallJournal::CInstallJournal() : m_bActive(false)
{
}

CInstallJournal::~CInstallJournal()
{
    Close();
}

std::string CInstallJournal::PathFor(const std::string& destinationFolder)
{
    return File::RemoveDoubleBackslash(destinationFolder + "\\" + kJournalName);
}

bool CInstallJournal::IsSafeBelow(const std::string& path, const std::string& folder)
{
    if (!IsPathBelow(path, folder))
        return false;
    // Walk down from the folder; what does not exist yet cannot lead anywhere.
    for (size_t i = folder.size() + 1; i <= path.size(); ++i) {
        if (i < path.size() && File::IsSJISLeadByte(static_cast<unsigned char>(path[i]))) {
            ++i;
            continue;
        }
        if (i < path.size() && path[i] != '\\')
            continue;
        DWORD attributes = GetFileAttributesA(path.substr(0, i).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            return true;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
            return false;
    }
    return true;
}

void CInstallJournal::Begin(const std::string& destinationFolder, const std::vector<std::string>& createdFolders)
{
    Close();
    m_bActive = true;
    m_DestinationFolder = destinationFolder;
    m_Path = PathFor(destinationFolder);
    m_Entries.clear();
    m_Prepared.clear();
    m_SafeFolders.clear();
    m_SafeFolders.insert(File::ToLower(destinationFolder));
    // The caller's folders first: the journal itself goes into the last of them.
    for (auto it = createdFolders.rbegin(); it != createdFolders.rend(); ++it)
        m_Entries.push_back(JournalEntry{JournalKind::Folder, *it, std::string(), 0});
    // Not open yet: these records stay in memory and go out with the header.
    CreateFolders(destinationFolder);
    RemoveLinkAt(m_Path);
    // Records of new files and folders need only survive a kill, which the
    // system's cache does; a replacement flushes its record (Append).
    if (!m_File.OpenWrite(m_Path, true)) {
        // The copy can still be rolled back from memory; only a kill cannot.
        DebugPrint("CInstallJournal::Begin() 記録ファイルを作成できません。<%s> (%lu)", m_Path.c_str(), GetLastError());
        return;
    }
    SetFileAttributesA(m_Path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    std::string bytes = EncodeJournalHeader();
    for (const JournalEntry& e : m_Entries)
        bytes += EncodeJournalEntry(e);
    if (!m_File.Write(bytes.data(), static_cast<DWORD>(bytes.size())))
        DebugPrint("CInstallJournal::Begin() 記録を書き込めません。<%s> (%lu)", m_Path.c_str(), GetLastError());
}

bool CInstallJournal::Append(const JournalEntry& entry, bool durable)
{
    m_Entries.push_back(entry);
    if (!m_File.IsOpen())
        return false;
    std::string bytes = EncodeJournalEntry(entry);
    if (bytes.empty() || !m_File.Write(bytes.data(), static_cast<DWORD>(bytes.size()))) {
        DebugPrint("CInstallJournal::Append() 記録を書き込めません。<%s> (%lu)", m_Path.c_str(), GetLastError());
        return false;
    }
    // A replacement never happens before its record would survive a power cut.
    if (durable)
        FlushFileBuffers(m_File.GetHandle());
    return true;
}

bool CInstallJournal::CreateFolders(const std::string& folder)
{
    std::vector<std::string> missing;
    std::string path = File::RemoveDoubleBackslash(folder);
    while (!path.empty() && !Exists(path)) {
        missing.push_back(path);
        std::string parent = File::GetParentDirectory(path);
        if (parent == path)
            break;
        path = parent;
    }
    bool ok = true;
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        Append(JournalEntry{JournalKind::Folder, *it, std::string(), 0}, false);
        if (!CreateDirectoryA(it->c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            ok = false;
    }
    return ok;
}

CInstallJournal::Preparation CInstallJournal::Prepare(const std::string& destination)
{
    std::string key = File::ToLower(destination);
    if (m_Prepared.count(key) != 0)
        return Preparation::Ready;
    if (!IsPathBelow(destination, m_DestinationFolder)) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return Preparation::Refused;
    }
    // A folder is looked at once per run, not once per file: every look
    // costs as much as an open.
    std::string folder, name;
    File::SplitPath(destination, folder, name);
    std::string folderKey = File::ToLower(folder);
    if (m_SafeFolders.count(folderKey) == 0) {
        if (folderKey != File::ToLower(m_DestinationFolder) && !IsSafeBelow(folder, m_DestinationFolder)) {
            SetLastError(ERROR_CANT_ACCESS_FILE);
            return Preparation::Refused;
        }
        CreateFolders(folder);
        m_SafeFolders.insert(folderKey);
    }
    DWORD attributes = GetFileAttributesA(destination.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        Append(JournalEntry{JournalKind::Created, destination, std::string(), 0}, false);
        m_Prepared.insert(key);
        return Preparation::Ready;
    }
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return Preparation::Refused;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // Nothing to keep: opening it for writing fails and says so.
        m_Prepared.insert(key);
        return Preparation::Ready;
    }
    for (int n = 0; n < 100; ++n) {
        char suffix[32];
        std::snprintf(suffix, sizeof(suffix), n == 0 ? "~keep" : "~keep%d", n);
        std::string kept = destination + suffix;
        if (Exists(kept))
            continue;
        Append(JournalEntry{JournalKind::Kept, destination, kept, attributes}, true);
        if (!MoveFileExA(destination.c_str(), kept.c_str(), MOVEFILE_WRITE_THROUGH)) {
            DWORD error = GetLastError();
            m_Entries.pop_back();  // on disk it stays: a kept file that is not there restores nothing
            SetLastError(error);
            return Preparation::NotKept;
        }
        m_Prepared.insert(key);
        return Preparation::Ready;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return Preparation::NotKept;
}

void CInstallJournal::Commit()
{
    if (!m_bActive)
        return;
    // Marked first: a kill while the originals go must not undo a finished run.
    Append(JournalEntry{JournalKind::Committed, std::string(), std::string(), 0}, true);
    bool dropped = DropKept(m_Entries, m_DestinationFolder);
    Close();
    if (dropped)
        DeleteJournalFile(m_Path);
    m_Entries.clear();
    m_Prepared.clear();
    m_SafeFolders.clear();
    m_bActive = false;
}

void CInstallJournal::Rollback()
{
    if (!m_bActive)
        return;
    bool undone = UndoFiles(m_Entries, m_DestinationFolder);
    Close();
    if (undone)
        DeleteJournalFile(m_Path);
    RemoveFolders(m_Entries, m_DestinationFolder);
    m_Entries.clear();
    m_Prepared.clear();
    m_SafeFolders.clear();
    m_bActive = false;
}

bool CInstallJournal::RecoverInterrupted(const std::string& destinationFolder)
{
    std::string path = PathFor(destinationFolder);
    if (!Exists(path))
        return false;
    if (!IsSafeBelow(path, destinationFolder)) {
        RemoveLinkAt(path);
        return false;
    }
    std::string bytes;
    std::vector<JournalEntry> entries;
    if (!File::CFileWin32::ReadWhole(path, bytes, kJournalMaxSize) || !DecodeJournal(bytes, entries)) {
        DebugPrint("CInstallJournal::RecoverInterrupted() 記録ファイルを読めません。<%s>", path.c_str());
        return false;
    }
    bool committed = std::any_of(entries.begin(), entries.end(),
                                 [](const JournalEntry& e) { return e.kind == JournalKind::Committed; });
    bool done = committed ? DropKept(entries, destinationFolder) : UndoFiles(entries, destinationFolder);
    if (done)
        DeleteJournalFile(path);
    if (!committed)
        RemoveFolders(entries, destinationFolder);
    return true;
}

void CInstallJournal::Close()
{
    m_File.Close();
}

void CInstallJournal::DeleteJournalFile(const std::string& path)
{
    if (!RemoveFile(path))
        DebugPrint("CInstallJournal 記録ファイルを削除できません。<%s> (%lu)", path.c_str(), GetLastError());
}

bool CInstallJournal::UndoFiles(const std::vector<JournalEntry>& entries, const std::string& destinationFolder)
{
    bool ok = true;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const JournalEntry& e = *it;
        if (e.kind != JournalKind::Created && e.kind != JournalKind::Kept)
            continue;
        if (!IsSafeBelow(e.path, destinationFolder) ||
            (e.kind == JournalKind::Kept && !IsSafeBelow(e.kept, destinationFolder))) {
            DebugPrint("CInstallJournal::UndoFiles() インストール先の外を指す記録を無視しました。<%s>", e.path.c_str());
            continue;
        }
        if (e.kind == JournalKind::Created) {
            if (!RemoveFile(e.path)) {
                DebugPrint("CInstallJournal::UndoFiles() ファイルを削除できません。<%s> (%lu)", e.path.c_str(),
                           GetLastError());
                ok = false;
            }
            continue;
        }
        // A kept file that is not there was never moved, or is back already.
        if (!Exists(e.kept))
            continue;
        if (!RemoveFile(e.path)) {
            DebugPrint("CInstallJournal::UndoFiles() ファイルを削除できません。<%s> (%lu)", e.path.c_str(), GetLastError());
            ok = false;
            continue;
        }
        if (!MoveFileExA(e.kept.c_str(), e.path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            DebugPrint("CInstallJournal::UndoFiles() 元のファイルを戻せません。<%s> (%lu)", e.path.c_str(), GetLastError());
            ok = false;
            continue;
        }
        if (!SetFileAttributesA(e.path.c_str(), e.attributes != 0 ? e.attributes : FILE_ATTRIBUTE_NORMAL))
            DebugPrint("CInstallJournal::UndoFiles() 属性を戻せません。<%s> (%lu)", e.path.c_str(), GetLastError());
    }
    return ok;
}

bool CInstallJournal::DropKept(const std::vector<JournalEntry>& entries, const std::string& destinationFolder)
{
    bool ok = true;
    for (const JournalEntry& e : entries) {
        if (e.kind != JournalKind::Kept)
            continue;
        if (!IsSafeBelow(e.kept, destinationFolder)) {
            DebugPrint("CInstallJournal::DropKept() インストール先の外を指す記録を無視しました。<%s>", e.kept.c_str());
            continue;
        }
        if (!RemoveFile(e.kept)) {
            DebugPrint("CInstallJournal::DropKept() ファイルを削除できません。<%s> (%lu)", e.kept.c_str(), GetLastError());
            ok = false;
        }
    }
    return ok;
}

void CInstallJournal::RemoveFolders(const std::vector<JournalEntry>& entries, const std::string& destinationFolder)
{
    std::vector<std::string> folders;
    std::unordered_set<std::string> seen;
    for (const JournalEntry& e : entries)
        if (e.kind == JournalKind::Folder && IsFolderOfRun(e.path, destinationFolder) && seen.insert(e.path).second)
            folders.push_back(e.path);
    // Deepest first, so that a parent is empty by the time its turn comes.
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& folder : folders) {
        if (RemoveDirectoryA(folder.c_str()))
            continue;
        DWORD error = GetLastError();
        // A folder that holds something of someone else's stays, as it should.
        if (error != ERROR_DIR_NOT_EMPTY && !IsMissing(error))
            DebugPrint("CInstallJournal::RemoveFolders() フォルダを削除できません。<%s> (%lu)", folder.c_str(), error);
    }
}

}}}
