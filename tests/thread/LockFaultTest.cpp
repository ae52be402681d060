#include <windows.h>

#include <gtest/gtest.h>

#include "support/DebugCapture.h"
#include "thread/CCriticalLock.h"
#include "thread/CCriticalSection.h"

using namespace Corvane::Base::Thread;

namespace {

// True when another thread can take the section at once (nobody holds it).
bool FreeForOthers(CCriticalSection* section)
{
    struct Probe {
        static DWORD WINAPI Run(LPVOID p)
        {
            CCriticalSection* s = static_cast<CCriticalSection*>(p);
            s->Enter();
            s->Leave();
            return 0;
        }
    };
    HANDLE t = CreateThread(nullptr, 0, &Probe::Run, section, 0, nullptr);
    bool done = WaitForSingleObject(t, 5000) == WAIT_OBJECT_0;
    CloseHandle(t);
    return done;
}

const char kSectionLeave[] = "CCriticalSection::Leave() Enter()されていないのにLeave()が呼び出された。";
const char kSectionDestroy[] =
    "CCriticalSection::~CCriticalSection() Leave()されていないまま解放されようとしている。";
const char kLockLeave[] = "CCriticalLock::Leave() Enter()されていないのにLeaveが呼び出された。";
const char kLockNull[] = "CCriticalLock::CCriticalLock() 無効なクリティカルセクションが渡された。";

}  // namespace

TEST(LockFaults, UnbalancedSectionLeaveIsReportedAndSkipped)
{
    TestSupport::DebugCapture capture;
    CCriticalSection section;
    section.Leave();
    EXPECT_EQ(1, capture.Count(kSectionLeave));
    EXPECT_EQ(0, section.GetEnterCount());
    section.Enter();
    EXPECT_EQ(1, section.GetEnterCount());
    section.Leave();
    EXPECT_TRUE(FreeForOthers(&section));
}

TEST(LockFaults, DestroyingAnEnteredSectionReportsAndReleasesEveryEntry)
{
    TestSupport::DebugCapture capture;
    CCriticalSection* section = new CCriticalSection;
    section->Enter();
    section->Enter();
    delete section;
    EXPECT_EQ(1, capture.Count(kSectionDestroy));
    EXPECT_EQ(0, capture.Count(kSectionLeave));  // the destructor's own leaves are balanced
}

TEST(LockFaults, ScopedLockBalancesAndReportsAnExtraLeave)
{
    TestSupport::DebugCapture capture;
    CCriticalSection section;
    {
        CCriticalLock lock(&section);
        lock.Enter();
        EXPECT_EQ(2, section.GetEnterCount());
    }
    EXPECT_EQ(0, section.GetEnterCount());
    EXPECT_TRUE(FreeForOthers(&section));

    {
        CCriticalLock lock(&section);
        lock.Leave();
        lock.Leave();  // one too many
        EXPECT_EQ(0, section.GetEnterCount());
    }
    EXPECT_EQ(1, capture.Count(kLockLeave));
    EXPECT_EQ(0, capture.Count(kSectionLeave));

    { CCriticalLock nothing(nullptr); }
    EXPECT_EQ(1, capture.Count(kLockNull));
    EXPECT_EQ(2u, capture.Reports().size());
}
