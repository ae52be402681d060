#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "support/ImportHook.h"
#include "template/CAppCallbackRegistry.h"
#include "thread/ComInitialize.h"
#include "thread/ThreadLocal.h"
#include "thread/ThreadLocalManager.h"

using namespace Corvane::Base::Thread;

namespace {

const DWORD kTimeout = 10000;

// Starts a thread that runs *body; the caller keeps body alive until it ends.
DWORD WINAPI RunBody(LPVOID p)
{
    (*static_cast<std::function<void()>*>(p))();
    return 0;
}

HANDLE StartThread(std::function<void()>* body)
{
    return CreateThread(nullptr, 0, &RunBody, body, 0, nullptr);
}

// Runs `body` on a thread of its own and waits for it; false on timeout.
bool RunOnThread(std::function<void()> body)
{
    HANDLE h = StartThread(&body);
    if (h == nullptr)
        return false;
    bool ended = WaitForSingleObject(h, kTimeout) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended;
}

// Counts the CoInitialize and CoUninitialize calls that go through the
// program's import table while the object lives.
struct ComCallCounter {
    static std::atomic<int> s_Init;
    static std::atomic<int> s_Uninit;
    static void* s_pInit;
    static void* s_pUninit;

    static HRESULT WINAPI CountingInit(LPVOID reserved)
    {
        ++s_Init;
        return reinterpret_cast<HRESULT(WINAPI*)(LPVOID)>(s_pInit)(reserved);
    }
    static void WINAPI CountingUninit()
    {
        ++s_Uninit;
        reinterpret_cast<void(WINAPI*)()>(s_pUninit)();
    }

    TestSupport::ImportHook init{"ole32.dll", "CoInitialize", reinterpret_cast<void*>(&CountingInit)};
    TestSupport::ImportHook uninit{"ole32.dll", "CoUninitialize", reinterpret_cast<void*>(&CountingUninit)};

    ComCallCounter()
    {
        s_Init = 0;
        s_Uninit = 0;
        s_pInit = init.Original();
        s_pUninit = uninit.Original();
    }
    bool Installed() const { return init.Installed() && uninit.Installed(); }
    // The thread's own COM calls, made around the code under test, are not counted.
    static void RealUninitialize() { reinterpret_cast<void(WINAPI*)()>(s_pUninit)(); }
};

std::atomic<int> ComCallCounter::s_Init{0};
std::atomic<int> ComCallCounter::s_Uninit{0};
void* ComCallCounter::s_pInit = nullptr;
void* ComCallCounter::s_pUninit = nullptr;

}  // namespace

TEST(ThreadLocal, ValuesOfTwoThreadsAreIndependentAndRemovalIsPerThread)
{
    ThreadLocal<int> local;
    local.Set(10);
    local.Set(11);  // assigns, does not add a second entry

    HANDLE setDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE mainRemoved = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    int seenBefore = 0, seenAfter = 0;
    bool nullAtStart = false;
    std::function<void()> body = [&] {
        nullAtStart = local.Get() == nullptr;
        local.Set(20);
        seenBefore = *local.Get();
        SetEvent(setDone);
        if (WaitForSingleObject(mainRemoved, kTimeout) != WAIT_OBJECT_0)
            return;
        seenAfter = local.Get() != nullptr ? *local.Get() : -1;
    };
    HANDLE t = StartThread(&body);
    ASSERT_NE(nullptr, t);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(setDone, kTimeout));
    ASSERT_NE(nullptr, local.Get());
    EXPECT_EQ(11, *local.Get()) << "the other thread's Set must not reach this thread";

    local.RemoveCurrent();
    EXPECT_EQ(nullptr, local.Get()) << "one RemoveCurrent removes the only entry";
    SetEvent(mainRemoved);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, kTimeout));
    CloseHandle(t);
    CloseHandle(setDone);
    CloseHandle(mainRemoved);

    EXPECT_TRUE(nullAtStart);
    EXPECT_EQ(20, seenBefore);
    EXPECT_EQ(20, seenAfter) << "RemoveCurrent on the main thread left the worker's value";

    local.Set(5);
    local.Clear();
    EXPECT_EQ(nullptr, local.Get());
}

