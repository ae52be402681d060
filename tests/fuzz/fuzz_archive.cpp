// Archive reader: header, directory walk and lookup, member bounds, block
// unscrambling and inflating, on any bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "MemorySource.h"
#include "file/CZip.h"
#include "file/PakFormat.h"
#include "file/PakReader.h"
#include "file/PathText.h"

using namespace Corvane::Base::File;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemorySource source(data, size);
    CZip zip;
    PakLoadFailure failure;
    LoadArchiveMember(source, "img\\a.bmp", "img/a.bmp", zip, failure);

    // Every member the directory names, looked up as the reader would.
    if (size < Pak::kHeaderSize)
        return 0;
    uint32_t directorySize = Pak::ReadLE32(data + Pak::kMagicSize);
    if (!Pak::DirectoryFits(directorySize, size))
        return 0;
    std::vector<Pak::Entry> entries;
    Pak::WalkDirectory(data + Pak::kHeaderSize, directorySize, entries);
    for (size_t i = 0; i < entries.size() && i < 8; ++i) {
        std::string inner = ToLower(RemoveDoubleBackslash(ToBackslash(entries[i].m_Name)));
        if (LoadArchiveMember(source, inner, ToSlash(inner), zip, failure) == 1 && zip.m_nDstSize > 0) {
            // The whole output must be addressable.
            volatile uint8_t last = zip.m_pDst[zip.m_nDstSize - 1];
            (void)last;
        }
    }
    return 0;
}
