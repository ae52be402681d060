#pragma once

#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "auxiliary/InstallJournalFormat.h"
#include "file/CFileWin32.h"

namespace Corvane { namespace Base { namespace Auxiliary {

// What one run has done to a destination folder, in memory and in a hidden
// file inside that folder: the folders and files it created and the
// originals it moved aside. The file lies beside what it describes, so any
// later run into the same folder finds it, whichever account runs elevated,
// and a kept original is renamed on the same volume, never copied.
//
// Undoing gives back every kept original with its attributes, removes what
// the run created and the folders it made when they are empty, and touches
// nothing else. Each step that fails is reported and the rest still runs;
// the journal then stays, so the next run into the folder finishes the job.
// Used by one thread at a time.
class CInstallJournal {
public:
    CInstallJournal();
    CInstallJournal(const CInstallJournal&) = delete;
    CInstallJournal& operator=(const CInstallJournal&) = delete;
    ~CInstallJournal();

    static std::string PathFor(const std::string& destinationFolder);

    // May the elevated installer write, rename or delete `path`? Only when it
    // lies below the folder and no existing folder on the way (nor the path
    // itself) is a reparse point: a junction or link planted there by a user
    // would lead the write somewhere else.
    static bool IsSafeBelow(const std::string& path, const std::string& folder);

    // Undoes an interrupted run whose journal lies in the folder (or, when it
    // got as far as succeeding, only drops its kept originals); true when
    // there was one.
    static bool RecoverInterrupted(const std::string& destinationFolder);

    // Starts an empty journal for a run into the folder; the folders listed
    // (made by the caller for this run) are recorded first.
    void Begin(const std::string& destinationFolder, const std::vector<std::string>& createdFolders);
    bool IsActive() const { return m_bActive; }

    // Once per destination and run, before the run first writes it: the
    // path must lie below the folder and pass through no link; its folder
    // and missing parents are created (each recorded first); an existing
    // file is moved aside (recorded on disk first), a missing one recorded
    // as created. On Refused and NotKept the system's error code is set and
    // nothing may be written there: NotKept is an original that could not be
    // moved aside, Refused a path outside the folder or through a link.
    enum class Preparation { Ready, Refused, NotKept };
    Preparation Prepare(const std::string& destination);

    // Success: the originals are no longer needed; the journal goes.
    void Commit();
    // Failure or cancel: everything back as it was before the run.
    void Rollback();

private:
    bool Append(const JournalEntry& entry, bool durable);
    bool CreateFolders(const std::string& folder);
    void Close();
    static bool UndoFiles(const std::vector<JournalEntry>& entries, const std::string& destinationFolder);
    static bool DropKept(const std::vector<JournalEntry>& entries, const std::string& destinationFolder);
    static void RemoveFolders(const std::vector<JournalEntry>& entries, const std::string& destinationFolder);
    static void DeleteJournalFile(const std::string& path);

    bool m_bActive;
    std::string m_DestinationFolder;
    std::string m_Path;
    File::CFileWin32 m_File;
    std::vector<JournalEntry> m_Entries;
    std::unordered_set<std::string> m_Prepared;     // lower-case destinations already handled this run
    std::unordered_set<std::string> m_SafeFolders;  // lower-case folders checked and made this run
};

}}}
