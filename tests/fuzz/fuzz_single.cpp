// Single compressed file reader: header, stored name, block position,
// unscrambling and inflating, on any bytes.

#include <cstddef>
#include <cstdint>

#include "MemorySource.h"
#include "file/CZip.h"
#include "file/PakReader.h"
#include "file/PathText.h"

using namespace Corvane::Base::File;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemorySource source(data, size);
    CZip zip;
    PakLoadFailure failure;
    LoadSingle(source, "title.bmp", zip, failure);
    // Whatever name the file stores, as if it were the one asked for.
    if (size >= 18) {
        size_t n = data[10] < size - 14 ? data[10] : size - 14;
        std::string stored(reinterpret_cast<const char*>(data + 14), n);
        stored = stored.substr(0, stored.find('\0'));
        if (LoadSingle(source, ToLower(stored), zip, failure) == 1 && zip.m_nDstSize > 0) {
            volatile uint8_t last = zip.m_pDst[zip.m_nDstSize - 1];
            (void)last;
        }
    }
    return 0;
}
