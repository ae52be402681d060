#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/InstallJournalFormat.h"

using namespace Corvane::Base::Auxiliary;

namespace {

std::vector<JournalEntry> Sample()
{
    return {
        {JournalKind::Folder, "C:\\Game\\新しい", "", 0},
        {JournalKind::Kept, "C:\\Game\\game.exe", "C:\\Game\\game.exe~keep", 0x23},
        {JournalKind::Created, "C:\\Game\\表示\\a.ini", "", 0},
        {JournalKind::Committed, "", "", 0},
    };
}

std::string Encode(const std::vector<JournalEntry>& entries)
{
    std::string bytes = EncodeJournalHeader();
    for (const JournalEntry& e : entries)
        bytes += EncodeJournalEntry(e);
    return bytes;
}

void ExpectSame(const std::vector<JournalEntry>& want, const std::vector<JournalEntry>& got, const std::string& what)
{
    ASSERT_EQ(want.size(), got.size()) << what;
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(want[i].kind, got[i].kind) << what << " entry " << i;
        EXPECT_EQ(want[i].path, got[i].path) << what << " entry " << i;
        EXPECT_EQ(want[i].kept, got[i].kept) << what << " entry " << i;
        EXPECT_EQ(want[i].attributes, got[i].attributes) << what << " entry " << i;
    }
}

}  // namespace

TEST(InstallJournalFormat, RoundTrip)
{
    std::vector<JournalEntry> got;
    ASSERT_TRUE(DecodeJournal(Encode(Sample()), got));
    ExpectSame(Sample(), got, "whole");
}

// A kill can cut the file after any byte: every cut gives the records that
// were complete before it, never a shortened one.
TEST(InstallJournalFormat, EveryCutGivesTheWholeRecordsBeforeIt)
{
    const std::vector<JournalEntry> all = Sample();
    std::vector<size_t> ends = {EncodeJournalHeader().size()};
    for (const JournalEntry& e : all)
        ends.push_back(ends.back() + EncodeJournalEntry(e).size());
    const std::string bytes = Encode(all);
    for (size_t cut = ends[0]; cut <= bytes.size(); ++cut) {
        size_t whole = 0;
        while (whole + 1 < ends.size() && ends[whole + 1] <= cut)
            ++whole;
        std::vector<JournalEntry> got;
        ASSERT_TRUE(DecodeJournal(bytes.substr(0, cut), got)) << "cut " << cut;
        ExpectSame(std::vector<JournalEntry>(all.begin(), all.begin() + whole), got, "cut " + std::to_string(cut));
    }
}

// Any changed byte in a record ends the journal before that record.
TEST(InstallJournalFormat, ScribbledRecordEndsTheJournal)
{
    const std::vector<JournalEntry> all = Sample();
    const std::string bytes = Encode(all);
    const size_t firstEnd = EncodeJournalHeader().size() + EncodeJournalEntry(all[0]).size();
    const size_t secondEnd = firstEnd + EncodeJournalEntry(all[1]).size();
    for (size_t at = firstEnd; at < secondEnd; ++at) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x41);
        std::vector<JournalEntry> got;
        ASSERT_TRUE(DecodeJournal(damaged, got));
        ExpectSame(std::vector<JournalEntry>(all.begin(), all.begin() + 1), got, "byte " + std::to_string(at));
    }
}

TEST(InstallJournalFormat, RejectsWhatIsNotAJournal)
{
    std::vector<JournalEntry> got;
    for (const std::string& bytes : {std::string(), std::string("CVJ"), std::string("XXXX") + Encode(Sample()).substr(4)})
        EXPECT_FALSE(DecodeJournal(bytes, got)) << bytes.size();
    EXPECT_EQ("", EncodeJournalEntry({JournalKind::Created, std::string(kJournalMaxPath + 1, 'a'), "", 0}));
    // A length field far beyond the data reads nothing and does not run away.
    std::string huge = EncodeJournalHeader() + std::string("C\0\0\0\0\xff\xff\0\0", 9);
    ASSERT_TRUE(DecodeJournal(huge, got));
    EXPECT_TRUE(got.empty());
}

TEST(InstallJournalFormat, PathBelowTheDestination)
{
    struct Case {
        const char* path;
        const char* folder;
        bool below;
    } cases[] = {
        {"C:\\Game\\a.txt", "C:\\Game", true},
        {"c:\\GAME\\sub\\a.txt", "C:\\Game", true},          // letter case as the file system compares
        {"C:\\Game", "C:\\Game", false},                     // the folder itself
        {"C:\\Gamer\\a.txt", "C:\\Game", false},             // a sibling sharing the start
        {"C:\\Game\\..\\Windows\\a.dll", "C:\\Game", false},
        {"C:\\Game\\.\\a.txt", "C:\\Game", false},
        {"C:\\Game\\\\a.txt", "C:\\Game", false},
        {"C:\\Game\\a.txt:stream", "C:\\Game", false},
        {"C:\\Game\\sub/../../x", "C:\\Game", false},
        {"C:\\Game\\sub\\", "C:\\Game", false},
        {"D:\\Game\\a.txt", "C:\\Game", false},
        {"C:\\Game\\表\\a.txt", "C:\\Game", true},           // 0x955C: a trail byte that is '\'
        {"C:\\ソ\\a.txt", "C:\\ソ", true},                   // 0x835C at the folder's end
        {"C:\\Game\\a.txt", "", false},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].below, IsPathBelow(cases[i].path, cases[i].folder)) << "case " << i << ": " << cases[i].path;
}
