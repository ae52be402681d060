// Copy, worker level: CSetupHelper2 copying a file set against the bare
// loop of the same design, in the same program, interleaved.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BareCopy.h"
#include "BenchSupport.h"
#include "auxiliary/CSetupHelper2.h"

using Corvane::Base::Auxiliary::CSetupHelper2;

namespace {

struct Phases {
    std::vector<double> configure, start, copy, end;
};

// From construction to destruction, the caller's side polling every 10 ms
// as the installer's main thread does.
double RunWorker(const std::string& source, const std::string& destination, const std::vector<std::string>& names,
                 unsigned long long total, Phases& phases)
{
    double t0 = Bench::Now();
    double t1, t2, t3;
    bool failed;
    {
        CSetupHelper2 worker;
        worker.SetAppName("bench");
        worker.SetSourceFolder(source);
        worker.SetDestinationFolder(destination);
        for (const std::string& name : names)
            worker.AddFile(name);
        worker.SetTotalSize(total);
        t1 = Bench::Now();
        worker.StartInstall();
        t2 = Bench::Now();
        while (!worker.IsFinished() && !worker.IsFailed())
            Sleep(10);
        t3 = Bench::Now();
        failed = worker.IsFailed();
    }
    double t4 = Bench::Now();
    phases.configure.push_back(t1 - t0);
    phases.start.push_back(t2 - t1);
    phases.copy.push_back(t3 - t2);
    phases.end.push_back(t4 - t3);
    return failed ? -1 : t4 - t0;
}

}  // namespace

int main()
{
    Bench::Options options = Bench::ParseOptions(Bench::CommandLineTail());
    if (options.sets.empty())
        options.sets = {"1g", "256k", "1k", "100k"};
    Bench::PrintTableHead("Copy, worker level: CSetupHelper2 against the bare loop in the same program",
                          "CSetupHelper2", "bare loop");
    std::vector<std::string> phaseLines;
    int failures = 0;
    for (const std::string& key : options.sets) {
        Bench::FileSet set;
        if (!Bench::LookupFileSet(key, options.scale, set)) {
            std::printf("unknown file set %s\n", key.c_str());
            return 2;
        }
        std::string source = Bench::EnsureFileSet(options.data, set);
        if (source.empty()) {
            std::printf("cannot write the file set %s\n", set.label.c_str());
            return 2;
        }
        std::vector<Bench::BareEntry> entries;
        Bench::BareList(source, entries);
        unsigned long long total = 0;
        for (const Bench::BareEntry& e : entries)
            total += e.size;
        std::vector<std::string> names = Bench::RelativeNames(source);
        std::string destination = Bench::OutputFolder(options.data, "out-worker");
        Phases phases;
        std::vector<double> ours, yardstick;
        bool ok = Bench::Interleave(
            options.reps, [&] { Bench::RetireTree(options.data, destination); },
            [&] { return RunWorker(source, destination, names, total, phases); },
            [&] {
                double t0 = Bench::Now();
                return Bench::BareCopyOnThread(source, destination, names) ? Bench::Now() - t0 : -1;
            },
            ours, yardstick);
        Bench::RetireTree(options.data, destination);
        if (!ok) {
            ++failures;
            continue;
        }
        char note[128];
        std::snprintf(note, sizeof(note), "per file: %.3f ms ours, %.3f ms loop",
                      1e3 * Bench::Summarise(ours).median / set.count,
                      1e3 * Bench::Summarise(yardstick).median / set.count);
        Bench::PrintRow(set.label, ours, yardstick, note);
        char line[256];
        std::snprintf(line, sizeof(line),
                      "- %s: construct+configure %.3f s, StartInstall %.3f s, copy thread %.3f s, end %.3f s",
                      set.label.c_str(), Bench::Summarise(phases.configure).median,
                      Bench::Summarise(phases.start).median, Bench::Summarise(phases.copy).median,
                      Bench::Summarise(phases.end).median);
        phaseLines.push_back(line);
    }
    Bench::PrintNote("\nCSetupHelper2 phases (medians):\n");
    for (const std::string& line : phaseLines)
        Bench::PrintNote(line);
    return failures ? 1 : 0;
}
