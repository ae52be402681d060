#pragma once

// Shared by the benchmark programs: options, file sets written once and
// reused, interleaved timing with median/min/max, and the table rows.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "BenchTable.h"

namespace Bench {

double Now();  // seconds, monotonic

struct Options {
    std::string data;                 // folder for sources and copies
    int reps = 5;                     // timed runs of each side, interleaved
    double scale = 1.0;               // file counts (and the big file's size) times this
    std::vector<std::string> sets;    // file-set keys; empty: the program's defaults
};
// --data=FOLDER --reps=N --scale=X --sets=a,b,...
Options ParseOptions(const std::string& commandLine);
std::string CommandLineTail();  // the process command line without the program

// A folder tree of `count` files of `size` bytes spread over `folders`
// sub-folders (0: all in the top folder).
struct FileSet {
    std::string key;      // "1g", "256k", "1k", "100k", ...
    std::string label;    // for the table
    int count;
    unsigned long long size;
    int folders;
};
// The given sets by key, scaled.
bool LookupFileSet(const std::string& key, double scale, FileSet& set);
// Writes the set below data\src once (a marker says it is complete) and
// returns its folder; empty on failure.
std::string EnsureFileSet(const std::string& data, const FileSet& set);
// Relative names of the set's files, in the order the folders list them.
std::vector<std::string> RelativeNames(const std::string& folder);

bool DeleteTree(const std::string& path);
// A folder below `data` for this process's copies: runs from two builds may
// share the file sets.
std::string OutputFolder(const std::string& data, const char* name);
// Moves a copy out of the way into data\trash, which tools/bench.sh empties
// between programs: deleting 100 000 files under Wine would take longer than
// copying them. Deletes in place when the move fails.
void RetireTree(const std::string& data, const std::string& path);

// Stats and Summarise come from BenchTable.h.

// Runs `ours` and `yardstick` alternately `reps` times each (which goes
// first alternates too); a run returns its seconds, or < 0 on failure.
// `prepare` runs untimed before every run. False when a run failed.
bool Interleave(int reps, const std::function<void()>& prepare, const std::function<double()>& ours,
                const std::function<double()>& yardstick, std::vector<double>& oursSamples,
                std::vector<double>& yardstickSamples);

void PrintTableHead(const char* title, const char* oursName, const char* yardstickName);
// ratio = yardstick / ours: 1.0 means ours costs nothing beyond the yardstick.
void PrintRow(const std::string& work, const std::vector<double>& ours, const std::vector<double>& yardstick,
              const std::string& note = std::string());
void PrintNote(const std::string& text);

// Child processes for the program-level rows.
struct Child {
    HANDLE process = nullptr;
    DWORD id = 0;
};
bool StartChild(const std::string& commandLine, const std::string& folder, Child& child);
// Waits for the child; false (and the child killed) after `timeoutMs`.
bool WaitChild(Child& child, DWORD timeoutMs);
void CloseChild(Child& child);

std::string ModuleFolder();
std::string Quote(const std::string& s);

}  // namespace Bench
