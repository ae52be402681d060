#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "auxiliary/UninstallListFormat.h"

using namespace Corvane::Base::Auxiliary;

TEST(UninstallListFormat, LocationIsCutAtAWholeDataComponent)
{
    struct Case { const char* destination; const char* want; } cases[] = {
        {"D:\\Game\\data", "D:\\Game\\uninstall.ini"},
        {"D:\\Game\\data\\x", "D:\\Game\\uninstall.ini"},
        {"D:\\Game", "D:\\Game\\uninstall.ini"},
        {"D:\\Metadata\\Game", "D:\\Metadata\\Game\\uninstall.ini"},
        {"D:\\database\\x", "D:\\database\\x\\uninstall.ini"},
        {"D:\\Game\\Data", "D:\\Game\\Data\\uninstall.ini"},  // case-sensitive
        {"D:\\ソ\\data", "D:\\ソ\\uninstall.ini"},             // the trail byte 0x5C is no separator
        {"D:\\ソdata\\x", "D:\\ソdata\\x\\uninstall.ini"},
        {"D:\\a\\data\\b\\data", "D:\\a\\uninstall.ini"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].want, UninstallListPath(cases[i].destination, "uninstall.ini"))
            << "case " << i << ": " << cases[i].destination;
}

TEST(UninstallListFormat, BlockBytesAreExact)
{
    std::string block = FormatUninstallBlock("ゲーム,追加", {"D:\\G\\a.ini", "D:\\G\\uninstall.ini"}, {"D:\\G\\sub", "D:\\G"});
    EXPECT_EQ("#AppName,ゲーム,追加\r\n#UninstallFile\r\nD:\\G\\a.ini\r\nD:\\G\\uninstall.ini\r\n##\r\n"
              "#UninstallDirectory\r\nD:\\G\\sub\r\nD:\\G\r\n##\r\n",
              block);
    EXPECT_NE('\xEF', block[0]) << "no byte-order mark";
    EXPECT_EQ("#AppName,\r\n#UninstallFile\r\n##\r\n#UninstallDirectory\r\n##\r\n", FormatUninstallBlock("", {}, {}));
}

TEST(UninstallListFormat, ListsKeepOneEntryPerPath)
{
    std::vector<std::string> list;
    EXPECT_TRUE(AppendUnique(list, "C:\\a"));
    EXPECT_FALSE(AppendUnique(list, "C:\\a"));
    EXPECT_TRUE(AppendUnique(list, "c:\\a"));  // exact comparison
    EXPECT_EQ(2u, list.size());
}

// The indexed list answers as AppendUnique does, in the same order, also for
// strings that share a hash bucket or differ only in case or a trail byte.
TEST(UninstallListFormat, IndexedListMatchesTheScannedOne)
{
    const char* inputs[] = {"C:\\a", "C:\\a", "c:\\a", "", "", "C:\\ソ", "C:\\ソ", "C:\\\x83\x5C", "C:\\a\\b",
                            "C:\\a"};
    std::vector<std::string> scanned;
    UniqueList indexed;
    for (size_t i = 0; i < sizeof(inputs) / sizeof(inputs[0]); ++i)
        EXPECT_EQ(AppendUnique(scanned, inputs[i]), indexed.Append(inputs[i])) << "case " << i << ": " << inputs[i];
    EXPECT_EQ(scanned, indexed.Items());

    // Many entries: every one is found again, nothing twice.
    UniqueList big;
    for (int i = 0; i < 20000; ++i)
        ASSERT_TRUE(big.Append("D:\\Game\\d" + std::to_string(i % 100) + "\\f" + std::to_string(i))) << "entry " << i;
    for (int i = 0; i < 20000; i += 997)
        EXPECT_FALSE(big.Append("D:\\Game\\d" + std::to_string(i % 100) + "\\f" + std::to_string(i))) << "entry " << i;
    EXPECT_FALSE(big.Contains("D:\\Game\\d0\\f20000"));
    EXPECT_EQ(20000u, big.Size());
    big.Clear();
    EXPECT_EQ(0u, big.Size());
    EXPECT_TRUE(big.Append("D:\\Game\\d0\\f0"));
}
