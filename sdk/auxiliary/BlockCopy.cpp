#include "auxiliary/BlockCopy.h"

#include <cstring>

#include "auxiliary/CCPUID.h"

namespace Corvane { namespace Base { namespace Auxiliary {

void* BlockCopyWith(uint32_t features, void* destination, const void* source, size_t count)
{
    if ((features & CCPUID::kSSE) == 0)
        return std::memcpy(destination, source, count);
    if (features & CCPUID::kSSE2)
        return StreamCopySse2(destination, source, count);
    return StreamCopyMmx(destination, source, count);
}

void* BlockCopy(void* destination, const void* source, size_t count)
{
    static const uint32_t s_Features = [] {
        CCPUID* cpu = GetCPUID();
        return cpu != nullptr ? cpu->GetFeatures() : 0u;
    }();
    // 3DNow! is remembered too; no path uses it.
    static const bool s_b3DNow = (s_Features & CCPUID::k3DNow) != 0;
    (void)s_b3DNow;
    return BlockCopyWith(s_Features, destination, source, count);
}

}}}
