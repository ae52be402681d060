#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "auxiliary/SetupInformationRecord.h"
#include "file/CFileWin32.h"
#include "thread/CCriticalSection.h"
#include "thread/CThread.h"

namespace Corvane { namespace Base { namespace Auxiliary {

// One installation: copies the listed files on its own time-critical thread
// with byte-exact progress, asks for retry in boxes when a file operation
// fails, and rolls back on cancel. Holds Information.reg open, unshared,
// for its whole life, and collects the uninstall lists.
//
// A destination that exists before the run is kept aside until the run is
// over: a roll-back puts it back, a successful run removes the kept copy.
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

    bool StartInstall();
    // Main thread: stops and joins the worker, then rolls the copy back.
    void CancelInstall();

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
    struct KeptFile {
        std::string destination;
        std::string kept;
        DWORD attributes;
    };

    bool ReadAllRecords(std::vector<SetupInformationRecord>& records);
    // Moves an existing destination aside once per run; false when it cannot.
    void KeepExisting(const std::string& destination);
    void RestoreKeptFiles();
    void DropKeptFiles();
    std::vector<std::string> FoldersBelowDestination(const std::string& destination);

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
    std::vector<std::string> m_UninstallFiles;
    std::vector<std::string> m_UninstallDirectories;
    File::CFileWin32 m_InfoFile;
    Thread::CCriticalSection m_Lock;

    size_t m_nReached;               // copy-list entries the run has reached
    std::vector<KeptFile> m_KeptFiles;
};

}}}
