// Copy, program level: installer.exe end to end (the relaunch chain, the
// listing, the copy, the post-processing), its success box answered at once,
// against copyloop.exe copying the same files. Both are whole processes in
// the same Wine. The installer's fixed 1000 ms pause before its box is
// subtracted. Also: the main thread's CPU time while the copy runs.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"

namespace {

const char kApp[] = "ベンチ";
const char kProgress[] = "ベンチ インストール";
const char kSuccess[] = "正常終了";
const double kFixedPause = 1.0;   // before the success box
const DWORD kRunTimeout = 30 * 60 * 1000;
const DWORD kPoll = 5;            // ms between looks at the windows

const char* const kUnexpected[] = {"エラー", "インストールエラー", "容量不足", "FileLoadError", "FileCreateError",
                                   "ReadFileError", "WriteFileError", "GetFileSizeError"};

double ThreadCpu(HANDLE thread)
{
    FILETIME created, exited, kernel, user;
    if (thread == nullptr || !GetThreadTimes(thread, &created, &exited, &kernel, &user))
        return -1;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

struct InstallerRun {
    double total = -1;     // start to end of the first instance, pause subtracted
    double untilCopy = 0;  // start to the enabled cancel button: chain, listing, sizes
    double copyPost = 0;   // copy and post-processing, pause subtracted
    double mainCpu = -1;   // main thread's CPU seconds over copyPost
    double afterBox = 0;   // the box answered to the end of the first instance
};

InstallerRun RunInstaller(const std::string& program, const std::string& source, const std::string& destination)
{
    InstallerRun run;
    const char* items[] = {"f", kApp, source.c_str(), destination.c_str(), "game.exe", "uninst.exe", "f", "f", "f", "0", "0"};
    std::string line = Bench::Quote(program);
    for (const char* item : items)
        line += " " + Bench::Quote(item);
    double t0 = Bench::Now();
    Bench::Child child;
    if (!Bench::StartChild(line, std::string(), child))
        return run;
    double copyStart = 0, boxAt = 0, cpuStart = -1, cpuBox = -1;
    HANDLE mainThread = nullptr;
    bool unexpected = false;
    double limit = t0 + kRunTimeout / 1000.0;
    while (WaitForSingleObject(child.process, kPoll) == WAIT_TIMEOUT && Bench::Now() < limit) {
        if (copyStart == 0) {
            HWND dialog = FindWindowA("#32770", kProgress);
            HWND cancel = dialog ? GetDlgItem(dialog, IDCANCEL) : nullptr;
            if (cancel && IsWindowEnabled(cancel)) {
                copyStart = Bench::Now();
                DWORD pid = 0;
                DWORD tid = GetWindowThreadProcessId(dialog, &pid);
                mainThread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, tid);
                cpuStart = ThreadCpu(mainThread);
            }
        }
        if (boxAt == 0) {
            if (HWND box = FindWindowA("#32770", kSuccess)) {
                boxAt = Bench::Now();
                cpuBox = ThreadCpu(mainThread);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        }
        for (const char* caption : kUnexpected) {
            if (HWND box = FindWindowA("#32770", caption)) {
                unexpected = true;
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
        }
    }
    double t1 = Bench::Now();
    bool ended = Bench::WaitChild(child, 0);
    Bench::CloseChild(child);
    if (mainThread)
        CloseHandle(mainThread);
    if (!ended || unexpected || boxAt == 0 || copyStart == 0)
        return run;
    run.total = t1 - t0 - kFixedPause;
    run.untilCopy = copyStart - t0;
    run.copyPost = boxAt - copyStart - kFixedPause;
    run.afterBox = t1 - boxAt;
    if (cpuStart >= 0 && cpuBox >= 0)
        run.mainCpu = cpuBox - cpuStart;
    return run;
}

double RunCopyLoop(const std::string& program, const std::string& source, const std::string& destination)
{
    double t0 = Bench::Now();
    Bench::Child child;
    if (!Bench::StartChild(Bench::Quote(program) + " " + Bench::Quote(source) + " " + Bench::Quote(destination),
                           std::string(), child))
        return -1;
    bool ended = Bench::WaitChild(child, kRunTimeout);
    double t1 = Bench::Now();
    DWORD code = 1;
    GetExitCodeProcess(child.process, &code);
    Bench::CloseChild(child);
    return ended && code == 0 ? t1 - t0 : -1;
}

}  // namespace

int main()
{
    Bench::Options options = Bench::ParseOptions(Bench::CommandLineTail());
    if (options.sets.empty())
        options.sets = {"1g", "256k", "1k", "100k", "1b"};
    std::string folder = Bench::ModuleFolder();
    std::string installer = folder + "\\installer.exe", copyloop = folder + "\\copyloop.exe";
    Bench::PrintTableHead("Copy, program level: installer.exe whole run (fixed 1000 ms pause subtracted) against "
                          "copyloop.exe",
                          "installer.exe", "copyloop.exe");
    std::vector<std::string> details;
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
        std::string destination = Bench::OutputFolder(options.data, "out-program");
        std::vector<InstallerRun> runs;
        std::vector<double> ours, yardstick, untilCopy, copyPost, afterBox, cpuShare;
        bool ok = Bench::Interleave(
            options.reps, [&] { Bench::RetireTree(options.data, destination); },
            [&] {
                InstallerRun run = RunInstaller(installer, source, destination);
                if (run.total >= 0) {
                    untilCopy.push_back(run.untilCopy);
                    copyPost.push_back(run.copyPost);
                    afterBox.push_back(run.afterBox);
                    if (run.mainCpu >= 0 && run.copyPost > 0)
                        cpuShare.push_back(100.0 * run.mainCpu / run.copyPost);
                }
                return run.total;
            },
            [&] { return RunCopyLoop(copyloop, source, destination); }, ours, yardstick);
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
        char line[320];
        if (cpuShare.empty())
            cpuShare.push_back(-1);  // the thread's times could not be read
        Bench::Stats cpu = Bench::Summarise(cpuShare);
        std::snprintf(line, sizeof(line),
                      "- %s: start to copy %.3f s, copy and post-processing %.3f s, box to end %.3f s, main thread "
                      "%.1f %% of a core (%.1f-%.1f)",
                      set.label.c_str(), Bench::Summarise(untilCopy).median, Bench::Summarise(copyPost).median,
                      Bench::Summarise(afterBox).median, cpu.median, cpu.min, cpu.max);
        details.push_back(line);
    }
    Bench::PrintNote("\ninstaller.exe phases (medians; the copy starts when the cancel button is enabled):\n");
    for (const std::string& line : details)
        Bench::PrintNote(line);
    return failures ? 1 : 0;
}
