// The script reader over arbitrary file contents: field reads as the
// initializer script does them, with every flag combination, and raw line reads.

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "appframe/CScriptReader.h"

using Corvane::Base::File::CScriptReader;

namespace {

// Bytes of a cleaned line that must not survive into a field.
void CheckField(const std::string& f, const CScriptReader& r)
{
    FUZZ_CHECK(!fuzz::HasSingleByte(f, '\n'));
    FUZZ_CHECK(!fuzz::HasSingleByte(f, '\r'));
    if (r.m_bSplitFields)
        FUZZ_CHECK(!fuzz::HasSingleByte(f, ','));
    if (r.m_bSplitFields && r.m_bBlankSeparates) {
        FUZZ_CHECK(!fuzz::HasSingleByte(f, ' '));
        FUZZ_CHECK(!fuzz::HasSingleByte(f, '\t'));
    }
    std::vector<bool> starts = fuzz::CharacterStarts(f);
    for (size_t i = 0; i + 1 < f.size(); ++i) {
        if (!starts[i])
            continue;
        FUZZ_CHECK(!(f[i] == '/' && f[i + 1] == '/'));
        bool blank = f[i] == ' ' || f[i] == '\t';
        bool nextBlank = f[i + 1] == ' ' || f[i + 1] == '\t';
        if (r.m_bSqueezeBlanks)
            FUZZ_CHECK(!(blank && nextBlank));
        if (r.m_bSqueezeCommas)
            FUZZ_CHECK(!(f[i] == ',' && f[i + 1] == ','));
    }
}

// The file as raw line reads must give it back: the lines joined by line
// feeds are the bytes with the single-byte carriage returns taken out.
std::string WithoutCarriageReturns(const std::string& s)
{
    std::vector<bool> starts = fuzz::CharacterStarts(s);
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(starts[i] && s[i] == '\r'))
            out += s[i];
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // First byte: the four flags and the field count (1 to 8).
    CScriptReader reader;
    reader.m_bBlankSeparates = (data[0] & 1) != 0;
    reader.m_bSplitFields = (data[0] & 2) != 0;
    reader.m_bSqueezeBlanks = (data[0] & 4) != 0;
    reader.m_bSqueezeCommas = (data[0] & 8) != 0;
    const int count = ((data[0] >> 4) & 7) + 1;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    FUZZ_CHECK(!reader.ReadFields(nullptr, 0));  // nothing loaded yet
    FUZZ_CHECK(reader.OpenBuffer(text.data(), static_cast<int>(text.size())));

    // Exactly `count` strings, so a write past the last one is a heap overflow.
    std::vector<std::string> fields(static_cast<size_t>(count));
    int rows = 0;
    while (reader.ReadFields(fields.data(), count)) {
        ++rows;
        FUZZ_CHECK(rows <= static_cast<int>(text.size()) + 1);
        size_t total = 0;
        for (const std::string& f : fields) {
            CheckField(f, reader);
            total += f.size();
        }
        FUZZ_CHECK(total <= text.size() + 1);
    }
    FUZZ_CHECK(reader.GetLineCount() == rows);
    for (const std::string& f : fields)
        FUZZ_CHECK(f.empty());  // a failed read leaves every field cleared
    FUZZ_CHECK(!reader.ReadFields(fields.data(), count));

    reader.Rewind();
    FUZZ_CHECK(reader.GetLineCount() == 0);
    std::string joined, line;
    int lines = 0;
    while (reader.ReadLine(line)) {
        ++lines;
        FUZZ_CHECK(lines <= static_cast<int>(text.size()) + 1);
        FUZZ_CHECK(!fuzz::HasSingleByte(line, '\n'));
        FUZZ_CHECK(!fuzz::HasSingleByte(line, '\r'));
        joined += line + "\n";
    }
    // A lead byte at the very end takes the appended line feed as its pair.
    const std::string want = WithoutCarriageReturns(text + "\n");
    FUZZ_CHECK(joined == want || joined == want + "\n");

    reader.Release();
    FUZZ_CHECK(!reader.ReadLine(line));
    return 0;
}
