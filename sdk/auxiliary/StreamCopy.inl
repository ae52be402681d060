// The streaming copy, shared by the MMX and the SSE2 build of it. Included by
// a source that first sets its target and defines `Ops`:
//   kAlign                   destination alignment of the moves
//   CacheLines(d, s, n)      n lines with prefetch 568 bytes ahead, cached stores
//   StreamLines(d, s, n)     the same with non-temporal stores
//   BlockLines(d, s, n)      non-temporal stores, source already in the cache
//   Finish()                 emms / sfence

#include <cstdint>
#include <cstring>

namespace {

const size_t kLine = 64;
const size_t kSmall = 64;                 // below: words and bytes only
const size_t kAlignWindowLow = 32768;     // (32 KiB, 64 KiB]: no alignment
const size_t kAlignWindowHigh = 65536;
const size_t kInCacheLines = 1024;        // below 64 KiB of lines: in-cache copy
const size_t kStreamLines = 3152;         // below 197 KiB: non-temporal stores
const size_t kBlockLines = 128;           // 8 KiB blocks with block prefetch

template <class O>
void* StreamCopyImpl(void* destination, const void* source, size_t count)
{
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    size_t n = count;
    if (n >= kSmall) {
        if (n <= kAlignWindowLow || n > kAlignWindowHigh) {
            size_t head = (O::kAlign - (reinterpret_cast<uintptr_t>(d) & (O::kAlign - 1))) & (O::kAlign - 1);
            for (size_t i = 0; i < head; ++i)
                d[i] = s[i];
            d += head;
            s += head;
            n -= head;
        }
        size_t lines = n / kLine;
        n -= lines * kLine;
        if (lines < kInCacheLines) {
            O::CacheLines(d, s, lines);
        } else if (lines < kStreamLines) {
            O::StreamLines(d, s, lines);
        } else {
            size_t left = lines;
            while (left >= kBlockLines) {
                // Touch the block from its end backwards so the hardware fetches
                // all of it before the stores start.
                const size_t blockBytes = kBlockLines * kLine;
                for (size_t off = blockBytes; off != 0; off -= kLine) {
                    uint32_t word;
                    std::memcpy(&word, s + off - kLine, sizeof(word));
                    asm volatile("" : : "r"(word));
                }
                O::BlockLines(d, s, kBlockLines);
                d += blockBytes;
                s += blockBytes;
                left -= kBlockLines;
            }
            O::StreamLines(d, s, left);
            lines = left;
        }
        // Only the lines not yet stepped over by the block loop.
        d += lines * kLine;
        s += lines * kLine;
    }
    size_t words = n / 4;
    std::memcpy(d, s, words * 4);
    d += words * 4;
    s += words * 4;
    for (size_t i = 0; i < (n & 3); ++i)
        d[i] = s[i];
    O::Finish();
    return destination;
}

}  // namespace
