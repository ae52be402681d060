// Built for MMX and SSE whatever the program's target; only reached when the
// processor reports SSE.
#pragma GCC target("mmx,sse")

#include <mmintrin.h>
#include <xmmintrin.h>

#include "auxiliary/BlockCopy.h"

#include "auxiliary/StreamCopy.inl"

namespace Corvane { namespace Base { namespace Auxiliary {

namespace {

// Sources and destinations need not be 8-byte aligned.
typedef __m64 __attribute__((aligned(1), may_alias)) UnalignedM64;

struct Mmx {
    static const size_t kAlign = 8;

    template <bool Stream, bool Prefetch>
    static void Lines(unsigned char* d, const unsigned char* s, size_t n)
    {
        for (size_t i = 0; i < n; ++i, d += 64, s += 64) {
            if (Prefetch)
                _mm_prefetch(reinterpret_cast<const char*>(s + 0x238), _MM_HINT_NTA);
            const UnalignedM64* from = reinterpret_cast<const UnalignedM64*>(s);
            __m64 r0 = from[0], r1 = from[1], r2 = from[2], r3 = from[3];
            __m64 r4 = from[4], r5 = from[5], r6 = from[6], r7 = from[7];
            if (Stream) {
                __m64* to = reinterpret_cast<__m64*>(d);
                _mm_stream_pi(to + 0, r0);
                _mm_stream_pi(to + 1, r1);
                _mm_stream_pi(to + 2, r2);
                _mm_stream_pi(to + 3, r3);
                _mm_stream_pi(to + 4, r4);
                _mm_stream_pi(to + 5, r5);
                _mm_stream_pi(to + 6, r6);
                _mm_stream_pi(to + 7, r7);
            } else {
                UnalignedM64* to = reinterpret_cast<UnalignedM64*>(d);
                to[0] = r0;
                to[1] = r1;
                to[2] = r2;
                to[3] = r3;
                to[4] = r4;
                to[5] = r5;
                to[6] = r6;
                to[7] = r7;
            }
        }
    }

    static void CacheLines(unsigned char* d, const unsigned char* s, size_t n) { Lines<false, true>(d, s, n); }
    static void StreamLines(unsigned char* d, const unsigned char* s, size_t n) { Lines<true, true>(d, s, n); }
    static void BlockLines(unsigned char* d, const unsigned char* s, size_t n) { Lines<true, false>(d, s, n); }

    static void Finish()
    {
        _mm_empty();
        _mm_sfence();
    }
};

}  // namespace

void* StreamCopyMmx(void* destination, const void* source, size_t count)
{
    return StreamCopyImpl<Mmx>(destination, source, count);
}

}}}
