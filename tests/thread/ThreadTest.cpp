#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "thread/CEvent.h"
#include "thread/CThread.h"
#include "thread/CThreadManager.h"

using namespace Corvane::Base::Thread;

namespace {

const DWORD kTimeout = 10000;

// A thread whose body is a test-given function.
class LambdaThread : public CThread {
public:
    std::function<void(LambdaThread&)> body;
    CEventManual stopRequested;
    CEventManual bodyDone;
    std::atomic<int> stopRequests{0};
    CEvent stopRequestEvent;
    void ThreadProc() override
    {
        if (body)
            body(*this);
        bodyDone.Set();
    }
    void OnStopRequest() override
    {
        ++stopRequests;
        stopRequested.Set();
        stopRequestEvent.Set();
    }
    // Start's own Stop counts as one request, the end of the body as the next.
    bool WaitForStopRequests(int count)
    {
        while (stopRequests < count)
            if (stopRequestEvent.Wait(10000) != WAIT_OBJECT_0)
                return false;
        return true;
    }
    ~LambdaThread() override { Stop(); }
};

}  // namespace

TEST(Thread, PriorityZeroStartsNormalOtherPrioritiesAreSetBeforeTheBodyRuns)
{
    struct Case { int priority; int seen; };
    Case cases[] = {{0, 0}, {THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL},
                    {THREAD_PRIORITY_TIME_CRITICAL, THREAD_PRIORITY_TIME_CRITICAL}};
    for (const Case& c : cases) {
        LambdaThread t;
        std::atomic<int> seen(-100);
        t.body = [&](LambdaThread&) { seen = GetThreadPriority(GetCurrentThread()); };
        ASSERT_TRUE(t.Start(c.priority)) << c.priority;
        ASSERT_EQ(WAIT_OBJECT_0, t.bodyDone.Wait(kTimeout));
        EXPECT_EQ(c.seen, seen.load()) << "priority " << c.priority;
        t.Stop();
    }
}

TEST(Thread, StartWhileAttachedStopsAndJoinsTheEarlierRunFirst)
{
    LambdaThread t;
    std::atomic<int> runs(0);
    std::atomic<bool> firstFinished(false);
    CEventManual firstRunning;
    t.body = [&](LambdaThread& self) {
        int run = ++runs;
        if (run == 1) {
            firstRunning.Set();
            while (self.IsRunning())
                self.SleepUntilStop(kTimeout);
            Sleep(50);  // the join must wait for this too
            firstFinished = true;
        }
    };
    ASSERT_TRUE(t.Start(0));
    ASSERT_EQ(WAIT_OBJECT_0, firstRunning.Wait(kTimeout));
    DWORD firstId = t.GetThreadId();
    ASSERT_TRUE(t.Start(0));
    EXPECT_TRUE(firstFinished.load());
    EXPECT_NE(firstId, t.GetThreadId());
    t.Stop();
    EXPECT_EQ(2, runs.load());
}

TEST(Thread, StopFromAnotherThreadJoinsFromItselfOnlyRequests)
{
    LambdaThread t;
    std::atomic<bool> bodyDone(false);
    t.body = [&](LambdaThread& self) {
        self.SleepUntilStop(kTimeout);
        Sleep(20);
        bodyDone = true;
    };
    ASSERT_TRUE(t.Start(0));
    t.Stop();
    EXPECT_TRUE(bodyDone.load());
    EXPECT_EQ(static_cast<DWORD>(-1), t.GetThreadId());
    EXPECT_FALSE(t.IsRunning());

    LambdaThread self;
    std::atomic<DWORD> idAfterOwnStop(0);
    CEventManual stopped;
    self.body = [&](LambdaThread& me) {
        me.Stop();  // must return at once, keeping the handle
        idAfterOwnStop = me.GetThreadId();
        stopped.Set();
    };
    ASSERT_TRUE(self.Start(0));
    ASSERT_EQ(WAIT_OBJECT_0, stopped.Wait(kTimeout));
    EXPECT_NE(static_cast<DWORD>(-1), idAfterOwnStop.load());
    self.Stop();
    EXPECT_EQ(static_cast<DWORD>(-1), self.GetThreadId());
}

TEST(Thread, SleepUntilStopWakesOnRequestAndReturnsAtOnceAfterwards)
{
    LambdaThread t;
    CEventManual sleeping;
    std::atomic<DWORD> first(0), second(0), secondMs(0);
    t.body = [&](LambdaThread& self) {
        sleeping.Set();
        first = self.SleepUntilStop(30000);
        DWORD start = GetTickCount();
        second = self.SleepUntilStop(30000);
        secondMs = GetTickCount() - start;
    };
    ASSERT_TRUE(t.Start(0));
    ASSERT_EQ(WAIT_OBJECT_0, sleeping.Wait(kTimeout));
    DWORD start = GetTickCount();
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), t.SleepUntilStop(30000));  // not the own thread
    EXPECT_LT(GetTickCount() - start, 5000u);
    t.RequestStop();
    t.Stop();
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), first.load());
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), second.load());
    EXPECT_LT(secondMs.load(), 5000u);
}

TEST(Thread, RunningFlagFallsWhenTheBodyReturns)
{
    LambdaThread t;
    t.body = [](LambdaThread&) {};
    ASSERT_TRUE(t.Start(0));
    ASSERT_TRUE(t.WaitForStopRequests(2));
    EXPECT_FALSE(t.IsRunning());
    t.Stop();
}

TEST(Thread, StopOnIdleObjectOnlyRequests)
{
    LambdaThread t;
    t.Stop();
    EXPECT_EQ(WAIT_OBJECT_0, t.stopRequested.Wait(0));
    EXPECT_EQ(static_cast<DWORD>(-1), t.GetThreadId());
    EXPECT_EQ(0u, t.Suspend());
    EXPECT_FALSE(t.SetPriority(1));
}

TEST(Thread, RegisteredWhileTheBodyRuns)
{
    CThreadManager* registry = GetThreadManager();
    ASSERT_NE(nullptr, registry);
    int before = registry->GetCount();
    LambdaThread t;
    CEventManual inBody, release;
    t.body = [&](LambdaThread&) {
        inBody.Set();
        release.Wait(kTimeout);
    };
    ASSERT_TRUE(t.Start(0));
    ASSERT_EQ(WAIT_OBJECT_0, inBody.Wait(kTimeout));
    EXPECT_EQ(before + 1, registry->GetCount());
    release.Set();
    t.Stop();
    EXPECT_EQ(before, registry->GetCount());
}

TEST(Event, SetFlagRecordsTheLastCallNotTheWait)
{
    CEvent autoReset;
    EXPECT_FALSE(autoReset.IsSet());
    autoReset.Set();
    EXPECT_EQ(WAIT_OBJECT_0, autoReset.Wait(0));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), autoReset.Wait(0));  // consumed
    EXPECT_TRUE(autoReset.IsSet());
    autoReset.Reset();
    EXPECT_FALSE(autoReset.IsSet());

    CEventManual manual;
    manual.Set();
    EXPECT_EQ(WAIT_OBJECT_0, manual.Wait(0));
    EXPECT_EQ(WAIT_OBJECT_0, manual.Wait(0));
    manual.Close();
    EXPECT_EQ(nullptr, manual.GetHandle());
    EXPECT_EQ(WAIT_FAILED, manual.Wait(0));
}
