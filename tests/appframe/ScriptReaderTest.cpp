#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "appframe/CInitializerScript.h"
#include "appframe/CScriptReader.h"
#include "support/ScratchDir.h"

using Corvane::Base::AppFrame::CInitializerScript;
using Corvane::Base::File::CScriptReader;

namespace {

typedef std::vector<std::vector<std::string>> Rows;

// All rows ReadFields gives for a text, two fields each.
Rows Parse(const std::string& text, int count = 2, CScriptReader* configured = nullptr)
{
    CScriptReader local;
    CScriptReader& reader = configured != nullptr ? *configured : local;
    reader.OpenBuffer(text.data(), static_cast<int>(text.size()));
    Rows rows;
    std::vector<std::string> fields(count);
    for (int guard = 0; guard < 10000 && reader.ReadFields(fields.data(), count); ++guard)
        rows.push_back(fields);
    return rows;
}

std::string Show(const Rows& rows)
{
    std::string s;
    for (const auto& row : rows) {
        s += "[";
        for (const auto& f : row)
            s += "<" + f + ">";
        s += "]";
    }
    return s;
}

}  // namespace

TEST(ScriptReader, FieldsByTheDefaultRules)
{
    struct Case { const char* name; std::string text; Rows want; } cases[] = {
        {"last line without line feed", "A 1\nB 2", {{"A", "1"}, {"B", "2"}}},
        {"CR LF ending adds nothing", "A 1\r\nB 2\r\n", {{"A", "1"}, {"B", "2"}}},
        {"two commas give an empty field", "A,,B\n", {{"A", ""}}},
        {"blank and tab runs are one separator", "A  B\nC\t\tD\nE \t F\n", {{"A", "B"}, {"C", "D"}, {"E", "F"}}},
        {"one comma separates", "Key,Value\n", {{"Key", "Value"}}},
        {"comma then blank: empty value", "Key, Value\n", {{"Key", ""}}},
        {"equals sign is the value", "Key = Value\n", {{"Key", "="}}},
        {"a web address is cut at //", "URL http://example.jp/x\n", {{"URL", "http:"}}},
        {"a single slash at the end is kept", "Path a/\n", {{"Path", "a/"}}},
        {"comment-only and empty lines skipped", "// note\n\n\r\nA 1 // trailing\n", {{"A", "1"}}},
        {"a leading blank is skipped", " A 1\n", {{"A", "1"}}},
        {"a leading tab gives an empty key", "\tWord 1\n", {{"", "Word"}}},
        {"key only", "Lonely\n", {{"Lonely", ""}}},
        {"the rest of the line is ignored", "A 1 2 3\n", {{"A", "1"}}},
        {"empty file", "", {}},
        {"only line ends", "\n\r\n\n", {}},
        {"Shift-JIS value with trail byte 0x5C", "Name ソフト\\x\n", {{"Name", "ソフト\\x"}}},
        {"pairs never split at ',' '/' or line ends",
         std::string("V \x83,\x83/\x83/ok\n"), {{"V", "\x83,\x83/\x83/ok"}}},
        {"a lead byte before a line feed takes it along", std::string("A \x83\nB 1\n"), {{"A", "\x83\nB"}}},
        {"a lead byte as the last byte takes the appended line feed", std::string("A \x83"), {{"A", "\x83\n"}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Show(c.want), Show(Parse(c.text))) << c.name;
}

TEST(ScriptReader, FlagsChangeTheSplitting)
{
    CScriptReader squeezeCommas;
    squeezeCommas.m_bSqueezeCommas = true;
    EXPECT_EQ(Show({{"A", "B"}}), Show(Parse("A,,B\n", 2, &squeezeCommas)));

    CScriptReader commasOnly;
    commasOnly.m_bBlankSeparates = false;
    EXPECT_EQ(Show({{"a b", "c"}}), Show(Parse("a b,c\n", 2, &commasOnly)));

    CScriptReader noSplit;
    noSplit.m_bSplitFields = false;
    EXPECT_EQ(Show({{"a b,c"}}), Show(Parse("a b,c\n", 1, &noSplit)));

    CScriptReader keepBlanks;
    keepBlanks.m_bSqueezeBlanks = false;
    EXPECT_EQ(Show({{"", "a", ""}}), Show(Parse(" a  \n", 3, &keepBlanks)));
}

TEST(ScriptReader, RawLinesAndRewind)
{
    CScriptReader reader;
    std::string text = "### head\r\n// kept\n\n\x83\x5C\n";
    ASSERT_TRUE(reader.OpenBuffer(text.data(), static_cast<int>(text.size())));
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(line))
        lines.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"### head", "// kept", "", "\x83\x5C", ""}), lines);
    EXPECT_EQ(0, reader.GetLineCount());
    reader.Rewind();
    std::string fields[2];
    ASSERT_TRUE(reader.ReadFields(fields, 2));
    EXPECT_EQ("###", fields[0]);
    EXPECT_EQ(1, reader.GetLineCount());
    reader.Release();
    EXPECT_FALSE(reader.ReadLine(line));
    EXPECT_FALSE(reader.ReadFields(fields, 2));
}

