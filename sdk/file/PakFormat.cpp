#include "file/PakFormat.h"

#include <cstring>

#include <zlib.h>

#include "file/PathText.h"

namespace Corvane { namespace Base { namespace File { namespace Pak {

const char kArchiveMagic[kMagicSize + 1] = "TAVIPACK4A";
const char kSingleMagic[kMagicSize + 1] = "TAVIPACK4S";

uint32_t ReadLE32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void AppendLE32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t EntryKey(const char* name, size_t size)
{
    uint32_t key = 0;
    for (size_t i = 0; i < size && name[i] != '\0'; ++i)
        key += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(name[i])));
    return key;
}

void ScrambleBlockHead(unsigned char* block, size_t size)
{
    // The key stream depends only on the low 32 bits of the size, as stored.
    uint32_t b = static_cast<uint32_t>(size);
    unsigned char key = static_cast<unsigned char>(((b >> 3) & 0xFF) + kBlockKeyConstant);
    size_t n = size < 32 ? size : 32;
    for (size_t i = 0; i < n; ++i) {
        block[i] ^= key;
        key = static_cast<unsigned char>(key << 3);
    }
}

bool HasMagic(const unsigned char* header, const char* magic)
{
    return std::memcmp(header, magic, kMagicSize) == 0;
}

namespace {

// Reads the entry at `pos`; false when it is corrupt. `end` is true for the
// terminating zero.
bool ReadEntry(const unsigned char* directory, size_t size, size_t& pos, bool& end, Entry& entry)
{
    if (size - pos < 4)
        return false;
    uint32_t nameSize = ReadLE32(directory + pos);
    if (nameSize == 0) {
        end = true;
        return true;
    }
    end = false;
    if (nameSize > kMaxNameSize || size - pos - 4 < static_cast<size_t>(nameSize) + 8)
        return false;
    const char* name = reinterpret_cast<const char*>(directory + pos + 4);
    const void* zero = std::memchr(name, 0, nameSize);
    if (zero == nullptr)
        return false;
    entry.m_Name.assign(name, static_cast<const char*>(zero) - name);
    uint32_t key = EntryKey(name, nameSize);
    entry.m_Offset = ReadLE32(directory + pos + 4 + nameSize) ^ key;
    entry.m_Length = ReadLE32(directory + pos + 8 + nameSize) ^ key;
    pos += 4 + static_cast<size_t>(nameSize) + 8;
    return true;
}

}  // namespace

Lookup FindEntry(const unsigned char* directory, size_t size, const std::string& inner,
                 const std::string& innerSlash, Entry& found)
{
    size_t pos = 0;
    Entry entry;
    for (;;) {
        bool end = false;
        if (!ReadEntry(directory, size, pos, end, entry))
            return Lookup::Corrupt;
        if (end)
            return Lookup::NotFound;
        std::string lower = ToLower(entry.m_Name);
        if (lower == inner || lower == innerSlash) {
            found = entry;
            return Lookup::Found;
        }
    }
}

bool WalkDirectory(const unsigned char* directory, size_t size, std::vector<Entry>& entries)
{
    entries.clear();
    size_t pos = 0;
    Entry entry;
    for (;;) {
        bool end = false;
        if (!ReadEntry(directory, size, pos, end, entry))
            return false;
        if (end)
            return true;
        entries.push_back(entry);
    }
}

bool DirectoryFits(uint32_t directorySize, uint64_t archiveSize)
{
    return directorySize >= 4 && archiveSize >= kHeaderSize &&
           static_cast<uint64_t>(directorySize) <= archiveSize - kHeaderSize;
}

bool MemberFits(uint32_t offset, uint32_t length, uint64_t fileSize)
{
    return length >= kMinBlockSize && static_cast<uint64_t>(offset) + length <= fileSize;
}

bool ParseSingleName(const unsigned char* rest, uint32_t nameSize, std::string& name,
                     uint32_t& offset, uint32_t& length)
{
    if (nameSize == 0 || nameSize > kMaxNameSize)
        return false;
    const char* text = reinterpret_cast<const char*>(rest);
    if (text[nameSize - 1] != '\0')
        return false;
    name.assign(text, std::strlen(text));
    uint32_t key = EntryKey(text, nameSize);
    offset = ReadLE32(rest + nameSize) ^ key;
    length = ReadLE32(rest + nameSize + 4) ^ key;
    return true;
}

bool BlockLength(const unsigned char* block, size_t size, uint32_t& length)
{
    if (block == nullptr || size < kMinBlockSize)
        return false;
    length = ReadLE32(block + size - 4);
    // 0xFFFFFFFF would wrap the length + 1 allocation to nothing.
    uint64_t reachable = (static_cast<uint64_t>(size) - 4) * kMaxInflateRatio;
    return length != 0xFFFFFFFFu && length <= reachable;
}

bool InflateBlock(const unsigned char* block, size_t size, unsigned char* out, uint32_t length)
{
    if (block == nullptr || size < kMinBlockSize || out == nullptr)
        return false;
    if (ReadLE32(block + size - 4) != length)
        return false;
    uLongf produced = length;
    // uncompress wants a non-null buffer even for 0 bytes; `out` is one.
    int rc = uncompress(out, &produced, block, static_cast<uLong>(size - 4));
    return rc == Z_OK && produced == length;
}

std::string ExtensionDigits(const std::string& ext)
{
    std::string digits;
    for (char c : ext)
        digits += IntToString(static_cast<signed char>(c));
    return digits;
}

bool MakeBlock(const unsigned char* data, size_t size, std::string& block, int level)
{
    block.clear();
    if (size > 0xFFFFFFFFu - 4)
        return false;
    uLong bound = compressBound(static_cast<uLong>(size));
    block.resize(static_cast<size_t>(bound) + 4);
    uLongf written = bound;
    static const unsigned char kNothing = 0;
    if (compress2(reinterpret_cast<unsigned char*>(&block[0]), &written, size ? data : &kNothing,
                  static_cast<uLong>(size), level) != Z_OK)
        return false;
    block.resize(written);
    AppendLE32(block, static_cast<uint32_t>(size));
    ScrambleBlockHead(reinterpret_cast<unsigned char*>(&block[0]), block.size());
    return true;
}

size_t EntrySize(const std::string& name)
{
    return 4 + name.size() + 1 + 8;
}

std::string EncodeDirectory(const std::vector<Entry>& entries)
{
    std::string out;
    for (const Entry& e : entries) {
        uint32_t key = EntryKey(e.m_Name.c_str(), e.m_Name.size());
        AppendLE32(out, static_cast<uint32_t>(e.m_Name.size() + 1));
        out.append(e.m_Name);
        out += '\0';
        AppendLE32(out, e.m_Offset ^ key);
        AppendLE32(out, e.m_Length ^ key);
    }
    AppendLE32(out, 0);
    return out;
}

std::string EncodeArchiveHeader(uint32_t directorySize)
{
    std::string out(kArchiveMagic, kMagicSize);
    AppendLE32(out, directorySize);
    return out;
}

std::string EncodeSingleHeader(const std::string& name, uint32_t offset, uint32_t length)
{
    std::string out(kSingleMagic, kMagicSize);
    uint32_t key = EntryKey(name.c_str(), name.size());
    AppendLE32(out, static_cast<uint32_t>(name.size() + 1));
    out.append(name);
    out += '\0';
    AppendLE32(out, offset ^ key);
    AppendLE32(out, length ^ key);
    return out;
}

}}}}
