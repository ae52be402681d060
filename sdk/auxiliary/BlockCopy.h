#pragma once

#include <cstddef>
#include <cstdint>

namespace Corvane { namespace Base { namespace Auxiliary {

// Copies `count` bytes (no overlap) and returns `destination`. With SSE it
// streams: in-cache copy with prefetch below 64 KiB of whole lines,
// non-temporal stores below 197 KiB, block prefetch in 8 KiB blocks above;
// otherwise memcpy. The processor is asked once, on first use.
void* BlockCopy(void* destination, const void* source, size_t count);

// The same for the given CCPUID feature flags instead of the processor's,
// so each strategy can be run and compared on any machine that has it.
void* BlockCopyWith(uint32_t features, void* destination, const void* source, size_t count);

// The streaming copy itself, 8 bytes per move (MMX, movntq) and 16 bytes per
// move (SSE2, movntdq). Not for processors without the named feature.
void* StreamCopyMmx(void* destination, const void* source, size_t count);
void* StreamCopySse2(void* destination, const void* source, size_t count);

}}}
