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
    // Hot: the same buffers again and again, as a loop over cached data.
    // Cold: each copy moves on through 128 MiB, as data copied once does.
    const size_t region = 128u << 20;
    std::vector<unsigned char> source(region), destination(region);
    for (size_t i = 0; i < region; ++i)
        source[i] = static_cast<unsigned char>(i * 31 + (i >> 12));
    const size_t sizes[] = {64u << 10, 128u << 10, 256u << 10, 1u << 20, 4u << 20, 16u << 20, 64u << 20};
    for (int cold = 0; cold < 2; ++cold) {
        Bench::Header(cold ? "BlockCopy vs memcpy, cold buffers (each run moves 256 MiB)"
                           : "BlockCopy vs memcpy, hot buffers (each run moves 256 MiB)",
                      "BlockCopy", "memcpy");
        for (size_t size : sizes) {
            size_t repeat = (256u << 20) / size;
            size_t step = cold ? size : 0;
            size_t span = region - size + 1;
            char label[32];
            std::snprintf(label, sizeof(label), "%zu KiB", size >> 10);
            Bench::Row(label, 7,
                       [&] {
                           for (size_t r = 0, at = 0; r < repeat; ++r, at = (at + step) % span)
                               BlockCopy(destination.data() + at, source.data() + at, size);
                       },
                       [&] {
                           for (size_t r = 0, at = 0; r < repeat; ++r, at = (at + step) % span) {
                               std::memcpy(destination.data() + at, source.data() + at, size);
                               // Keeps the compiler from merging the repeated copies.
                               asm volatile("" : : "r"(destination.data()) : "memory");
                           }
                       });
            if (std::memcmp(destination.data(), source.data(), size) != 0) {
                std::printf("copy differs at %s\n", label);
                return 1;
            }
        }
    }
    return 0;
}
