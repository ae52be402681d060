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