TEST(ScriptReader, BufferSizesTheCursorCannotCoverAreRefused)
{
    CScriptReader reader;
    const char byte = 'A';
    EXPECT_FALSE(reader.OpenBuffer(&byte, -1));
    EXPECT_FALSE(reader.OpenBuffer(&byte, 0x7FFFFFFF));  // refused before anything is read
    EXPECT_FALSE(reader.OpenBuffer(nullptr, 1));
    std::string line;
    EXPECT_FALSE(reader.ReadLine(line));
    ASSERT_TRUE(reader.OpenBuffer(nullptr, 0));
    EXPECT_TRUE(reader.ReadLine(line));
    EXPECT_EQ("", line);
}

TEST(ScriptReader, AnyBytesParseWithoutHarm)
{
    uint32_t seed = 12345;
    for (int round = 0; round < 300; ++round) {
        std::string text;
        int length = round % 7 == 0 ? 5000 : static_cast<int>(seed % 200);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            const char alphabet[] = {'a', ' ', '\t', ',', '/', '\n', '\r', '\x83', '\x5C', '\xE0', '\0', 'Z'};
            text += (seed >> 16) % 3 == 0 ? static_cast<char>(seed >> 8) : alphabet[(seed >> 16) % sizeof(alphabet)];
        }
        Rows rows = Parse(text, 3);
        EXPECT_LE(rows.size(), text.size() + 1) << "round " << round;
        CScriptReader reader;
        reader.OpenBuffer(text.data(), static_cast<int>(text.size()));
        std::string line;
        size_t lines = 0, bytes = 0;
        while (reader.ReadLine(line) && lines <= text.size() + 1) {
            ++lines;
            bytes += line.size();
        }
        EXPECT_LE(bytes, text.size() + 1) << "round " << round;
    }
}

TEST(InitializerScript, LookupsTakeTheFirstMatchExactly)
{
    TestSupport::ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("cfg\\init.ini",
                              "AppName ソフトウェア\r\nAppName Second\r\nCount 12abc\r\nMinus -5\r\n"
                              "Word abc\r\n\tIndented 7\r\nEmpty\r\n"));
    CInitializerScript script;
    ASSERT_TRUE(script.ReadScript(dir / "cfg\\init.ini"));
    EXPECT_EQ("ソフトウェア", script.GetValue("AppName"));
    EXPECT_EQ("", script.GetValue("appname"));
    EXPECT_EQ("", script.GetValue("AppNam"));
    EXPECT_EQ(12, script.GetValueInt("Count"));
    EXPECT_EQ(-5, script.GetValueInt("Minus"));
    EXPECT_EQ(0, script.GetValueInt("Word"));
    EXPECT_EQ(0, script.GetValueInt("Missing"));
    EXPECT_EQ("", script.GetValue("Indented")) << "a tab-indented line has an empty key";
    EXPECT_EQ("Indented", script.GetValue(""));
    EXPECT_EQ("", script.GetValue("Empty"));
    EXPECT_EQ(7u, script.GetValues().size());

    ASSERT_TRUE(dir.WriteFile("empty.ini", ""));
    EXPECT_TRUE(script.ReadScript(dir / "empty.ini"));
    EXPECT_TRUE(script.GetValues().empty());
    EXPECT_FALSE(script.ReadScript(dir / "missing.ini"));
    EXPECT_FALSE(script.ReadScript(dir / "cfg"));
    EXPECT_EQ("", script.GetValue("AppName"));
}

TEST(InitializerScript, BinaryAndHugeLinesAreRead)
{
    TestSupport::ScratchDir dir;
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary += static_cast<char>((i * 37) & 0xFF);
    binary += "\x83";  // a lone lead byte at the end
    ASSERT_TRUE(dir.WriteFile("bin.ini", binary));
    CInitializerScript script;
    EXPECT_TRUE(script.ReadScript(dir / "bin.ini"));
    std::string longLine = "Key " + std::string(200000, 'v');
    ASSERT_TRUE(dir.WriteFile("long.ini", longLine));
    ASSERT_TRUE(script.ReadScript(dir / "long.ini"));
    EXPECT_EQ(200000u, script.GetValue("Key").size());
}
