#pragma once

// The yardstick: the copy design reduced to its system calls, with nothing of
// ours in between. One 16 KiB buffer, sequential-scan source, write-through
// destination, the copy on a thread at time-critical priority. No SDK here,
// so copyloop.exe is the loop and nothing else.

#include <windows.h>

#include <string>
#include <vector>

namespace Bench {

struct BareEntry {
    std::string path;  // full path
    unsigned long long size;
};

// Recursive FindFirstFile/FindNextFile walk: every file below `folder`,
// depth first, with the size the search record carries.
void BareList(const std::string& folder, std::vector<BareEntry>& out);

// Copies `relative` names from `source` to `destination`, creating each
// destination folder the first time it is met. False at the first failure.
bool BareCopy(const std::string& source, const std::string& destination, const std::vector<std::string>& relative);

// BareCopy on a thread of its own at time-critical priority; the calling
// thread waits for it as the installer's main thread does, polling every 10 ms.
bool BareCopyOnThread(const std::string& source, const std::string& destination,
                      const std::vector<std::string>& relative);

}  // namespace Bench
