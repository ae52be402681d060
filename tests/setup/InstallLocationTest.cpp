#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallLocation.h"
#include "InstallerCommandLine.h"
#include "auxiliary/InstallerArgumentList.h"

using namespace Setup;
using namespace Corvane::Base::Auxiliary;

TEST(InstallLocation, MegabytesDropTheRemainderForAnySize)
{
    struct { unsigned long long bytes; const char* text; } cases[] = {
        {0, "0 MB"},
        {1048575, "0 MB"},
        {1572864, "1 MB"},                      // 1.5 MiB
        {(4ULL << 30) + 10, "4096 MB"},         // above 32 bits
        {~0ULL, "17592186044415 MB"},           // beyond what a 32-bit format could show
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(cases[i].text, FormatMegabytes(cases[i].bytes)) << "case " << i;
}

TEST(InstallLocation, ChecksInTheirOrder)
{
    const unsigned long long big = 5ULL << 30;
    struct { const char* root; bool cdrom; unsigned long long free, required; LocationCheck want; } cases[] = {
        {"", true, 0, 1, LocationCheck::kInvalidFolder},  // the folder test comes first
        {"D:\\", true, big, 1, LocationCheck::kReadOnlyDrive},
        {"C:\\", false, 100, 100, LocationCheck::kNotEnoughSpace},  // equal is too little
        {"C:\\", false, 99, 100, LocationCheck::kNotEnoughSpace},
        {"C:\\", false, 101, 100, LocationCheck::kAccepted},
        {"C:\\", false, big + 1, big, LocationCheck::kAccepted},
        {"C:\\", false, big, big + 1, LocationCheck::kNotEnoughSpace},  // not cut to 32 bits
        {"C:\\", false, 0, 0, LocationCheck::kNotEnoughSpace},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(cases[i].want, CheckInstallLocation(cases[i].root, cases[i].cdrom, cases[i].free, cases[i].required))
            << "case " << i;
}

TEST(InstallLocation, DataFolderIsTheLastComponentInAnyCase)
{
    struct { const char* folder; bool data; } cases[] = {
        {"C:\\Game\\data", true},   {"C:\\Game\\DATA", true},  {"C:\\Game\\Data\\", true},
        {"data", true},             {"C:\\data\\Game", false}, {"C:\\Game\\mydata", false},
        {"C:\\Game\\data2", false}, {"", false},               {"C:\\Game\\ｄａｔａ", false},
        // 0x95 0x5C is one character: no separator before "data".
        {"C:\\\x95\\data", false},  {"C:\\x\x95\\data", false}, {"C:\\\x95\\\\data", true},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i)
        EXPECT_EQ(cases[i].data, EndsWithDataFolder(cases[i].folder)) << "case " << i << ": " << cases[i].folder;
}

TEST(InstallerArgumentList, FormattedAndReadBackByName)
{
    InstallerItems items;
    items.program = "C:\\配布 フォルダ\\installer.exe";
    items.appName = "ケルナディア(低解像度版)";
    items.diskDirectory = "C:\\配布 フォルダ\\gamedata";
    items.targetDirectory = "D:\\表\\data";
    items.gameExecute = "game.exe";
    items.gameUninstall = "";
    items.selector = "2";
    struct { std::vector<std::string> sent; size_t count; } cases[] = {
        {InstallerArguments(items), kInstallerArgumentCount},
        {MenuInstallerArguments(items), kMenuArgumentCount},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        ASSERT_EQ(cases[i].count, cases[i].sent.size()) << "case " << i;
        std::vector<std::string> read = ReadInstallerCommandLine(FormatInstallerCommandLine(cases[i].sent));
        ASSERT_EQ(kInstallerArgumentCount, read.size()) << "case " << i;
        for (unsigned n = 0; n < kInstallerArgumentCount; ++n)
            EXPECT_EQ(n < cases[i].count ? cases[i].sent[n] : "", read[n]) << "case " << i << " item " << n;
        EXPECT_EQ(items.targetDirectory, read[kDestinationFolder]) << "case " << i;
    }
    EXPECT_EQ("t", MenuInstallerArguments(items)[kDisplayMode]);
    EXPECT_EQ("2", InstallerArguments(items)[kVariantSelector]);
    EXPECT_EQ("\"a\" \"\" \"b c\"", FormatInstallerCommandLine({"a", "", "b c"}));
    EXPECT_EQ("", FormatInstallerCommandLine({}));
}
