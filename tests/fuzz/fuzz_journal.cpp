// The run's own bookkeeping, read back from a folder a user may write to:
// the install journal, the pending Information.reg update, and the test
// that decides whether a journaled path may be acted on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "auxiliary/InstallJournalFormat.h"
#include "auxiliary/SetupInformationFormat.h"
#include "file/PathText.h"

using namespace Corvane::Base::Auxiliary;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    std::vector<JournalEntry> entries;
    if (DecodeJournal(bytes, entries)) {
        // Whatever was read encodes back to the same leading bytes.
        std::string again = EncodeJournalHeader();
        for (const JournalEntry& e : entries) {
            FUZZ_CHECK(e.path.size() <= kJournalMaxPath && e.kept.size() <= kJournalMaxPath);
            again += EncodeJournalEntry(e);
        }
        FUZZ_CHECK(bytes.compare(0, again.size(), again) == 0);
        for (const JournalEntry& e : entries) {
            // Below a folder means inside it: the folder's bytes, then a separator.
            if (IsPathBelow(e.path, e.kept)) {
                FUZZ_CHECK(e.path.size() > e.kept.size() + 1);
                FUZZ_CHECK(Corvane::Base::File::ToLower(e.path.substr(0, e.kept.size())) ==
                           Corvane::Base::File::ToLower(e.kept));
                FUZZ_CHECK(e.path.find("\\..\\") == std::string::npos);
            }
        }
    }

    std::string content;
    if (DecodeSetupInformationUpdate(bytes, content))
        FUZZ_CHECK(EncodeSetupInformationUpdate(content) == bytes);

    // Split at the first NUL: a path and a folder.
    size_t nul = bytes.find('\0');
    if (nul != std::string::npos)
        IsPathBelow(bytes.substr(0, nul), bytes.substr(nul + 1));
    return 0;
}
