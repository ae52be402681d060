// The bare copy loop as a program of its own: lists the source folder and
// copies every file into the destination folder with the copy design's calls.
// Usage: copyloop.exe SOURCE DESTINATION

#include <windows.h>

#include <string>
#include <vector>

#include "BareCopy.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 3)
        return 2;
    std::string source = __argv[1], destination = __argv[2];
    std::vector<Bench::BareEntry> entries;
    Bench::BareList(source, entries);
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const Bench::BareEntry& e : entries)
        names.push_back(e.path.substr(source.size() + 1));
    return Bench::BareCopyOnThread(source, destination, names) ? 0 : 1;
}
