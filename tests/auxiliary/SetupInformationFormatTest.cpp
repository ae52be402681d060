#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/SetupInformationFormat.h"

using namespace Corvane::Base::Auxiliary;

namespace {

SetupInformationRecord Make(const std::string& name, const std::string& folder, const std::string& program,
                            const std::string& uninstaller, bool flag)
{
    SetupInformationRecord r;
    r.m_AppName = name;
    r.m_InstallFolder = folder;
    r.m_ProgramPath = program;
    r.m_UninstallerPath = uninstaller;
    r.m_bFlag = flag;
    return r;
}

std::string Field(const std::string& text)
{
    std::string f = text;
    f.resize(260, '\0');
    return f;
}

}  // namespace

TEST(SetupInformationFormat, OneRecordIs1048BytesLaidOutExactly)
{
    std::vector<SetupInformationRecord> records = {Make("ゲーム", "D:\\Game", "D:\\Game\\game.exe", "", true)};
    std::string bytes = EncodeSetupInformation(records);
    ASSERT_EQ(1048u, bytes.size());
    EXPECT_EQ(std::string("\x01\x00\x00\x00", 4), bytes.substr(0, 4));
    EXPECT_EQ(Field("ゲーム"), bytes.substr(4, 260));
    EXPECT_EQ(Field("D:\\Game"), bytes.substr(264, 260));
    EXPECT_EQ(Field("D:\\Game\\game.exe"), bytes.substr(524, 260));
    EXPECT_EQ(Field(""), bytes.substr(784, 260));
    EXPECT_EQ(std::string("\x01\x00\x00\x00", 4), bytes.substr(1044, 4));

    std::vector<SetupInformationRecord> back;
    ASSERT_TRUE(DecodeSetupInformation(bytes, back));
    ASSERT_EQ(1u, back.size());
    EXPECT_EQ("ゲーム", back[0].m_AppName);
    EXPECT_EQ("D:\\Game\\game.exe", back[0].m_ProgramPath);
    EXPECT_TRUE(back[0].m_bFlag);
}

TEST(SetupInformationFormat, MergeUpdatesEveryRecordOfTheNameOrAppends)
{
    std::vector<SetupInformationRecord> records = {
        Make("A", "C:\\old", "C:\\old\\a.exe", "C:\\old\\un.exe", true),
        Make("B", "C:\\b", "", "", false),
        Make("A", "C:\\old2", "C:\\old2\\a.exe", "", true),
    };
    MergeSetupInformation(records, Make("A", "D:\\new", "", "", false));
    ASSERT_EQ(3u, records.size());
    for (size_t i : {0u, 2u}) {
        EXPECT_EQ("D:\\new", records[i].m_InstallFolder) << i;
        EXPECT_FALSE(records[i].m_bFlag) << i;
    }
    EXPECT_EQ("C:\\old\\a.exe", records[0].m_ProgramPath) << "empty texts keep what is stored";
    EXPECT_EQ("C:\\old\\un.exe", records[0].m_UninstallerPath);
    EXPECT_EQ("C:\\old2\\a.exe", records[2].m_ProgramPath);
    EXPECT_EQ("C:\\b", records[1].m_InstallFolder);
    MergeSetupInformation(records, Make("a", "E:\\x", "", "", true));  // names are case-sensitive
    ASSERT_EQ(4u, records.size());
    EXPECT_EQ("a", records[3].m_AppName);
}

TEST(SetupInformationFormat, DamagedFilesAreReadSafely)
{
    std::string one = EncodeSetupInformation({Make("A", "B", "C", "D", false)});
    struct Case { const char* name; std::string bytes; bool ok; size_t records; } cases[] = {
        {"empty file", "", true, 0},
        {"three bytes", std::string("\x01\x00\x00", 3), false, 0},
        {"count only", std::string("\x00\x00\x00\x00", 4), true, 0},
        {"huge count, one record", std::string("\xFF\xFF\xFF\xFF", 4) + one.substr(4), true, 1},
        {"truncated record", one.substr(0, 1000), true, 0},
        {"count 2, one and a half records", std::string("\x02\x00\x00\x00", 4) + one.substr(4) + one.substr(4, 500), true, 1},
    };
    for (const Case& c : cases) {
        std::vector<SetupInformationRecord> records(3);
        EXPECT_EQ(c.ok, DecodeSetupInformation(c.bytes, records)) << c.name;
        EXPECT_EQ(c.records, records.size()) << c.name;
    }
}

TEST(SetupInformationFormat, LongTextsAreCutWithoutSplittingAPair)
{
    std::string ascii(300, 'a');
    EXPECT_EQ(259u, CutSetupInformationText(ascii).size());
    std::string pairAtTheLimit = std::string(258, 'a') + "ソソ";  // byte 258 is a lead byte
    EXPECT_EQ(std::string(258, 'a'), CutSetupInformationText(pairAtTheLimit));
    EXPECT_EQ("ソ", CutSetupInformationText("ソ"));
    std::string bytes = EncodeSetupInformation({Make(ascii, pairAtTheLimit, "", "", false)});
    ASSERT_EQ(1048u, bytes.size());
    std::vector<SetupInformationRecord> back;
    ASSERT_TRUE(DecodeSetupInformation(bytes, back));
    EXPECT_EQ(std::string(259, 'a'), back[0].m_AppName);
    EXPECT_EQ(std::string(258, 'a'), back[0].m_InstallFolder);

    // A stored field without NUL is read as its 260 bytes.
    std::string raw = bytes;
    raw.replace(4, 260, std::string(260, 'z'));
    ASSERT_TRUE(DecodeSetupInformation(raw, back));
    EXPECT_EQ(std::string(260, 'z'), back[0].m_AppName);
}
