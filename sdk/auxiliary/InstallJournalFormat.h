#pragma once

// The bytes of the install journal: what one run created and what it kept
// aside, so that a run killed in the middle can be undone by the next one.
// A header, then records appended one by one; each record carries its own
// length and checksum, so a record torn by a kill ends the journal there.
// The file lies where a user may write: decoding trusts nothing. Pure: no Win32.

#include <cstdint>
#include <string>
#include <vector>

namespace Corvane { namespace Base { namespace Auxiliary {

enum class JournalKind : char {
    Folder = 'D',    // a folder the run created
    Created = 'C',   // a file the run created where none was
    Kept = 'K',      // an original moved aside to `kept` before the run wrote `path`
    Committed = 'F', // the run succeeded: kept originals are no longer needed
};

struct JournalEntry {
    JournalKind kind;
    std::string path;
    std::string kept;         // Kept only
    uint32_t attributes = 0;  // Kept only: the original's attributes
};

// Longer paths are not journaled; no path the system builds comes near it.
const size_t kJournalMaxPath = 4096;

std::string EncodeJournalHeader();
// Empty when a path is longer than kJournalMaxPath.
std::string EncodeJournalEntry(const JournalEntry& entry);

// False when the header is not a journal's. Otherwise every whole, intact
// record up to the first one that is torn, corrupt or of an unknown kind.
bool DecodeJournal(const std::string& bytes, std::vector<JournalEntry>& entries);

// True when `path` names something strictly below `folder` (letter case
// ignored, as the file system compares names) without any "." or ".."
// component, empty component, drive, stream or forward slash that could
// lead it elsewhere. A journal entry that fails this is not acted on.
bool IsPathBelow(const std::string& path, const std::string& folder);

}}}
