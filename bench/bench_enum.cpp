// Listing and sizing: CEnumFilename and the installer's per-file size
// look-up (CFindFile on each listed name) against a bare
// FindFirstFile/FindNextFile walk that takes the sizes from its own records.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BareCopy.h"
#include "BenchSupport.h"
#include "file/CEnumFilename.h"
#include "file/CFindFile.h"

using Corvane::Base::File::CEnumFilename;
using Corvane::Base::File::CFindFile;

namespace {

std::vector<double> g_List, g_Size;

double RunOurs(const std::string& folder, unsigned long long expected)
{
    double t0 = Bench::Now();
    CEnumFilename list;
    list.Enumerate(folder, "*.*", true);
    double t1 = Bench::Now();
    unsigned long long total = 0;
    for (int i = 0; i < list.GetCount(); ++i) {
        CFindFile find;
        WIN32_FIND_DATAA data;
        if (!find.FindFirst(list.GetFilename(i), &data))
            return -1;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            find.FindNext(&data);
        total += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    double t2 = Bench::Now();
    g_List.push_back(t1 - t0);
    g_Size.push_back(t2 - t1);
    return total == expected ? t2 - t0 : -1;
}

// The listing's own sizes instead of a search per file.
double RunListedSizes(const std::string& folder, unsigned long long expected)
{
    double t0 = Bench::Now();
    CEnumFilename list;
    list.Enumerate(folder, "*.*", true);
    unsigned long long total = 0;
    for (int i = 0; i < list.GetCount(); ++i)
        total += list.GetListedSize(i);
    double t1 = Bench::Now();
    return total == expected ? t1 - t0 : -1;
}

double RunBare(const std::string& folder, unsigned long long expected)
{
    double t0 = Bench::Now();
    std::vector<Bench::BareEntry> entries;
    Bench::BareList(folder, entries);
    unsigned long long total = 0;
    for (const Bench::BareEntry& e : entries)
        total += e.size;
    double t1 = Bench::Now();
    return total == expected ? t1 - t0 : -1;
}

}  // namespace

int main()
{
    Bench::Options options = Bench::ParseOptions(Bench::CommandLineTail());
    if (options.sets.empty())
        options.sets = {"100k"};
    Bench::PrintTableHead("Listing and sizing: CEnumFilename and CFindFile per file against a bare walk",
                          "CEnumFilename + CFindFile", "bare walk");
    int failures = 0;
    for (const std::string& key : options.sets) {
        Bench::FileSet set;
        if (!Bench::LookupFileSet(key, options.scale, set)) {
            std::printf("unknown file set %s\n", key.c_str());
            return 2;
        }
        std::string folder = Bench::EnsureFileSet(options.data, set);
        if (folder.empty())
            return 2;
        const unsigned long long expected = set.size * static_cast<unsigned long long>(set.count);
        g_List.clear();
        g_Size.clear();
        std::vector<double> ours, yardstick;
        if (!Bench::Interleave(options.reps, nullptr, [&] { return RunOurs(folder, expected); },
                               [&] { return RunBare(folder, expected); }, ours, yardstick)) {
            ++failures;
            continue;
        }
        char note[128];
        std::snprintf(note, sizeof(note), "ours: listing %.3f s, size look-ups %.3f s",
                      Bench::Summarise(g_List).median, Bench::Summarise(g_Size).median);
        Bench::PrintRow(set.label, ours, yardstick, note);
        std::vector<double> listed, bare;
        if (!Bench::Interleave(options.reps, nullptr, [&] { return RunListedSizes(folder, expected); },
                               [&] { return RunBare(folder, expected); }, listed, bare)) {
            ++failures;
            continue;
        }
        Bench::PrintRow(set.label + ", sizes from the listing (GetListedSize)", listed, bare);
    }
    return failures ? 1 : 0;
}
