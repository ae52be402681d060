// Runs the start-up object like the programs do and writes what it saw to
// the file named by argument 1: the value of key "ProbeKey", the current
// directory after start-up, whether argument 100 is empty and the argument count.
// With argument 2 "thread" it leaves a thread running when the start-up object ends.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "appframe/CAppInitializer.h"
#include "thread/CThread.h"

using Corvane::Base::AppFrame::CAppInitializer;

namespace {

class Busy : public Corvane::Base::Thread::CThread {
public:
    void ThreadProc() override
    {
        while (IsRunning())
            SleepUntilStop(60000);
    }
    ~Busy() override { Stop(); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    Busy busy;
    {
        CAppInitializer initializer(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
        std::string out = CAppInitializer::GetArgument(1);
        char cwd[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, cwd);
        std::FILE* f = std::fopen(out.c_str(), "wb");
        if (f != nullptr) {
            std::fprintf(f, "%s\n%s\n%d\n%d\n",
                         CAppInitializer::GetInitializerScript().GetValue("ProbeKey").c_str(), cwd,
                         CAppInitializer::GetArgument(100).empty() ? 1 : 0,
                         CAppInitializer::GetInitializerScript().GetValueInt("ProbeNumber"));
            std::fclose(f);
        }
        if (CAppInitializer::GetArgument(2) == "thread")
            busy.Start(0);
    }
    return busy.IsRunning() ? 1 : 0;
}
