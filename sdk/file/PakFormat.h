#pragma once

// The bytes of .pak archives and single compressed files, shared by the
// reader (CZipArchiveFile, CZipSingleFile) and the publisher's pak tool.
// Pure: no Win32, so it also builds natively for sanitizers and fuzzers.
//
// Archive:  "TAVIPACK4A", D (LE32), directory of D bytes, member blocks.
// Entry:    L (LE32, name length with its zero), name, offset ^ K, length ^ K.
// Single:   "TAVIPACK4S", L, name with its zero, offset ^ K, length ^ K, block.
// Block:    zlib stream, uncompressed length (LE32); its first min(B, 32)
//           bytes XOR-ed with a key stream derived from B.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Corvane { namespace Base { namespace File { namespace Pak {

const size_t kMagicSize = 10;
extern const char kArchiveMagic[kMagicSize + 1];  // "TAVIPACK4A"
extern const char kSingleMagic[kMagicSize + 1];   // "TAVIPACK4S"
const size_t kHeaderSize = kMagicSize + 4;
// Names hold at most 259 bytes plus their zero byte.
const size_t kMaxNameSize = 260;
// Added to the first key byte of every block; reader and writer must agree.
const unsigned char kBlockKeyConstant = 0xA7;
// Deflate cannot expand more than this per input byte, so a larger stored
// length is a forgery and is refused before anything is allocated.
const uint64_t kMaxInflateRatio = 1032;
// Blocks hold a zlib stream and the 4-byte length: anything shorter is corrupt.
const size_t kMinBlockSize = 5;

uint32_t ReadLE32(const unsigned char* p);
void AppendLE32(std::string& out, uint32_t v);

// Sum of the name's bytes up to its first zero, each a signed 8-bit value.
uint32_t EntryKey(const char* name, size_t size);

// XORs the first min(size, 32) bytes with the key stream for a block of
// `size` bytes. Its own inverse: scrambles and unscrambles.
void ScrambleBlockHead(unsigned char* block, size_t size);

bool HasMagic(const unsigned char* header, const char* magic);

// One entry of a walked directory; offset and length already unscrambled.
struct Entry {
    std::string m_Name;  // without its zero byte
    uint32_t m_Offset;
    uint32_t m_Length;
};

enum class Lookup { Found, NotFound, Corrupt };

// Looks `inner` or `innerSlash` up among the entries; names compare after
// ToLower. Corrupt: a name length of 0 never seen inside `size` bytes, a
// name running past the directory or longer than kMaxNameSize, or a
// name without its zero byte. Found entries are not yet checked against
// the archive's size (see MemberFits).
Lookup FindEntry(const unsigned char* directory, size_t size, const std::string& inner,
                 const std::string& innerSlash, Entry& found);

// Every entry in order; false when the directory is corrupt (as above).
bool WalkDirectory(const unsigned char* directory, size_t size, std::vector<Entry>& entries);

// D of an archive of `archiveSize` bytes is usable: room for the header,
// the directory and at least its terminating zero.
bool DirectoryFits(uint32_t directorySize, uint64_t archiveSize);
// A block lies wholly inside the file and can hold a stream and its length.
bool MemberFits(uint32_t offset, uint32_t length, uint64_t fileSize);

// Parses the name part of a single compressed file: `rest` holds the L bytes
// of the name and the two scrambled words (L + 8 bytes). False when L is 0,
// above kMaxNameSize or the name lacks its zero byte at L - 1.
bool ParseSingleName(const unsigned char* rest, uint32_t nameSize, std::string& name,
                     uint32_t& offset, uint32_t& length);

// The stored uncompressed length of an unscrambled block, when the block is
// big enough and the length is one deflate can reach from it.
bool BlockLength(const unsigned char* block, size_t size, uint32_t& length);

// Inflates an unscrambled block into `out`, which holds at least `length`
// bytes (its BlockLength). True only when zlib accepts the stream and
// produces exactly the stored length.
bool InflateBlock(const unsigned char* block, size_t size, unsigned char* out, uint32_t length);

// The decimal values of the extension's bytes as signed 8-bit numbers, run together.
std::string ExtensionDigits(const std::string& ext);

// Writer side. A compressed block (scrambled) for `size` bytes of data;
// false when zlib fails or the block would not fit 32-bit lengths.
bool MakeBlock(const unsigned char* data, size_t size, std::string& block, int level);
// Bytes one directory entry takes for a name (without its zero byte).
size_t EntrySize(const std::string& name);
// The whole directory, its terminating zero included; names are stored with
// their zero byte and the entries' offsets and lengths scrambled.
std::string EncodeDirectory(const std::vector<Entry>& entries);
std::string EncodeArchiveHeader(uint32_t directorySize);
// Magic, L, name with its zero byte and the scrambled block position.
std::string EncodeSingleHeader(const std::string& name, uint32_t offset, uint32_t length);

}}}}
