// Built for SSE2 whatever the program's target; only reached when the
// processor reports it.
#pragma GCC target("sse2")

#include <emmintrin.h>

#include "auxiliary/BlockCopy.h"

#include "auxiliary/StreamCopy.inl"

namespace Corvane { namespace Base { namespace Auxiliary {

namespace {

struct Sse2 {
    static const size_t kAlign = 16;

    static void Load(const unsigned char* s, __m128i& a, __m128i& b, __m128i& c, __m128i& e)
    {
        a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
        c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
        e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 48));
    }

    static void CacheLines(unsigned char* d, const unsigned char* s, size_t n)
    {
        for (size_t i = 0; i < n; ++i, d += 64, s += 64) {
            _mm_prefetch(reinterpret_cast<const char*>(s + 0x238), _MM_HINT_NTA);
            __m128i a, b, c, e;
            Load(s, a, b, c, e);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d), a);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), b);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), c);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 48), e);
        }
    }

    static void NonTemporal(unsigned char* d, const unsigned char* s, size_t n, bool prefetch)
    {
        for (size_t i = 0; i < n; ++i, d += 64, s += 64) {
            if (prefetch)
                _mm_prefetch(reinterpret_cast<const char*>(s + 0x238), _MM_HINT_NTA);
            __m128i a, b, c, e;
            Load(s, a, b, c, e);
            _mm_stream_si128(reinterpret_cast<__m128i*>(d), a);
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + 16), b);
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + 32), c);
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + 48), e);
        }
    }

    static void StreamLines(unsigned char* d, const unsigned char* s, size_t n)
    {
        // movntdq needs 16-byte alignment, which the 32-64 KiB window skips:
        // exactly 64 KiB arrives here unaligned and is copied through the cache.
        if (reinterpret_cast<uintptr_t>(d) & 15)
            CacheLines(d, s, n);
        else
            NonTemporal(d, s, n, true);
    }

    static void BlockLines(unsigned char* d, const unsigned char* s, size_t n) { NonTemporal(d, s, n, false); }

    static void Finish() { _mm_sfence(); }
};

}  // namespace

void* StreamCopySse2(void* destination, const void* source, size_t count)
{
    return StreamCopyImpl<Sse2>(destination, source, count);
}

}}}
