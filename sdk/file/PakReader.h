#pragma once

// Loading one archive member or one single compressed file from any byte
// source into a CZip. Pure: the disk sits behind PakByteSource, so this is
// the code the readers run and the fuzzers feed.

#include <cstdint>
#include <string>

#include "file/CZip.h"

namespace Corvane { namespace Base { namespace File {

class PakByteSource {
public:
    virtual ~PakByteSource() {}
    virtual uint64_t Size() const = 0;
    // All of `bytes` at `position`, or false.
    virtual bool ReadAt(uint64_t position, void* buf, uint32_t bytes) = 0;
};

// What went wrong, for the one failure the readers report.
struct PakLoadFailure {
    bool m_bNoMemory = false;
    uint32_t m_nBlockSize = 0;
};

// 1: the member is inflated in `zip`. 0: not an archive, a corrupt
// directory, or no such member. -1: the member exists but its block lies
// outside the archive, cannot be read or does not inflate to its length.
// `inner` is lower case with backslashes, `innerSlash` the same with slashes.
int LoadArchiveMember(PakByteSource& archive, const std::string& inner, const std::string& innerSlash, CZip& zip,
                      PakLoadFailure& failure);

// Reads the header of a single compressed file; true when it is well formed
// and stores `lowerName` (compared after ToLower).
bool ReadSingleHeader(PakByteSource& single, const std::string& lowerName, uint32_t& offset, uint32_t& length);

// 1: inflated in `zip`; 0 on every failure.
int LoadSingle(PakByteSource& single, const std::string& lowerName, CZip& zip, PakLoadFailure& failure);

}}}
