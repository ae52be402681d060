#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "template/function_callback.h"
#include "thread/CCriticalLock.h"
#include "thread/CCriticalSection.h"
#include "thread/CEvent.h"
#include "timer/CIntervalTimer.h"

using namespace Corvane::Base;
using Timer::CIntervalTimer;

namespace {

// Records the moments it fires (ms since the test's start) and signals each firing.
class Recorder : public Template::function_callback_v {
public:
    Recorder(DWORD origin, std::vector<DWORD>* times, Thread::CCriticalSection* lock, Thread::CEvent* fired)
        : m_Origin(origin), m_pTimes(times), m_pLock(lock), m_pFired(fired) {}
    void Invoke() override
    {
        {
            Thread::CCriticalLock l(m_pLock);
            m_pTimes->push_back(timeGetTime() - m_Origin);
        }
        m_pFired->Set();
    }

private:
    DWORD m_Origin;
    std::vector<DWORD>* m_pTimes;
    Thread::CCriticalSection* m_pLock;
    Thread::CEvent* m_pFired;
};

struct Firings {
    std::vector<DWORD> times;
    Thread::CCriticalSection lock;
    Thread::CEvent fired;
    size_t Count()
    {
        Thread::CCriticalLock l(&lock);
        return times.size();
    }
    bool WaitFor(size_t n, DWORD timeoutMs)
    {
        DWORD start = GetTickCount();
        while (Count() < n) {
            if (GetTickCount() - start > timeoutMs)
                return false;
            fired.Wait(100);
        }
        return true;
    }
};

}  // namespace

TEST(IntervalTimer, IdsStartAtTwoAndNullCallbacksAreRefused)
{
    CIntervalTimer timer;
    EXPECT_TRUE(timer.IsRunning());
    EXPECT_EQ(THREAD_PRIORITY_HIGHEST, timer.GetPriority());
    EXPECT_EQ(0u, timer.AddTimer(nullptr, 10, 10, 1));
    Firings f;
    EXPECT_EQ(2u, timer.AddTimer(new Recorder(timeGetTime(), &f.times, &f.lock, &f.fired), 100000, 0, 1));
    EXPECT_EQ(3u, timer.AddTimer(new Recorder(timeGetTime(), &f.times, &f.lock, &f.fired), 100000, 0, 1));
    timer.RemoveTimer(12345);  // unknown: only wakes the thread
    EXPECT_EQ(2, timer.GetRecordCount());
}

TEST(IntervalTimer, FiresAfterTheDelayThenPeriodicallyAndDisappears)
{
    CIntervalTimer timer;
    Firings f;
    DWORD origin = timeGetTime();
    DWORD id = timer.AddTimer(new Recorder(origin, &f.times, &f.lock, &f.fired), 100, 30, 3);
    ASSERT_TRUE(f.WaitFor(3, 10000));
    timer.WaitTimerRemoved(id);
    EXPECT_EQ(0, timer.GetRecordCount());
    Sleep(100);  // a fourth firing would have come by now
    ASSERT_EQ(3u, f.Count());
    // Generous bounds: a loaded machine may be late, never early.
    EXPECT_GE(f.times[0], 95u);
    EXPECT_LT(f.times[0], 1000u);
    EXPECT_GE(f.times[1] - f.times[0], 25u);
    EXPECT_GE(f.times[2] - f.times[1], 25u);
    EXPECT_LT(f.times[2], 2000u);
}

TEST(IntervalTimer, PauseAndResumeKeepTheTimeAlreadyWaited)
{
    CIntervalTimer timer;
    Firings f;
    DWORD origin = timeGetTime();
    DWORD id = timer.AddTimer(new Recorder(origin, &f.times, &f.lock, &f.fired), 300, 0, 1);
    Sleep(100);
    timer.PauseTimer(id);
    DWORD paused = timeGetTime();
    Sleep(500);
    EXPECT_EQ(0u, f.Count()) << "a paused timer does not fire";
    DWORD waitedBefore = paused - origin;
    DWORD resumed = timeGetTime();
    timer.ResumeTimer(id);
    ASSERT_TRUE(f.WaitFor(1, 10000));
    long afterResume = static_cast<long>(f.times[0] + origin - resumed);
    // It still owed about 300 - waitedBefore ms (a slow machine may have waited longer before the pause).
    long owed = 300 - static_cast<long>(waitedBefore);
    EXPECT_GE(afterResume + 20, owed > 0 ? owed : 0);
    EXPECT_LT(afterResume, 300 + 500);
}

TEST(IntervalTimer, CallbacksMayAddAndRemoveTimersOfTheirTimer)
{
    CIntervalTimer timer;
    Firings added;
    struct Chain : Template::function_callback_v {
        CIntervalTimer* timer;
        Firings* added;
        std::atomic<DWORD>* selfId;
        std::atomic<int>* calls;
        void Invoke() override
        {
            ++*calls;
            timer->AddTimer(new Recorder(timeGetTime(), &added->times, &added->lock, &added->fired), 10, 10, 2);
            timer->RemoveTimer(*selfId);
        }
    };
    std::atomic<DWORD> selfId(0);
    std::atomic<int> calls(0);
    Chain* chain = new Chain;
    chain->timer = &timer;
    chain->added = &added;
    chain->selfId = &selfId;
    chain->calls = &calls;
    selfId = timer.AddTimer(chain, 20, 20, 0);  // forever, until it removes itself
    ASSERT_TRUE(added.WaitFor(2, 10000));
    timer.WaitTimerRemoved(selfId);
    EXPECT_EQ(1, calls.load());
}

TEST(IntervalTimer, WaitTimerRemovedReturnsAfterTheNextCompaction)
{
    CIntervalTimer timer;
    Firings f;
    DWORD id = timer.AddTimer(new Recorder(timeGetTime(), &f.times, &f.lock, &f.fired), 0, 5, 0);
    ASSERT_TRUE(f.WaitFor(2, 10000));
    timer.RemoveTimer(id);
    timer.WaitTimerRemoved(id);
    size_t count = f.Count();
    Sleep(50);
    EXPECT_EQ(count, f.Count()) << "nothing fires once the record is gone";
    EXPECT_EQ(0, timer.GetRecordCount());
}

TEST(IntervalTimer, WaitTimerRemovedDoesNotWaitForAStoppedTimer)
{
    CIntervalTimer timer;
    Firings f;
    DWORD id = timer.AddTimer(new Recorder(timeGetTime(), &f.times, &f.lock, &f.fired), 100000, 0, 1);
    timer.Stop();  // as at program end: nothing compacts any more
    timer.RemoveTimer(id);
    timer.WaitTimerRemoved(id);
    EXPECT_EQ(1, timer.GetRecordCount());
}
