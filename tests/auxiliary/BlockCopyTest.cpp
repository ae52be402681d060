// Processor features and the streaming block copy with each of its strategies.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "auxiliary/BlockCopy.h"
#include "auxiliary/CCPUID.h"

using namespace Corvane::Base::Auxiliary;

TEST(CPUID, ReadsOnceAndReportsWhatEveryX86HasToday)
{
    CCPUID* cpu = GetCPUID();
    ASSERT_NE(nullptr, cpu);
    EXPECT_EQ(cpu, GetCPUID());
    EXPECT_EQ(12u, cpu->GetVendor().size());
    EXPECT_LE(cpu->GetBrand().size(), 48u);
    EXPECT_EQ(std::string::npos, cpu->GetBrand().find('\0'));
    // Every processor that runs a 64-bit system has these.
    EXPECT_TRUE(cpu->Has(CCPUID::kMMX));
    EXPECT_TRUE(cpu->Has(CCPUID::kSSE));
    EXPECT_TRUE(cpu->Has(CCPUID::kSSE2));
    EXPECT_EQ(0u, cpu->GetFeatures() & ~0x1Fu);
}

TEST(BlockCopy, ByteExactForEveryStrategySizeAndAlignment)
{
    const size_t sizes[] = {0, 1, 63, 64, 65, 32768, 32769, 65536, 65537, 201727, 201728, 1000000};
    struct Strategy {
        const char* name;
        uint32_t features;
    } strategies[] = {
        {"memcpy", 0},
        {"mmx", CCPUID::kMMX | CCPUID::kSSE},
        {"sse2", CCPUID::kMMX | CCPUID::kSSE | CCPUID::kSSE2},
    };
    const size_t kGuard = 16;
    const size_t largest = 1000000 + 8 + 2 * kGuard;
    std::vector<unsigned char> source(largest), destination(largest), expected(largest);
    for (size_t i = 0; i < largest; ++i)
        source[i] = static_cast<unsigned char>((i * 131) ^ (i >> 9));
    for (const Strategy& strategy : strategies) {
        for (size_t size : sizes) {
            for (size_t sa = 0; sa < 8; ++sa) {
                for (size_t da = 0; da < 8; ++da) {
                    // Guard bytes on both sides must stay as they were.
                    const size_t total = size + 8 + 2 * kGuard;
                    std::memset(destination.data(), 0xEE, total);
                    std::memcpy(expected.data(), destination.data(), total);
                    unsigned char* d = destination.data() + kGuard + da;
                    const unsigned char* s = source.data() + sa;
                    std::memcpy(expected.data() + kGuard + da, s, size);
                    void* r = BlockCopyWith(strategy.features, d, s, size);
                    ASSERT_EQ(static_cast<void*>(d), r) << strategy.name << " size " << size << " src+" << sa << " dst+" << da;
                    ASSERT_EQ(0, std::memcmp(expected.data(), destination.data(), total))
                        << strategy.name << " size " << size << " src+" << sa << " dst+" << da;
                }
            }
        }
    }
}

TEST(BlockCopy, TheProcessorsChoiceCopiesAndReturnsTheDestination)
{
    std::string from(300000, '\0');
    for (size_t i = 0; i < from.size(); ++i)
        from[i] = static_cast<char>(i * 7 + 3);
    std::string to(from.size(), 'x');
    EXPECT_EQ(static_cast<void*>(&to[0]), BlockCopy(&to[0], from.data(), from.size()));
    EXPECT_EQ(from, to);
    char one = 'a';
    EXPECT_EQ(static_cast<void*>(&one), BlockCopy(&one, "b", 0));
    EXPECT_EQ('a', one);
}
