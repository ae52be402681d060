// Second process for thread-registry and mutex tests. Modes:
//   stopall-none | stopall-self | stopall-many   exit code 0 when StopAll behaved
//   hold-mutex NAME READY_EVENT QUIT_EVENT       holds a named mutex until told to quit (max 60 s)
#include <windows.h>

#include <atomic>
#include <cstring>
#include <vector>

#include "thread/CEvent.h"
#include "thread/CMutex.h"
#include "thread/CThread.h"
#include "thread/CThreadManager.h"

using namespace Corvane::Base::Thread;

namespace {

class Looper : public CThread {
public:
    std::atomic<bool> finished{false};
    void ThreadProc() override
    {
        while (IsRunning())
            SleepUntilStop(60000);
        Sleep(10);
        finished = true;
    }
    ~Looper() override { Stop(); }
};

class SelfStopper : public CThread {
public:
    std::atomic<int> result{-1};
    void ThreadProc() override { result = GetThreadManager()->StopAll() ? 1 : 0; }
    ~SelfStopper() override { Stop(); }
};

int StopAllMany()
{
    std::vector<Looper*> threads;
    for (int i = 0; i < 20; ++i) {
        threads.push_back(new Looper);
        if (!threads.back()->Start(i % 2 == 0 ? 0 : THREAD_PRIORITY_BELOW_NORMAL))
            return 10;
    }
    if (GetThreadManager()->GetCount() != 20)
        return 11;
    if (!GetThreadManager()->StopAll())
        return 12;
    for (Looper* t : threads)
        if (!t->finished)
            return 13;
    if (GetThreadManager()->GetCount() != 0)
        return 14;
    // A second call neither stops nor waits, even while a thread runs.
    Looper late;
    late.Start(0);
    if (GetThreadManager()->StopAll())
        return 15;
    if (!late.IsRunning())
        return 16;
    late.Stop();
    for (Looper* t : threads)
        delete t;
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    if (std::strcmp(argv[1], "stopall-none") == 0)
        return GetThreadManager()->StopAll() ? 0 : 1;
    if (std::strcmp(argv[1], "stopall-self") == 0) {
        SelfStopper t;
        if (!t.Start(0))
            return 3;
        t.Stop();
        return t.result == 1 ? 0 : 1;
    }
    if (std::strcmp(argv[1], "stopall-many") == 0)
        return StopAllMany();
    if (std::strcmp(argv[1], "hold-mutex") == 0 && argc >= 5) {
        CMutex mutex;
        int created = mutex.Create(argv[2]);
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
        HANDLE quit = OpenEventA(SYNCHRONIZE, FALSE, argv[4]);
        if (ready != nullptr)
            SetEvent(ready);
        if (quit != nullptr)
            WaitForSingleObject(quit, 60000);
        return created == 1 ? 0 : 1;
    }
    return 2;
}
