#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallerArguments.h"
#include "PictureSchedule.h"

using namespace Installer;

TEST(InstallerArguments, CounterRule)
{
    struct { int counter; bool accepted; } cases[] = {
        {0, true}, {9, true}, {10, false}, {49, false}, {50, true}, {51, false}, {-5, true}};
    for (const auto& c : cases)
        EXPECT_EQ(c.accepted, IsCounterAccepted(c.counter)) << c.counter;
}

TEST(InstallerArguments, RelaunchParametersQuoteEveryItemAndEndWithBlank)
{
    std::vector<std::string> args = {"C:\\x\\installer.exe", "f", "テスト", "D:\\src\\gamedata", "C:\\Game Dir",
                                     "game.exe", "uninst.exe", "t", "f", "f", "4", "2"};
    EXPECT_EQ("\"f\" \"テスト\" \"D:\\src\\gamedata\" \"C:\\Game Dir\" \"game.exe\" \"uninst.exe\" \"t\" \"f\" "
              "\"t\" \"5\" \"2\" ",
              BuildRelaunchParameters(args));
    // A list that ends after argument 8: counter 0 becomes 1, argument 11 stays two quotes.
    args.resize(9);
    EXPECT_EQ("\"f\" \"テスト\" \"D:\\src\\gamedata\" \"C:\\Game Dir\" \"game.exe\" \"uninst.exe\" \"t\" \"f\" "
              "\"t\" \"1\" \"\" ",
              BuildRelaunchParameters(args));
    args.resize(11);
    args[10] = "junk";  // not a number: the value the number reader gives, 0
    EXPECT_NE(std::string::npos, BuildRelaunchParameters(args).find("\"t\" \"1\" \"\" "));
}

TEST(InstallerArguments, DistributionRootIsCutAtTheGamedataComponent)
{
    struct { const char* source; bool found; const char* root; } cases[] = {
        {"D:\\dist\\gamedata", true, "D:\\dist\\"},
        {"D:\\dist\\gamedata\\", true, "D:\\dist\\"},
        {"D:\\dist\\gamedata\\sub", true, "D:\\dist\\"},
        {"D:\\voice_gamedata_v2\\gamedata", true, "D:\\voice_gamedata_v2\\"},
        {"D:\\a\\gamedata\\b\\gamedata", true, "D:\\a\\"},
        {"D:\\dist\\GameData", false, ""},  // exact spelling only
        {"D:\\dist\\data", false, ""},
        {"gamedata", true, ""},
        // A trail byte equal to '\' does not end a component.
        {"D:\\\x95\\gamedata", false, ""},
        {"D:\\\x95\\\\gamedata", true, "D:\\\x95\\\\"},
    };
    for (const auto& c : cases) {
        std::string root = "unchanged";
        EXPECT_EQ(c.found, GetDistributionRoot(c.source, root)) << c.source;
        EXPECT_EQ(c.root, root) << c.source;
    }
}

TEST(InstallerArguments, VariantFoldersAndHiddenFiles)
{
    EXPECT_EQ("2026", VariantFolderName(0));
    EXPECT_EQ("633", VariantFolderName(1));
    EXPECT_EQ("615", VariantFolderName(2));
    EXPECT_EQ("", VariantFolderName(3));
    EXPECT_EQ("", VariantFolderName(-1));

    struct { const char* destination; const char* relative; bool hidden; } cases[] = {
        {"C:\\g\\cfg\\a.ini", "cfg\\a.ini", true},
        {"C:\\g\\A.INI", "A.INI", false},
        {"C:\\g\\a.ini.bak", "a.ini.bak", false},
        {"C:\\g\\FULL", "FULL", true},
        {"C:\\g\\sub\\FULL", "sub\\FULL", false},
        {"C:\\g\\full", "full", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.hidden, IsHiddenAfterCopy(c.destination, c.relative)) << c.destination;
}

TEST(InstallerArguments, PerMille)
{
    EXPECT_EQ(0u, PerMille(0, 0));    // nothing to copy: no division
    EXPECT_EQ(0u, PerMille(5, 0));
    EXPECT_EQ(0u, PerMille(999, 1000000));
    EXPECT_EQ(1u, PerMille(1000, 1000000));
    EXPECT_EQ(999u, PerMille(999999, 1000000));
    EXPECT_EQ(1000u, PerMille(1000000, 1000000));
    EXPECT_EQ(500u, PerMille(1ULL << 62, 1ULL << 63));  // no 64-bit overflow
}

TEST(PictureSchedule, HighestReachedSlotWins)
{
    PictureSlot slots[kPictureSlots];
    int a, b, c, d;
    slots[0] = {&a, 0};
    slots[1] = {&b, 30};
    slots[2] = {&c, 60};
    slots[6] = {&d, 90};      // slots need not be contiguous
    slots[4] = {nullptr, 5};  // a picture that failed to load is skipped
    struct { unsigned percent; int slot; } cases[] = {{0, 0}, {29, 0}, {30, 1}, {59, 1}, {70, 2}, {90, 6}, {100, 6}};
    for (const auto& cs : cases)
        EXPECT_EQ(cs.slot, ChoosePictureSlot(slots, cs.percent)) << cs.percent;

    PictureSlot none[kPictureSlots];
    EXPECT_EQ(-1, ChoosePictureSlot(none, 100));
}
