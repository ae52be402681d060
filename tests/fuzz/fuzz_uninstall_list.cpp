// The uninstall list: where it lies for an arbitrary destination folder, and
// the block written for arbitrary names. Parts of the input are cut at NULs:
// destination, file name, application name, then files and folders.

#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "auxiliary/UninstallListFormat.h"
#include "file/PathText.h"

using namespace Corvane::Base::Auxiliary;

namespace {

// Whole components exactly "data", scanning past double-byte pairs.
bool HasDataComponent(const std::string& s)
{
    std::vector<bool> starts = fuzz::CharacterStarts(s);
    size_t begin = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (!starts[i])
            continue;
        if (i == s.size() || s[i] == '\\' || s[i] == '/') {
            if (s.compare(begin, i - begin, "data") == 0)
                return true;
            begin = i + 1;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> parts = fuzz::SplitAtNul(data, size);
    parts.resize(parts.size() < 3 ? 3 : parts.size());
    const std::string& destination = parts[0];
    const std::string& fileName = parts[1];
    const std::string& appName = parts[2];

    std::string path = UninstallListPath(destination, fileName);
    FUZZ_CHECK(path.size() <= destination.size() + 1 + fileName.size());
    // The list goes where the folder was, or above its "data" component.
    std::string plain = Corvane::Base::File::RemoveDoubleBackslash(destination + "\\" + fileName);
    if (!HasDataComponent(destination))
        FUZZ_CHECK(path == plain);
    else
        FUZZ_CHECK(path.size() < plain.size());

    std::vector<std::string> files, folders;
    for (size_t i = 3; i < parts.size(); ++i) {
        std::vector<std::string>& list = i % 2 != 0 ? files : folders;
        AppendUnique(list, parts[i]);
        FUZZ_CHECK(!AppendUnique(list, parts[i]));
    }
    std::string block = FormatUninstallBlock(appName, files, folders);
    // "#AppName," name CR LF, "#UninstallFile" CR LF, "##" CR LF, "#UninstallDirectory" CR LF, "##" CR LF.
    size_t want = 9 + appName.size() + 2 + 16 + 4 + 21 + 4;
    for (const std::string& f : files)
        want += f.size() + 2;
    for (const std::string& d : folders)
        want += d.size() + 2;
    FUZZ_CHECK(block.size() == want);
    FUZZ_CHECK(block.compare(0, 9, "#AppName,") == 0);
    FUZZ_CHECK(block.size() >= 4 && block.compare(block.size() - 4, 4, "##\r\n") == 0);
    return 0;
}
