#include "appframe/ScriptText.h"

#include "file/PathText.h"

namespace Corvane { namespace Base { namespace File {

namespace {

inline bool IsLead(char c)
{
    return IsSJISLeadByte(static_cast<unsigned char>(c));
}

// One physical line: up to a line feed (consumed, not stored) or the end of
// the buffer; carriage returns dropped; a lead byte takes the next byte along.
void ReadPhysicalLine(const char* buffer, int size, int& pos, std::string& line)
{
    line.clear();
    int end = size + 1;
    while (pos < end) {
        char c = buffer[pos];
        if (IsLead(c) && pos + 1 < end) {
            line += c;
            line += buffer[pos + 1];
            pos += 2;
            continue;
        }
        ++pos;
        if (c == '\n')
            return;
        if (c != '\r')
            line += c;
    }
}

std::string Clean(const std::string& line, const ScriptFlags& flags)
{
    std::string out;
    out.reserve(line.size());
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (IsLead(c) && i + 1 < line.size()) {
            out += c;
            out += line[i + 1];
            i += 2;
            continue;
        }
        if ((c == ' ' || c == '\t') && flags.squeezeBlanks) {
            out += c;
            ++i;
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            continue;
        }
        if (c == ',' && flags.squeezeCommas) {
            out += c;
            ++i;
            while (i < line.size() && line[i] == ',')
                ++i;
            continue;
        }
        if (c == '/' && i + 1 < line.size() && line[i + 1] == '/')
            break;  // a comment runs to the end of the line
        out += c;
        ++i;
    }
    return out;
}

bool IsSeparator(char c, const ScriptFlags& flags)
{
    if (!flags.splitFields)
        return false;
    if (c == ',')
        return true;
    return flags.blankSeparates && (c == ' ' || c == '\t');
}

}  // namespace

bool ScriptReadFields(const char* buffer, int size, int& pos, const ScriptFlags& flags,
                      std::string* fields, int count)
{
    for (int i = 0; i < count; ++i)
        fields[i].clear();
    if (buffer == nullptr || pos > size)
        return false;
    std::string cleaned;
    for (;;) {
        std::string line;
        ReadPhysicalLine(buffer, size, pos, line);
        if (line.empty()) {
            if (pos > size)
                return false;
            continue;
        }
        cleaned = Clean(line, flags);
        if (!cleaned.empty())
            break;
        if (pos > size)
            return false;
    }
    size_t i = 0;
    if (flags.squeezeBlanks && cleaned[0] == ' ')
        i = 1;
    for (int field = 0; field < count && i < cleaned.size(); ++field) {
        while (i < cleaned.size()) {
            char c = cleaned[i];
            if (IsLead(c) && i + 1 < cleaned.size()) {
                fields[field] += c;
                fields[field] += cleaned[i + 1];
                i += 2;
                continue;
            }
            ++i;
            if (IsSeparator(c, flags))
                break;
            fields[field] += c;
        }
    }
    return true;
}

bool ScriptReadLine(const char* buffer, int size, int& pos, std::string& line)
{
    line.clear();
    if (buffer == nullptr || pos > size)
        return false;
    ReadPhysicalLine(buffer, size, pos, line);
    return true;
}

}}}
