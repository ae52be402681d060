// menu_drive.exe: runs setup's menu road for the sample run, under the window
// driver with screenshots: 追加インストール, the first edition that can be
// chosen, インストール開始, the finished dialog's OK, then 終了.
//   menu_drive.exe SHOTS-FOLDER TRANSCRIPT -- PROGRAM
// Exit code: the program's; 98 for a box nobody expected, 99 when a step or the end did not come.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver/WindowDriver.h"
#include "../../setup/resource.h"

using TestDriver::WindowDriver;
using TestDriver::WindowState;

namespace {

const DWORD kStepTimeout = 120000;
const char kMenuCaption[] = "ケルナディアVC版 追加セットアップ";
const char kTargetCaption[] = "追加インストール先の選択";

// Presses a button of a window that shows and was not pressed before.
bool Press(WindowDriver& driver, std::vector<HWND>& used, bool (*match)(const WindowState&), int button)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < kStepTimeout; Sleep(50)) {
        for (const TestDriver::Event& e : driver.Find(match)) {
            HWND window = e.state.window;
            if (!IsWindow(window) || !IsWindowVisible(window) || std::find(used.begin(), used.end(), window) != used.end())
                continue;
            const TestDriver::ControlState* control = e.state.Control(button);
            if (!control || !control->enabled)
                continue;
            Sleep(600);  // the driver's screenshot first
            used.push_back(window);
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
            return true;
        }
    }
    std::fprintf(stderr, "menu_drive: no window for button %d\n", button);
    return false;
}

bool IsMenu(const WindowState& s) { return s.caption == kMenuCaption; }
bool IsTarget(const WindowState& s) { return s.caption == kTargetCaption; }
bool IsLocation(const WindowState& s) { return s.Control(IDC_LOCATION_START) && s.Control(IDC_LOCATION_BACK); }

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5 || std::string(argv[3]) != "--") {
        std::fprintf(stderr, "usage: menu_drive.exe SHOTS-FOLDER TRANSCRIPT -- PROGRAM\n");
        return 2;
    }
    WindowDriver driver;
    CreateDirectoryA(argv[1], nullptr);
    driver.SetScreenshotFolder(argv[1]);
    driver.Answer("", "ゲームのセットアップが、正常に終了しました。", IDOK, 1);
    if (!driver.Start(TestDriver::QuoteCommand(argv[4], ""))) {
        std::fprintf(stderr, "menu_drive: cannot start %s\n", argv[4]);
        return 2;
    }
    std::vector<HWND> used;
    int target = 0;
    bool ok = Press(driver, used, IsMenu, IDC_MENU_INSTALL);
    for (DWORD start = GetTickCount(); ok && !target && GetTickCount() - start < kStepTimeout; Sleep(50))
        for (const TestDriver::Event& e : driver.Find(IsTarget))
            for (int button : {IDC_TARGET_HIGH, IDC_TARGET_LOW})
                if (!target && e.state.Control(button) && e.state.Control(button)->enabled)
                    target = button;
    ok = ok && target && Press(driver, used, IsTarget, target) && Press(driver, used, IsLocation, IDC_LOCATION_START) &&
         Press(driver, used, IsMenu, IDCANCEL);
    DWORD code = 0;
    bool ended = driver.WaitForExit(kStepTimeout, &code);
    if (FILE* f = std::fopen(argv[2], "wb")) {
        std::string text = driver.Transcript();
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    if (!ok || !ended)
        return 99;
    return driver.Unexpected().empty() ? static_cast<int>(code) : 98;
}
