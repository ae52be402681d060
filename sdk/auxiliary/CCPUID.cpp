#include "auxiliary/CCPUID.h"

#include <cpuid.h>

#include <cstring>

#include "thread/Singleton.h"

namespace Corvane { namespace Base { namespace Auxiliary {

namespace {

void AppendRegister(std::string& out, unsigned int value)
{
    char bytes[4];
    std::memcpy(bytes, &value, 4);
    out.append(bytes, 4);
}

}  // namespace

CCPUID::CCPUID() : m_nFeatures(0)
{
    // On i686 this toggles the ID bit of EFLAGS first and answers 0 when it
    // will not move: no CPUID instruction.
    if (__get_cpuid_max(0, nullptr) == 0)
        return;
    unsigned int a, b, c, d;
    __cpuid(1, a, b, c, d);
    if (d & (1u << 23))
        m_nFeatures |= kMMX;
    if (d & (1u << 25))
        m_nFeatures |= kSSE;
    if (d & (1u << 26))
        m_nFeatures |= kSSE2;
    __cpuid(0x80000001u, a, b, c, d);
    if (d & (1u << 31))
        m_nFeatures |= k3DNow;
    if (d & (1u << 30))
        m_nFeatures |= k3DNowExt;

    __cpuid(0, a, b, c, d);
    AppendRegister(m_Vendor, b);
    AppendRegister(m_Vendor, d);
    AppendRegister(m_Vendor, c);

    __cpuid(0x80000000u, a, b, c, d);
    // Only a processor that has the three brand leaves is asked for them.
    if (a >= 0x80000004u) {
        std::string brand;
        for (unsigned int leaf = 0x80000002u; leaf <= 0x80000004u; ++leaf) {
            __cpuid(leaf, a, b, c, d);
            AppendRegister(brand, a);
            AppendRegister(brand, b);
            AppendRegister(brand, c);
            AppendRegister(brand, d);
        }
        m_Brand = brand.substr(0, brand.find('\0'));
    }
}

CCPUID::~CCPUID()
{
}

CCPUID* GetCPUID()
{
    return Thread::CSingleton<CCPUID>::Get();
}

}}}
