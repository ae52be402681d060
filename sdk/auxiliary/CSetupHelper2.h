#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "auxiliary/CInstallJournal.h"
#include "auxiliary/SetupInformationRecord.h"
#include "auxiliary/UninstallListFormat.h"
#include "file/CFileWin32.h"
#include "thread/CCriticalSection.h"
#include "thread/CThread.h"

namespace Corvane { namespace Base { namespace Auxiliary {

// One installation: copies the listed files on its own time-critical thread
// with byte-exact progress, asks for retry in boxes when a file operation
// fails, and rolls back on cancel. Holds Information.reg open, unshared,
// for its whole life, and collects the uninstall lists.
//
// Every run keeps a journal in the destination folder (CInstallJournal): an
// original is moved aside before the run first writes its destination, so
// a cancel, a failure or a later run after a kill gives back exactly what was
// there, and touches nothing the run did not write.
class CSetupHelper2 : public Thread::CThread {
public:
    CSetupHelper2();
    CSetupHelper2(const CSetupHelper2&) = delete;
    CSetupHelper2& operator=(const CSetupHelper2&) = delete;
    ~CSetupHelper2() override;

    void ClearAll();
    void SetOwnerWindow(HWND owner);
    void SetAppName(const std::string& name);
    void SetSourceFolder(const std::string& folder);
    void SetDestinationFolder(const std::string& folder);
    void AddFile(const std::string& relativeName);
    void AddExtraFile(const std::string& name, const std::string& folder);
    void SetTotalSize(unsigned long long total);
    // Folders the caller made for this run (deepest first): a roll-back
    // removes them again when they are empty.
    void SetCreatedFolders(const std::vector<std::string>& folders);

    bool StartInstall();
    // Main thread: stops and joins the worker, then rolls the copy back.
    // Window messages keep flowing while it waits, so a box the worker has
    // up, owned by a window of this thread, never blocks it.
    void CancelInstall();
    // Main thread, after the post-processing of a successful run: the kept
    // originals and the journal go; from now on nothing rolls the run back.
    void FinishInstall();

    bool IsFinished();
    bool IsFailed();
    std::string GetCurrentFile();
    unsigned long long GetTotalSize();
    unsigned long long GetDoneSize();

    std::string MakeDestinationPath(const std::string& name);
    std::string MakeSourcePath(const std::string& name);

    // Information.reg in the user's application-data folder.
    static std::string GetSetupInformationFolder();
    bool OpenSetupInformation();
    void CloseSetupInformation();
    bool WriteSetupInformation(const SetupInformationRecord& record);
    bool FindSetupInformation(const std::string& name, SetupInformationRecord& record);

    void AddUninstallFile(const std::string& path);
    bool AddUninstallDirectory(const std::string& path);
    bool WriteUninstallList(const std::string& fileName);

    // Shortcuts on the desktop and in the user's program menu. False only when
    // the desktop or program-menu folder is unknown, or a menu folder cannot
    // be created. The AddUninstall operations enter the same paths in the
    // uninstall lists, once each.
    bool CreateDesktopShortcut(const std::string& target, const std::string& name);
    void AddUninstallDesktopShortcut(const std::string& name);
    bool CreateProgramMenuFolder(const std::string& subPath);
    // linkPath: below the program menu, without ".lnk".
    bool CreateProgramMenuShortcut(const std::string& target, const std::string& linkPath);
    void AddUninstallProgramMenuFolder(const std::string& subPath);
    void AddUninstallProgramMenuShortcut(const std::string& linkPath);

    void ThreadProc() override;

private:
    bool ReadAllRecords(std::vector<SetupInformationRecord>& records);
    void ApplyPendingUpdate();
    std::vector<std::string> FoldersBelowDestination(const std::string& destination);
    // Stops the worker and waits for it without blocking window messages.
    void StopPumping();
    // A retry box, unless a stop was requested: then the answer is Cancel.
    int AskRetry(HWND owner, const std::string& text, const char* caption);

    HWND m_hOwnerWindow;
    std::string m_AppName;
    std::string m_SourceFolder;
    std::string m_DestinationFolder;
    std::vector<std::string> m_RelativeNames;
    std::vector<std::string> m_SourcePaths;
    unsigned long long m_nTotalSize;
    std::string m_CurrentSource;
    std::string m_CurrentDestination;
    unsigned long long m_nDoneSize;
    bool m_bFinished;
    bool m_bFailed;
    UniqueList m_UninstallFiles;  // appends without scanning: runs of many files
    UniqueList m_UninstallDirectories;
    File::CFileWin32 m_InfoFile;
    Thread::CCriticalSection m_Lock;

    std::vector<std::string> m_CreatedFolders;
    CInstallJournal m_Journal;  // the worker's while it runs, the main thread's after
    std::atomic<bool> m_bWorkerEnded;
};

}}}
