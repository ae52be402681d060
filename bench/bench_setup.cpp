// Start-up: setup.exe from its start to its confirmation box, against
// boxonly.exe, a program that shows one box and nothing else. The time is
// taken when the box exists; both are then answered and left to end.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "auxiliary/CSetupHelper2.h"
#include "auxiliary/SetupInformationRecord.h"

using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::SetupInformationRecord;

namespace {

const char kApp[] = "ベンチ起動";
const char kConfirm[] = "ベンチ起動追加データ";
const DWORD kTimeout = 60000;

bool WriteText(const std::string& path, const std::string& text)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD wrote = 0;
    bool ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) && wrote == text.size();
    CloseHandle(h);
    return ok;
}

// A distribution with setup.exe and its script, and a base game recorded
// in Information.reg, so that setup goes straight to its confirmation box.
bool PrepareDistribution(const std::string& data, std::string& dist)
{
    dist = data + "\\setup-dist";
    std::string base = data + "\\setup-base";
    CreateDirectoryA(data.c_str(), nullptr);
    CreateDirectoryA(dist.c_str(), nullptr);
    CreateDirectoryA((dist + "\\cfg").c_str(), nullptr);
    CreateDirectoryA((dist + "\\gamedata").c_str(), nullptr);
    CreateDirectoryA(base.c_str(), nullptr);
    if (!CopyFileA((Bench::ModuleFolder() + "\\setup.exe").c_str(), (dist + "\\setup.exe").c_str(), FALSE))
        return false;
    std::string script = std::string("AppName ") + kApp + "\r\nCaption 追加データ\r\nMessage01 の追加データ\r\n"
                         "DiskDirectory gamedata\r\nGameExecute game.exe\r\nGameUninstall uninst.exe\r\n"
                         "InstallExecute installer.exe\r\n";
    if (!WriteText(dist + "\\cfg\\init.ini", script) || !WriteText(base + "\\game.exe", "game"))
        return false;
    CSetupHelper2 helper;
    SetupInformationRecord record;
    record.m_AppName = kApp;
    record.m_InstallFolder = base;
    record.m_ProgramPath = base + "\\game.exe";
    return helper.WriteSetupInformation(record);
}

// Seconds from the start to the box; the box is then answered with `button`
// and, for setup, the box that follows with OK.
double TimeToBox(const std::string& commandLine, const std::string& folder, const char* caption, int button)
{
    double t0 = Bench::Now();
    Bench::Child child;
    if (!Bench::StartChild(commandLine, folder, child))
        return -1;
    double at = -1;
    while (Bench::Now() - t0 < kTimeout / 1000.0) {
        if (HWND box = FindWindowA("#32770", caption)) {
            at = Bench::Now() - t0;
            PostMessageA(box, WM_COMMAND, button, 0);
            break;
        }
        if (WaitForSingleObject(child.process, 1) == WAIT_OBJECT_0)
            break;
    }
    // Untimed: answer what follows until the process ends.
    double end = Bench::Now() + kTimeout / 1000.0;
    while (WaitForSingleObject(child.process, 5) == WAIT_TIMEOUT && Bench::Now() < end)
        if (HWND box = FindWindowA("#32770", caption))
            PostMessageA(box, WM_COMMAND, IDOK, 0);
    bool ended = Bench::WaitChild(child, 0);
    Bench::CloseChild(child);
    return ended ? at : -1;
}

}  // namespace

int main()
{
    Bench::Options options = Bench::ParseOptions(Bench::CommandLineTail());
    std::string dist;
    if (!PrepareDistribution(options.data, dist)) {
        std::printf("cannot prepare the distribution in %s\n", options.data.c_str());
        return 2;
    }
    std::string boxonly = Bench::Quote(Bench::ModuleFolder() + "\\boxonly.exe");
    std::string setup = Bench::Quote(dist + "\\setup.exe");
    Bench::PrintTableHead("Start-up: setup.exe to its confirmation box against a program that shows a box",
                          "setup.exe", "boxonly.exe");
    std::vector<double> ours, yardstick;
    if (!Bench::Interleave(options.reps, nullptr, [&] { return TimeToBox(setup, dist, kConfirm, IDNO); },
                           [&] { return TimeToBox(boxonly, std::string(), "boxonly", IDNO); }, ours, yardstick))
        return 1;
    Bench::PrintRow("start to the box", ours, yardstick, "ratio < 1: setup takes longer (goal: setup <= 1.5 x)");
    return 0;
}
