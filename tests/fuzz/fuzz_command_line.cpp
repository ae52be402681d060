// The command-line splitter over arbitrary text, and the protocol setup
// speaks: items without quotes, each double-quoted, joined by single blanks,
// must come back unchanged.

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "appframe/CommandLine.h"

using Corvane::Base::AppFrame::SplitCommandLine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t length = text.find('\0') == std::string::npos ? text.size() : text.find('\0');

    std::vector<std::string> args = SplitCommandLine(text.c_str());
    FUZZ_CHECK(args.size() <= length);
    size_t total = 0;
    for (const std::string& a : args) {
        total += a.size();
        FUZZ_CHECK(a.find('\0') == std::string::npos);
    }
    FUZZ_CHECK(total <= length);
    FUZZ_CHECK(SplitCommandLine(nullptr).empty());

    // Round trip: the parts between NULs, quotes removed, as setup would pass them.
    std::vector<std::string> items = fuzz::SplitAtNul(data, size);
    std::string line;
    for (std::string& item : items) {
        std::string clean;
        for (char c : item)
            if (c != '"')
                clean += c;
        item = clean;
        if (!line.empty())
            line += ' ';
        line += '"' + item + '"';
    }
    std::vector<std::string> back = SplitCommandLine(line.c_str());
    FUZZ_CHECK(back == items);
    return 0;
}