TEST(ThreadLocal, RegistersWhileAliveAndDetachedObjectsAreLeftInTheList)
{
    ThreadLocalManager* manager = GetThreadLocalManager();
    ASSERT_NE(nullptr, manager);
    int before = manager->GetCount();
    {
        ThreadLocal<int> local;
        EXPECT_EQ(before + 1, manager->GetCount());
    }
    EXPECT_EQ(before, manager->GetCount()) << "an attached object unregisters when it dies";

    // The start-up callbacks detach every object listed by then.
    ThreadLocal<int>* early = new ThreadLocal<int>;
    Corvane::Base::Template::GetAppCallbackRegistry()->RunStartupCallbacks();
    ThreadLocal<int>* late = new ThreadLocal<int>;
    EXPECT_EQ(before + 2, manager->GetCount());
    delete late;
    EXPECT_EQ(before + 1, manager->GetCount()) << "objects made after start-up stay attached";
    delete early;
    EXPECT_EQ(before + 1, manager->GetCount()) << "a detached object leaves the list alone";
}

TEST(ComInitialize, NestedCallsReachComOncePerThread)
{
    ComCallCounter counter;
    ASSERT_TRUE(counter.Installed());
    bool first = false, second = false;
    int afterInit = 0, afterOneUninit = 0, afterAll = 0, afterExtra = 0;
    ASSERT_TRUE(RunOnThread([&] {
        first = InitializeCom();
        second = InitializeCom();
        afterInit = ComCallCounter::s_Uninit;
        UninitializeCom();
        afterOneUninit = ComCallCounter::s_Uninit;
        UninitializeCom();
        afterAll = ComCallCounter::s_Uninit;
        UninitializeCom();  // unpaired: nothing to undo
        afterExtra = ComCallCounter::s_Uninit;
    }));
    EXPECT_TRUE(first);
    EXPECT_TRUE(second);
    EXPECT_EQ(1, ComCallCounter::s_Init);
    EXPECT_EQ(0, afterInit);
    EXPECT_EQ(0, afterOneUninit) << "the inner Uninitialize must not end COM";
    EXPECT_EQ(1, afterAll);
    EXPECT_EQ(1, afterExtra);
}

TEST(ComInitialize, CountsOfTwoThreadsAreSeparate)
{
    ComCallCounter counter;
    ASSERT_TRUE(counter.Installed());
    HANDLE initialized = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool otherOk = false;
    std::function<void()> other = [&] {
        otherOk = InitializeCom();
        SetEvent(initialized);
        WaitForSingleObject(release, kTimeout);
        UninitializeCom();
    };
    HANDLE t = StartThread(&other);
    ASSERT_NE(nullptr, t);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(initialized, kTimeout));
    // This thread has no count yet although the other one holds COM.
    bool mineOk = false;
    ASSERT_TRUE(RunOnThread([&] {
        mineOk = InitializeCom();
        UninitializeCom();
    }));
    SetEvent(release);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, kTimeout));
    CloseHandle(t);
    CloseHandle(initialized);
    CloseHandle(release);
    EXPECT_TRUE(otherOk);
    EXPECT_TRUE(mineOk);
    EXPECT_EQ(2, ComCallCounter::s_Init);
    EXPECT_EQ(2, ComCallCounter::s_Uninit);
}

TEST(ComInitialize, ThreadInAnotherApartmentFailsAndKeepsNoCount)
{
    ComCallCounter counter;
    ASSERT_TRUE(counter.Installed());
    HRESULT mta = E_FAIL;
    bool inMta = true, stray = true, afterLeavingMta = false;
    int initCalls = 0, uninitCalls = 0, initCallsAfter = 0, uninitCallsAfter = 0;
    ASSERT_TRUE(RunOnThread([&] {
        mta = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (FAILED(mta))
            return;
        inMta = InitializeCom();
        // A caller that ignores the failure must not end the thread's own COM.
        UninitializeCom();
        initCalls = ComCallCounter::s_Init;
        uninitCalls = ComCallCounter::s_Uninit;
        ComCallCounter::RealUninitialize();
        // No count was left behind: the next call starts COM again.
        afterLeavingMta = InitializeCom();
        UninitializeCom();
        initCallsAfter = ComCallCounter::s_Init;
        uninitCallsAfter = ComCallCounter::s_Uninit;
        stray = false;
    }));
    ASSERT_TRUE(SUCCEEDED(mta));
    ASSERT_FALSE(stray);
    EXPECT_FALSE(inMta);
    EXPECT_EQ(1, initCalls);
    EXPECT_EQ(0, uninitCalls);
    EXPECT_TRUE(afterLeavingMta);
    EXPECT_EQ(2, initCallsAfter);
    EXPECT_EQ(1, uninitCallsAfter);
}
