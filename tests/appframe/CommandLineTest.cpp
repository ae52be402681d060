#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "appframe/CommandLine.h"

using Corvane::Base::AppFrame::SplitCommandLine;

TEST(CommandLine, SplitsAsTheProgramsExpect)
{
    typedef std::vector<std::string> Args;
    struct Case { const char* in; Args want; } cases[] = {
        {"\"C:\\Game\\installer.exe\" \"f\" \"\" \"x y\"", {"C:\\Game\\installer.exe", "f", "", "x y"}},
        {"a  b", {"a", "", "b"}},
        {"a b ", {"a", "b"}},
        {"\"abc", {"\"abc"}},
        {"\"a\"b c\"", {"a\"b c"}},
        {"a\tb", {"a\tb"}},
        {"\"\"\"\" x", {"\"\"", "x"}},  // of two adjacent quotes the second never closes
        {"\"ソフト\" \"表示\"", {"ソフト", "表示"}},
        {"", {}},
        {" ", {""}},
        {"plain", {"plain"}},
        {"\"t\" \"f\" \"\" ", {"t", "f", ""}},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].want, SplitCommandLine(cases[i].in)) << "case " << i << ": " << cases[i].in;
    EXPECT_TRUE(SplitCommandLine(nullptr).empty());
}
