// BlockCopy against the runtime's memcpy, 64 KiB to 64 MiB.

#include <cstring>
#include <string>
#include <vector>

#include "BenchTable.h"
#include "auxiliary/BlockCopy.h"
#include "auxiliary/CCPUID.h"

using namespace Corvane::Base::Auxiliary;

int main()
{
    CCPUID* cpu = GetCPUID();
    std::printf("processor: %s (%s), features 0x%x\n", cpu->GetBrand().c_str(), cpu->GetVendor().c_str(),
                static_cast<unsigned>(cpu->GetFeatures()));
    Bench::Header("BlockCopy vs memcpy (each run copies about 256 MiB in total)", "BlockCopy", "memcpy");
    const size_t largest = 64u << 20;
    std::vector<unsigned char> source(largest), destination(largest);
    for (size_t i = 0; i < largest; ++i)
        source[i] = static_cast<unsigned char>(i * 31 + (i >> 12));
    const size_t sizes[] = {64u << 10, 128u << 10, 256u << 10, 1u << 20, 4u << 20, 16u << 20, 64u << 20};
    for (size_t size : sizes) {
        size_t repeat = (256u << 20) / size;
        char label[32];
        std::snprintf(label, sizeof(label), "%zu KiB", size >> 10);
        Bench::Row(label, 7,
                   [&] {
                       for (size_t r = 0; r < repeat; ++r)
                           BlockCopy(destination.data(), source.data(), size);
                   },
                   [&] {
                       for (size_t r = 0; r < repeat; ++r) {
                           std::memcpy(destination.data(), source.data(), size);
                           // Keeps the compiler from merging the repeated copies.
                           asm volatile("" : : "r"(destination.data()) : "memory");
                       }
                   });
        if (std::memcmp(destination.data(), source.data(), size) != 0) {
            std::printf("copy differs at %s\n", label);
            return 1;
        }
    }
    return 0;
}
