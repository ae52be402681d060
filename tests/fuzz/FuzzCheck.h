#pragma once

// Shared by the fuzz targets: a property check that stops the run with a
// report libFuzzer turns into a saved crash input, and a splitter that cuts
// one input into several strings.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(cond)                                                                 \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

namespace fuzz {

// The input cut at every 0x00 byte: NUL never occurs in the texts these
// units see, so it is a free separator.
inline std::vector<std::string> SplitAtNul(const uint8_t* data, size_t size)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            parts.emplace_back();
        else
            parts.back() += static_cast<char>(data[i]);
    }
    return parts;
}

inline bool IsLead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Positions where a character starts, a lead byte taking the byte after it
// (end included): the places a cut may fall without splitting a pair.
inline std::vector<bool> CharacterStarts(const std::string& s)
{
    std::vector<bool> starts(s.size() + 1, false);
    size_t i = 0;
    while (i < s.size()) {
        starts[i] = true;
        i += IsLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    }
    starts[s.size()] = true;
    return starts;
}

// True when the single-byte character c stands in s outside every double-byte pair.
inline bool HasSingleByte(const std::string& s, char c)
{
    std::vector<bool> starts = CharacterStarts(s);
    for (size_t i = 0; i < s.size(); ++i)
        if (starts[i] && s[i] == c)
            return true;
    return false;
}

}  // namespace fuzz
