#pragma once

// FNV-1a over bytes: enough to tell a torn or scribbled record from a whole
// one. Not a defence against anyone who means harm. Pure: no Win32.

#include <cstddef>
#include <cstdint>

namespace Corvane { namespace Base { namespace Auxiliary {

inline uint32_t Fnv1a(const unsigned char* p, size_t n)
{
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 16777619u;
    }
    return h;
}

}}}
