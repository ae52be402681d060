#pragma once

// The bytes of Information.reg: a little-endian 32-bit count, then records of
// four 260-byte NUL-terminated texts (code page 932) and a 32-bit flag.
// Pure: no Win32.

#include <string>
#include <vector>

#include "auxiliary/SetupInformationRecord.h"

namespace Corvane { namespace Base { namespace Auxiliary {

const size_t kSetupInfoFieldSize = 260;
const size_t kSetupInfoRecordSize = 4 * kSetupInfoFieldSize + 4;  // 1044

// False when the count cannot be read (1 to 3 bytes). An empty file has no
// records. Only whole records are read: a count larger than the file holds
// reads what is there, so a corrupt count can neither loop nor read garbage.
bool DecodeSetupInformation(const std::string& bytes, std::vector<SetupInformationRecord>& records);
std::string EncodeSetupInformation(const std::vector<SetupInformationRecord>& records);

// Every record of the same name takes the new non-empty texts and the flag;
// without one the record is appended.
void MergeSetupInformation(std::vector<SetupInformationRecord>& records, const SetupInformationRecord& fresh);

// The whole new content of the file, written beside it and flushed before
// the file itself is overwritten: whoever opens the file next finishes an
// overwrite that a kill cut short, and a torn update is simply dropped.
std::string EncodeSetupInformationUpdate(const std::string& content);
// False for anything that is not a whole update.
bool DecodeSetupInformationUpdate(const std::string& bytes, std::string& content);

// At most 259 bytes, never ending inside a Shift-JIS pair, so a NUL always fits.
std::string CutSetupInformationText(const std::string& text);

}}}
