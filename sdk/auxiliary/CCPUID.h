#pragma once

#include <cstdint>
#include <string>

namespace Corvane { namespace Base { namespace Auxiliary {

// The processor's identification and feature flags, read once per process.
class CCPUID {
public:
    enum Feature : uint32_t {
        kMMX = 1 << 0,
        kSSE = 1 << 1,
        kSSE2 = 1 << 2,
        k3DNow = 1 << 3,
        k3DNowExt = 1 << 4,
    };

    CCPUID();
    CCPUID(const CCPUID&) = delete;
    CCPUID& operator=(const CCPUID&) = delete;
    virtual ~CCPUID();

    uint32_t GetFeatures() const { return m_nFeatures; }
    bool Has(Feature feature) const { return (m_nFeatures & feature) != 0; }
    // 12 characters ("GenuineIntel", "AuthenticAMD", ...); empty without CPUID.
    const std::string& GetVendor() const { return m_Vendor; }
    // Up to 48 characters; empty when the processor reports none.
    const std::string& GetBrand() const { return m_Brand; }

private:
    uint32_t m_nFeatures;
    std::string m_Vendor;
    std::string m_Brand;
};

// The process's one CCPUID, built on first use.
CCPUID* GetCPUID();

}}}
