// The Information.reg codec over arbitrary file bytes: decoding never reads
// past what is there, and decode, encode, decode settles on the same records.

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "auxiliary/SetupInformationFormat.h"

using namespace Corvane::Base::Auxiliary;

namespace {

void CheckCut(const std::string& text)
{
    std::string cut = CutSetupInformationText(text);
    FUZZ_CHECK(cut.size() < kSetupInfoFieldSize);
    FUZZ_CHECK(text.compare(0, cut.size(), cut) == 0);
    FUZZ_CHECK(fuzz::CharacterStarts(text)[cut.size()]);  // never inside a pair
    // As long as possible: at most one byte short of the limit, and only for a pair.
    if (text.size() < kSetupInfoFieldSize)
        FUZZ_CHECK(cut == text);
    else
        FUZZ_CHECK(cut.size() >= kSetupInfoFieldSize - 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<SetupInformationRecord> records;
    bool ok = DecodeSetupInformation(bytes, records);
    FUZZ_CHECK(ok == !(size >= 1 && size <= 3));
    if (!ok) {
        FUZZ_CHECK(records.empty());
        return 0;
    }
    FUZZ_CHECK(records.size() <= (size < 4 ? 0 : (size - 4) / kSetupInfoRecordSize));
    for (const SetupInformationRecord& r : records) {
        for (const std::string* t : {&r.m_AppName, &r.m_InstallFolder, &r.m_ProgramPath, &r.m_UninstallerPath}) {
            FUZZ_CHECK(t->size() <= kSetupInfoFieldSize);
            FUZZ_CHECK(t->find('\0') == std::string::npos);
            CheckCut(*t);
        }
    }

    std::string encoded = EncodeSetupInformation(records);
    FUZZ_CHECK(encoded.size() == 4 + records.size() * kSetupInfoRecordSize);
    std::vector<SetupInformationRecord> again;
    FUZZ_CHECK(DecodeSetupInformation(encoded, again));
    FUZZ_CHECK(again.size() == records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        FUZZ_CHECK(again[i].m_AppName == CutSetupInformationText(records[i].m_AppName));
        FUZZ_CHECK(again[i].m_InstallFolder == CutSetupInformationText(records[i].m_InstallFolder));
        FUZZ_CHECK(again[i].m_ProgramPath == CutSetupInformationText(records[i].m_ProgramPath));
        FUZZ_CHECK(again[i].m_UninstallerPath == CutSetupInformationText(records[i].m_UninstallerPath));
        FUZZ_CHECK(again[i].m_bFlag == records[i].m_bFlag);
    }
    // Once cut, a record file is a fixed point.
    FUZZ_CHECK(EncodeSetupInformation(again) == encoded);

    // Merging the first record's texts back under a name from the input.
    if (!records.empty()) {
        SetupInformationRecord fresh = records[0];
        fresh.m_bFlag = !fresh.m_bFlag;
        size_t before = again.size();
        MergeSetupInformation(again, fresh);
        FUZZ_CHECK(again.size() == before || again.size() == before + 1);
        bool found = false;
        for (const SetupInformationRecord& r : again)
            if (r.m_AppName == fresh.m_AppName) {
                found = true;
                FUZZ_CHECK(r.m_bFlag == fresh.m_bFlag);
            }
        FUZZ_CHECK(found);
    }
    CheckCut(bytes);
    return 0;
}
