// Second process for the application frame. Modes:
//   stopall 1|0     closes an application window; exit 0 when the other thread
//                   was stopped (1) or left running (0) as the flag says
//   startup         builds the start-up object as the programs do; exit 0 when the
//                   debug-output object is dormant and a report writes nothing
//   log             the same with the log switched on, three reports, normal end
//   show SECONDS    the debug window with a few rows, kept up for a screenshot
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "appframe/CAppBase.h"
#include "appframe/CAppInitializer.h"
#include "appframe/CWindowInfo.h"
#include "auxiliary/CDebugWindow.h"
#include "auxiliary/DebugPrint.h"
#include "thread/CThread.h"
#include "thread/CThreadManager.h"

using namespace Corvane::Base;

namespace {

class Looper : public Thread::CThread {
public:
    void ThreadProc() override
    {
        while (IsRunning())
            SleepUntilStop(10000);
    }
    ~Looper() override { Stop(); }
};

class ProbeApp : public AppFrame::CAppBase {
public:
    void OnSetupWindowInfo(AppFrame::CWindowInfo& info) override
    {
        info.SetClassName("CorvaneFrameProbe");
        info.m_Style = WS_POPUP;
        info.m_Width = 100;
        info.m_Height = 100;
    }
    ~ProbeApp() override { Stop(); }
};

int StopAllOnClose(bool stopAll)
{
    Looper other;
    if (!other.Start(0))
        return 10;
    ProbeApp app;
    app.SetStopAllOnClose(stopAll);
    if (!app.Run())
        return 11;
    app.PostClose();
    DWORD start = GetTickCount();
    while (app.IsRunning() || (stopAll && other.IsRunning())) {
        if (GetTickCount() - start > 10000)
            return 12;
        Sleep(5);
    }
    app.Stop();
    Sleep(100);
    if (other.IsRunning() == stopAll)
        return 13;
    return 0;
}

int Startup(bool log)
{
    AppFrame::CAppInitializer start(GetModuleHandleA(nullptr), nullptr, GetCommandLineA(), SW_SHOW);
    Auxiliary::CDebugWindow* debug = Auxiliary::GetDebugWindow();
    if (debug == nullptr)
        return 20;
    if (debug->GetWindowSwitch() || debug->GetLogSwitch())
        return 21;
    if (!debug->GetIntervalTimer()->IsRunning() || debug->GetIntervalTimer()->GetRecordCount() != 0)
        return 22;
    if (debug->IsRunning() || debug->GetHWnd() != nullptr)
        return 23;
    if (log)
        debug->SetLogSwitch(true);
    DebugPrint("probe report %d", 1);
    DebugPrint("probe report %s\n", "two");
    DebugPrint("probe report 3");
    if (!log && GetFileAttributesA((Auxiliary::GetUserDataPath() + "\\log.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
        return 24;
    return 0;
}

int Show(int seconds)
{
    Auxiliary::CDebugWindow* debug = Auxiliary::GetDebugWindow();
    debug->SetWindowSwitch(true);
    DebugPrint("CCriticalLock::Leave() Enter()されていないのにLeaveが呼び出された。");
    DebugPrint("error：ファイルの作成に失敗しました。<%s> [CFileImpl::Create()]", "C:\\サンプル\\log.txt");
    DebugPrint("GetDesktopPath() レジストリオープンに失敗");
    DebugPrint("report %d of %d", 4, 4);
    Sleep(static_cast<DWORD>(seconds) * 1000);
    debug->CloseWindow();
    debug->Stop();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    if (std::strcmp(argv[1], "stopall") == 0 && argc > 2)
        return StopAllOnClose(std::strcmp(argv[2], "1") == 0);
    if (std::strcmp(argv[1], "startup") == 0)
        return Startup(false);
    if (std::strcmp(argv[1], "log") == 0)
        return Startup(true);
    if (std::strcmp(argv[1], "show") == 0 && argc > 2)
        return Show(std::atoi(argv[2]));
    return 2;
}
