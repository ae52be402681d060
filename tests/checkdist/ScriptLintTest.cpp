// Line numbers and the shape of each line, against the reader's own split.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptLint.h"

using CheckDist::DescribeLine;
using CheckDist::ReadScriptEntries;
using CheckDist::ScriptEntry;

TEST(ScriptLint, EntriesCarryTheLineTheyStandOn)
{
    // Empty and comment-only lines count; CR LF and LF both end lines; a
    // line of blanks is an entry with nothing in it, as the reader gives it;
    // a lead byte takes the line feed after it along, so that line continues.
    std::string file = "// header\r\n\r\nA 1\r\n  \t\nB 2\n\x95\nC 3\n// end\nD 4";
    std::vector<ScriptEntry> entries = ReadScriptEntries(file);
    struct Want {
        const char* key;
        int line;
    } want[] = {{"A", 3}, {"", 4}, {"B", 5}, {"\x95\n" "C", 6}, {"D", 9}};
    ASSERT_EQ(sizeof(want) / sizeof(want[0]), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(want[i].key, entries[i].m_Key) << "case " << i;
        EXPECT_EQ(want[i].line, entries[i].m_Line) << "case " << i;
    }
}

TEST(ScriptLint, LineShapeNamesTheCutAndTheIgnoredRest)
{
    struct Case {
        const char* line;
        const char* key;
        const char* value;
        char valueEnd;
        const char* rest;
        bool glued;
    } cases[] = {
        {"Key value", "Key", "value", 0, "", false},
        {"Key  \t value   ", "Key", "value", ' ', "", false},
        {"Key value more words", "Key", "value", ' ', "more words", false},
        {"Key value,more", "Key", "value", ',', "more", false},
        {"Key a\tb", "Key", "a", '\t', "b", false},
        {"Key, value", "Key", "", ' ', "value", false},
        {"Key,,value", "Key", "", ',', "value", false},
        {"Key = value", "Key", "=", ' ', "value", false},
        {"Url http://example.jp/", "Url", "http:", 0, "", true},
        {"Key value // a note", "Key", "value", ' ', "", false},
        {"Key value/", "Key", "value/", 0, "", false},
        {" Key value", "Key", "value", 0, "", false},
        {"\tKey value", "", "Key", ' ', "value", false},
        // 表 ends in 0x5C and 畫 in 0x7C: trail bytes, never separators.
        {"Key 表示 畫", "Key", "表示", ' ', "畫", false},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const Case& c = cases[i];
        std::vector<ScriptEntry> entries = ReadScriptEntries(c.line);
        ASSERT_EQ(1u, entries.size()) << "case " << i << ": " << c.line;
        EXPECT_EQ(c.key, entries[0].m_Key) << "case " << i << ": " << c.line;
        EXPECT_EQ(c.value, entries[0].m_Value) << "case " << i << ": " << c.line;
        CheckDist::LineShape shape = DescribeLine(entries[0]);
        EXPECT_TRUE(shape.m_bConsistent) << "case " << i << ": " << c.line;
        EXPECT_EQ(c.rest, shape.m_Rest) << "case " << i << ": " << c.line;
        if (*c.rest != '\0') {
            EXPECT_EQ(c.valueEnd, shape.m_ValueEnd) << "case " << i << ": " << c.line;
        }
        EXPECT_EQ(c.glued, shape.m_bGluedComment) << "case " << i << ": " << c.line;
    }
}
