#pragma once

// The entries of an initializer script as the programs read them, each with
// its line number and raw line, and the line-level mistakes a publisher
// cannot see at run time. Pure: no Win32. Text stays in code page 932.

#include <string>
#include <vector>

namespace CheckDist {

struct ScriptEntry {
    std::string m_Key;
    std::string m_Value;
    int m_Line = 0;     // 1-based, counted in line feeds
    std::string m_Raw;  // the physical line, carriage returns dropped
};

// The entries in file order, split by the programs' own reader.
std::vector<ScriptEntry> ReadScriptEntries(const std::string& bytes);

// What ended the value and what the reader then dropped.
struct LineShape {
    bool m_bConsistent = false;  // this scan agrees with the reader's key and value
    char m_KeyEnd = 0;           // separator that ended the key: ' ', '\t', ',' or 0
    char m_ValueEnd = 0;         // separator that ended the value, 0 at the line's end
    std::string m_Rest;          // ignored text after the value (not a comment)
    bool m_bGluedComment = false;  // "//" right after the value, as in a web address
    std::string m_Comment;       // from "//" to the end of the line
    char m_Lead = 0;             // a tab or comma the line starts with
};

LineShape DescribeLine(const ScriptEntry& entry);

}  // namespace CheckDist
