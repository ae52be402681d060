#include "ScriptLint.h"

#include "appframe/ScriptText.h"
#include "file/PathText.h"

namespace CheckDist {

using Corvane::Base::File::IsSJISLeadByte;
using Corvane::Base::File::ScriptFlags;
using Corvane::Base::File::ScriptReadFields;
using Corvane::Base::File::ScriptReadLine;

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLead(char c)
{
    return IsSJISLeadByte(static_cast<unsigned char>(c));
}

int CountLineFeeds(const std::string& bytes, int end)
{
    int n = 0;
    for (int i = 0; i < end; ++i)
        n += bytes[i] == '\n';
    return n;
}

}  // namespace

std::vector<ScriptEntry> ReadScriptEntries(const std::string& bytes)
{
    std::vector<ScriptEntry> entries;
    // The reader's buffer: the file and one appended line feed.
    std::string buffer = bytes + '\n';
    int size = static_cast<int>(bytes.size());
    ScriptFlags flags;
    int pos = 0;
    for (;;) {
        int before = pos;
        std::string fields[2];
        if (!ScriptReadFields(buffer.data(), size, pos, flags, fields, 2))
            break;
        // The delivered line is the last physical line the reader took.
        ScriptEntry e;
        e.m_Key = fields[0];
        e.m_Value = fields[1];
        int start = before;
        int cursor = before;
        std::string line;
        while (cursor < pos) {
            start = cursor;
            if (!ScriptReadLine(buffer.data(), size, cursor, line))
                break;
        }
        e.m_Raw = line;
        e.m_Line = CountLineFeeds(buffer, start) + 1;
        entries.push_back(e);
    }
    return entries;
}

LineShape DescribeLine(const ScriptEntry& entry)
{
    LineShape shape;
    const std::string& raw = entry.m_Raw;
    // Where the comment starts; a double-byte character is never part of one.
    size_t cut = raw.size();
    for (size_t i = 0; i < raw.size(); ++i) {
        if (IsLead(raw[i]) && i + 1 < raw.size()) {
            ++i;
            continue;
        }
        if (raw[i] == '/' && i + 1 < raw.size() && raw[i + 1] == '/') {
            cut = i;
            break;
        }
    }
    shape.m_Comment = raw.substr(cut);
    std::string text = raw.substr(0, cut);

    // Fields as the reader splits them: a run of blanks and tabs is one
    // separator, each comma another; one leading blank run is skipped.
    std::vector<std::string> fields(1);
    std::vector<size_t> starts(1, 0);
    std::vector<char> ends;
    size_t i = 0;
    if (!text.empty() && text[0] == ' ') {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
    } else if (!text.empty() && (text[0] == '\t' || text[0] == ',')) {
        shape.m_Lead = text[0];
    }
    starts[0] = i;
    while (i < text.size()) {
        char c = text[i];
        if (IsLead(c) && i + 1 < text.size()) {
            fields.back() += text.substr(i, 2);
            i += 2;
            continue;
        }
        if (IsBlank(c) || c == ',') {
            ends.push_back(c);
            ++i;
            if (IsBlank(c))
                while (i < text.size() && IsBlank(text[i]))
                    ++i;
            fields.emplace_back();
            starts.push_back(i);
            continue;
        }
        fields.back() += c;
        ++i;
    }
    std::string key = fields[0];
    std::string value = fields.size() > 1 ? fields[1] : std::string();
    shape.m_bConsistent = key == entry.m_Key && value == entry.m_Value;
    shape.m_KeyEnd = ends.size() > 0 ? ends[0] : 0;
    shape.m_ValueEnd = ends.size() > 1 ? ends[1] : 0;
    if (fields.size() > 2)
        shape.m_Rest = text.substr(starts[2]);
    // Trailing separators carry nothing.
    while (!shape.m_Rest.empty() && (IsBlank(shape.m_Rest.back()) || shape.m_Rest.back() == ','))
        shape.m_Rest.pop_back();
    shape.m_bGluedComment = cut < raw.size() && cut > 0 && !IsBlank(raw[cut - 1]) && raw[cut - 1] != ',' &&
                            fields.size() <= 2;
    return shape;
}

}  // namespace CheckDist
