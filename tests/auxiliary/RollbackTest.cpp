// The copy worker never loses a file of the user's: whatever ends a run, the
// destination is either as it was before or completely installed.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "auxiliary/CInstallJournal.h"
#include "auxiliary/CSetupHelper2.h"
#include "auxiliary/InstallJournalFormat.h"
#include "auxiliary/SetupInformationFormat.h"
#include "support/DebugCapture.h"
#include "support/ImportHook.h"
#include "support/InformationRegGuard.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"
#include "support/TreeSnapshot.h"

using Corvane::Base::Auxiliary::CInstallJournal;
using Corvane::Base::Auxiliary::CSetupHelper2;
using Corvane::Base::Auxiliary::EncodeJournalEntry;
using Corvane::Base::Auxiliary::EncodeJournalHeader;
using Corvane::Base::Auxiliary::JournalEntry;
using Corvane::Base::Auxiliary::JournalKind;
using TestSupport::PathExists;
using TestSupport::Differences;
using TestSupport::ReadWhole;
using TestSupport::Snapshot;
using TestSupport::Tree;

namespace {

std::string Bytes(size_t n, int seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 131 + seed * 7 + i / 251) & 0xFF);
    return s;
}

// Polls like the progress dialog, pumping the messages that boxes owned by a
// window of this thread need.
bool WaitDone(CSetupHelper2& helper, DWORD timeoutMs = 60000)
{
    DWORD startTick = GetTickCount();
    while (GetTickCount() - startTick < timeoutMs) {
        if (helper.IsFinished() || (helper.IsFailed() && !helper.IsRunning()))
            return true;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    return false;
}

// Ends the test program if a wait of the product hangs, so a hang fails the
// test instead of holding up the whole run.
class Watchdog {
public:
    explicit Watchdog(DWORD ms) : m_hDone(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_Ms(ms)
    {
        m_hThread = CreateThread(nullptr, 0, &Watchdog::Body, this, 0, nullptr);
    }
    ~Watchdog()
    {
        SetEvent(m_hDone);
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        CloseHandle(m_hDone);
    }

private:
    static DWORD WINAPI Body(LPVOID p)
    {
        Watchdog* self = static_cast<Watchdog*>(p);
        if (WaitForSingleObject(self->m_hDone, self->m_Ms) == WAIT_TIMEOUT) {
            std::fprintf(stderr, "watchdog: the worker did not end within %lu ms\n", self->m_Ms);
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        return 0;
    }
    HANDLE m_hDone;
    DWORD m_Ms;
    HANDLE m_hThread;
};

// ---- injected faults ------------------------------------------------------

struct Fault {
    void* original = nullptr;
    std::atomic<int> calls{0};
    int holdAt = 0;           // ReadFile: the call that waits for the stop request
    bool failHeld = false;    // ... and then fails instead of reading
    int failures = 0;         // calls that fail (WriteFile: only chunk-sized writes)
    unsigned long long failFrom = ~0ull;  // ReadFile: fail once at this position or beyond
    CSetupHelper2* helper = nullptr;
    HANDLE hReached = nullptr;
};
Fault* g_Fault = nullptr;

BOOL WINAPI HookedReadFile(HANDLE h, LPVOID buf, DWORD n, LPDWORD got, LPOVERLAPPED o)
{
    typedef BOOL(WINAPI * Fn)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    Fault& f = *g_Fault;
    int call = ++f.calls;
    if (call == f.holdAt) {
        SetEvent(f.hReached);
        for (int i = 0; i < 2000 && f.helper->IsRunning(); ++i)
            Sleep(10);
        if (f.failHeld) {
            if (got)
                *got = 0;
            SetLastError(ERROR_CRC);
            return FALSE;
        }
    }
    if (f.failHeld && call > f.holdAt && f.holdAt != 0) {
        if (got)
            *got = 0;
        SetLastError(ERROR_CRC);
        return FALSE;
    }
    if (f.failFrom != ~0ull) {
        LARGE_INTEGER zero, at;
        zero.QuadPart = 0;
        SetFilePointerEx(h, zero, &at, FILE_CURRENT);
        if (static_cast<unsigned long long>(at.QuadPart) >= f.failFrom) {
            f.failFrom = ~0ull;  // transient: the next attempt passes
            if (got)
                *got = 0;
            SetLastError(ERROR_CRC);
            return FALSE;
        }
    }
    return reinterpret_cast<Fn>(f.original)(h, buf, n, got, o);
}

BOOL WINAPI HookedWriteFile(HANDLE h, LPCVOID buf, DWORD n, LPDWORD wrote, LPOVERLAPPED o)
{
    typedef BOOL(WINAPI * Fn)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    Fault& f = *g_Fault;
    if (f.failures > 0 && n >= 4096) {  // the copy's chunks, not the journal's records
        --f.failures;
        if (wrote)
            *wrote = 0;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return reinterpret_cast<Fn>(f.original)(h, buf, n, wrote, o);
}

BOOL WINAPI HookedMoveFileExA(LPCSTR from, LPCSTR to, DWORD flags)
{
    typedef BOOL(WINAPI * Fn)(LPCSTR, LPCSTR, DWORD);
    Fault& f = *g_Fault;
    if (f.failures > 0) {
        --f.failures;
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    return reinterpret_cast<Fn>(f.original)(from, to, flags);
}

class RollbackTest : public ::testing::Test {
protected:
    TestSupport::InformationRegGuard info;
    TestSupport::ScratchDir dir;
    std::string src = dir / "src";
    std::string dst = dir / "dst";

    void Source(const std::string& name, const std::string& bytes) { ASSERT_TRUE(dir.WriteFile("src\\" + name, bytes)); }
    void Existing(const std::string& name, const std::string& bytes, DWORD attributes = 0)
    {
        ASSERT_TRUE(dir.WriteFile("dst\\" + name, bytes));
        if (attributes != 0)
            SetFileAttributesA((dst + "\\" + name).c_str(), attributes);
    }

    void Configure(CSetupHelper2& helper, const std::vector<std::string>& names)
    {
        helper.SetAppName("テスト");
        helper.SetSourceFolder(src);
        helper.SetDestinationFolder(dst);
        unsigned long long total = 0;
        for (const std::string& n : names) {
            helper.AddFile(n);
            total += ReadWhole(src + "\\" + n).size();
        }
        helper.SetTotalSize(total);
    }
};

}  // namespace

// Cancel arriving at every kind of moment of a run over a tree that holds
// plain, hidden and read-only originals: each time, the tree comes back
// byte for byte and attribute for attribute, with nothing added.
TEST_F(RollbackTest, CancelAtAnyChunkGivesBackTheTreeExactly)
{
    // Chunks read, in order: a.bin 1-3, hidden.ini 4, ro.dat 5-6, new\b.bin 7-10, c.bin 11.
    Source("a.bin", Bytes(40000, 1));
    Source("hidden.ini", Bytes(100, 2));
    Source("ro.dat", Bytes(20000, 3));
    Source("new\\b.bin", Bytes(50000, 4));
    Source("empty.txt", "");
    Source("c.bin", Bytes(16384, 5));
    const std::vector<std::string> names = {"a.bin", "hidden.ini", "ro.dat", "new\\b.bin", "empty.txt", "c.bin"};
    struct Case {
        const char* name;
        int chunk;  // the read during which the cancel comes; beyond 11: after the run
    } cases[] = {{"inside the first file", 1},   {"in the first file's last chunk", 3},
                 {"between files", 4},           {"inside a new file in a new folder", 8},
                 {"in the last chunk", 11},      {"after the last file", 12}};
    for (const Case& c : cases) {
        TestSupport::RemoveTree(dst);
        Existing("a.bin", "the user's a");
        Existing("hidden.ini", "the user's settings", FILE_ATTRIBUTE_HIDDEN);
        Existing("ro.dat", "read only", FILE_ATTRIBUTE_READONLY);
        Existing("save\\slot1.sav", "a save");
        ASSERT_TRUE(CreateDirectoryA((dst + "\\emptydir").c_str(), nullptr));
        Tree before = Snapshot(dst);

        CSetupHelper2 helper;
        Configure(helper, names);
        Fault fault;
        fault.holdAt = c.chunk;
        fault.helper = &helper;
        fault.hReached = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        g_Fault = &fault;
        {
            TestSupport::ImportHook hook("kernel32.dll", "ReadFile", reinterpret_cast<void*>(&HookedReadFile));
            ASSERT_TRUE(hook.Installed());
            fault.original = hook.Original();
            ASSERT_TRUE(helper.StartInstall()) << c.name;
            HANDLE waits[] = {fault.hReached};
            for (int i = 0; i < 3000 && !helper.IsFinished(); ++i)
                if (WaitForMultipleObjects(1, waits, FALSE, 10) == WAIT_OBJECT_0)
                    break;
            EXPECT_EQ(c.chunk > 11, helper.IsFinished()) << c.name;
            helper.CancelInstall();
        }
        CloseHandle(fault.hReached);
        EXPECT_TRUE(helper.IsFailed()) << c.name;
        std::string diff = Differences(before, Snapshot(dst));
        EXPECT_TRUE(diff.empty()) << c.name << ":\n" << diff;
    }
}

// The source cannot be opened and the user cancels: the destination file the
// run never opened, a file of the base game, stays as it is.
TEST_F(RollbackTest, UnopenableSourceLeavesItsDestinationAlone)
{
    Source("first.txt", "new first");
    Source("game.exe", "new game");
    Existing("game.exe", "the user's game");
    Tree before = Snapshot(dst);
    HANDLE held = CreateFileA((src + "\\game.exe").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    {
        TestSupport::MessageBoxAnswerer answerer;
        answerer.Expect(IDCANCEL);
        CSetupHelper2 helper;
        Configure(helper, {"first.txt", "game.exe"});
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper));
        answerer.Verify();
        ASSERT_EQ(1u, answerer.Boxes().size());
        EXPECT_EQ("FileLoadError", answerer.Boxes()[0].caption);
        helper.CancelInstall();
    }
    CloseHandle(held);
    std::string diff = Differences(before, Snapshot(dst));
    EXPECT_TRUE(diff.empty()) << diff;
}

// A file the run itself created is never taken for an original: not after a
// failed first attempt and a retry, not when the list names it twice.
TEST_F(RollbackTest, AFileTheRunCreatedIsNeverKeptAsTheOriginal)
{
    Source("new.bin", Bytes(40000, 6));
    Source("dup.bin", Bytes(20000, 7));
    Existing("dup.bin", "the user's dup");
    Tree before = Snapshot(dst);
    HWND dialog = CreateWindowExA(0, "STATIC", "progress", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    {
        TestSupport::MessageBoxAnswerer answerer;
        answerer.Expect(IDRETRY);
        answerer.Expect(IDCANCEL);
        CSetupHelper2 helper;
        helper.SetOwnerWindow(dialog);
        Configure(helper, {"dup.bin", "new.bin", "dup.bin"});
        Fault fault;
        fault.failures = 20;  // two whole attempts at new.bin's first chunk
        g_Fault = &fault;
        {
            TestSupport::ImportHook hook("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&HookedWriteFile));
            fault.original = hook.Original();
            ASSERT_TRUE(helper.StartInstall());
            ASSERT_TRUE(WaitDone(helper));
        }
        answerer.Verify();
        ASSERT_EQ(2u, answerer.Boxes().size());
        EXPECT_EQ("WriteFileError", answerer.Boxes()[1].caption);
        helper.CancelInstall();
    }
    std::string diff = Differences(before, Snapshot(dst));
    EXPECT_TRUE(diff.empty()) << diff;

    // Listed twice and completed, then rolled back: the first original comes back.
    {
        CSetupHelper2 helper;
        Configure(helper, {"dup.bin", "dup.bin"});
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper));
        EXPECT_EQ(Bytes(20000, 7), ReadWhole(dst + "\\dup.bin"));
        helper.CancelInstall();
    }
    diff = Differences(before, Snapshot(dst));
    EXPECT_TRUE(diff.empty()) << diff;
    DestroyWindow(dialog);
}

// An original that cannot be moved aside is never overwritten: the user is
// asked, and Cancel leaves it exactly as it was; Retry goes on once it can.
TEST_F(RollbackTest, AnOriginalThatCannotBeKeptIsNotOverwritten)
{
    Source("game.exe", "new game");
    for (int answer : {IDCANCEL, IDRETRY}) {
        TestSupport::RemoveTree(dst);
        Existing("game.exe", "the user's game", FILE_ATTRIBUTE_READONLY);
        Tree before = Snapshot(dst);
        TestSupport::MessageBoxAnswerer answerer;
        answerer.Expect(answer);
        CSetupHelper2 helper;
        Configure(helper, {"game.exe"});
        Fault fault;
        fault.failures = 1;
        g_Fault = &fault;
        {
            TestSupport::ImportHook hook("kernel32.dll", "MoveFileExA", reinterpret_cast<void*>(&HookedMoveFileExA));
            ASSERT_TRUE(hook.Installed());
            fault.original = hook.Original();
            ASSERT_TRUE(helper.StartInstall());
            ASSERT_TRUE(WaitDone(helper));
            answerer.Verify();
        }
        ASSERT_EQ(1u, answerer.Boxes().size()) << answer;
        const TestSupport::BoxRecord box = answerer.Boxes()[0];
        EXPECT_EQ("FileCreateError", box.caption);
        EXPECT_EQ(nullptr, box.owner);
        EXPECT_EQ(0u, box.text.find(src + "\\game.exe\nファイル読み込みに失敗しました。[Error::CreateFile]\nWindowsError:"))
            << box.text;
        EXPECT_GT(box.text.size(), box.text.find("WindowsError:") + 13) << "the system's text for the error";
        if (answer == IDCANCEL) {
            EXPECT_TRUE(helper.IsFailed());
            EXPECT_EQ("the user's game", ReadWhole(dst + "\\game.exe")) << "before the roll-back too";
            helper.CancelInstall();
        } else {
            EXPECT_FALSE(helper.IsFailed());
            EXPECT_EQ("new game", ReadWhole(dst + "\\game.exe"));
            helper.CancelInstall();
        }
        std::string diff = Differences(before, Snapshot(dst));
        EXPECT_TRUE(diff.empty()) << answer << ":\n" << diff;
    }
}

// Cancel confirmed just as a read fails: the worker asks nothing and the main
// thread's wait ends, where both used to wait for each other for ever.
TEST_F(RollbackTest, CancelDuringAReadFailureEndsWithoutABox)
{
    Source("a.bin", Bytes(100000, 8));
    Existing("a.bin", "the user's a");
    Tree before = Snapshot(dst);
    HWND dialog = CreateWindowExA(0, "STATIC", "progress", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    TestSupport::MessageBoxAnswerer answerer;  // no box may come
    Watchdog watchdog(60000);
    CSetupHelper2 helper;
    helper.SetOwnerWindow(dialog);
    Configure(helper, {"a.bin"});
    Fault fault;
    fault.holdAt = 2;
    fault.failHeld = true;
    fault.helper = &helper;
    fault.hReached = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_Fault = &fault;
    {
        TestSupport::ImportHook hook("kernel32.dll", "ReadFile", reinterpret_cast<void*>(&HookedReadFile));
        fault.original = hook.Original();
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(fault.hReached, 20000));
        helper.CancelInstall();
    }
    CloseHandle(fault.hReached);
    answerer.Verify();
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_TRUE(helper.IsFailed());
    std::string diff = Differences(before, Snapshot(dst));
    EXPECT_TRUE(diff.empty()) << diff;
    DestroyWindow(dialog);
}

// A transient read failure past 4 GiB: the retry goes back to the right
// place, and the copy of a 5 GiB file is byte for byte the source.
TEST_F(RollbackTest, RetryPastFourGiBCopiesByteExact)
{
    const unsigned long long kMarkAt = (4ull << 30) + 65536;
    const unsigned long long kSize = 5ull << 30;
    const std::string head = Bytes(16384, 9), mark = Bytes(16384, 10), tail = Bytes(100, 11);
    ASSERT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
    {
        HANDLE h = CreateFileA((src + "\\huge.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        auto put = [&](unsigned long long at, const std::string& bytes) {
            LARGE_INTEGER to;
            to.QuadPart = static_cast<LONGLONG>(at);
            DWORD wrote = 0;
            return SetFilePointerEx(h, to, nullptr, FILE_BEGIN) &&
                   WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) && wrote == bytes.size();
        };
        bool ok = put(0, head) && put(kMarkAt, mark) && put(kSize - tail.size(), tail);
        CloseHandle(h);
        ASSERT_TRUE(ok) << "a sparse 5 GiB file";
    }
    {
        CSetupHelper2 helper;
        helper.SetSourceFolder(src);
        helper.SetDestinationFolder(dst);
        helper.AddFile("huge.bin");
        helper.SetTotalSize(kSize);
        Fault fault;
        fault.failFrom = kMarkAt;
        g_Fault = &fault;
        TestSupport::ImportHook hook("kernel32.dll", "ReadFile", reinterpret_cast<void*>(&HookedReadFile));
        fault.original = hook.Original();
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper, 600000));
        EXPECT_FALSE(helper.IsFailed());
        EXPECT_EQ(~0ull, fault.failFrom) << "the failure was injected";
    }
    HANDLE h = CreateFileA((dst + "\\huge.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    ASSERT_TRUE(GetFileSizeEx(h, &size));
    EXPECT_EQ(kSize, static_cast<unsigned long long>(size.QuadPart));
    auto get = [&](unsigned long long at, size_t n) {
        std::string bytes(n, '\0');
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(at);
        DWORD got = 0;
        SetFilePointerEx(h, to, nullptr, FILE_BEGIN);
        ReadFile(h, &bytes[0], static_cast<DWORD>(n), &got, nullptr);
        bytes.resize(got);
        return bytes;
    };
    EXPECT_EQ(head, get(0, head.size()));
    EXPECT_EQ(std::string(65536, '\0'), get(kMarkAt - 65536, 65536));
    EXPECT_TRUE(get(kMarkAt, mark.size()) == mark) << "the chunk read again after the failure";
    EXPECT_EQ(std::string(16384, '\0'), get(kMarkAt + mark.size(), 16384));
    EXPECT_EQ(tail, get(kSize - tail.size(), tail.size()));
    CloseHandle(h);
    DeleteFileA((dst + "\\huge.bin").c_str());
}

// The folders the caller made for the run go with a cancel, when empty.
TEST_F(RollbackTest, CancelRemovesTheCallersFoldersToo)
{
    Source("a.txt", "new");
    std::string top = dir / "made", mid = top + "\\deeper", destination = mid + "\\dst";
    ASSERT_TRUE(CreateDirectoryA(top.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(mid.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(destination.c_str(), nullptr));
    CSetupHelper2 helper;
    helper.SetSourceFolder(src);
    helper.SetDestinationFolder(destination);
    helper.AddFile("a.txt");
    helper.SetTotalSize(3);
    helper.SetCreatedFolders({destination, mid, top});
    ASSERT_TRUE(helper.StartInstall());
    ASSERT_TRUE(WaitDone(helper));
    helper.CancelInstall();
    EXPECT_FALSE(PathExists(top));
}

// A roll-back step that fails is reported and the others still run; the
// journal stays, so the next run finishes the job.
TEST_F(RollbackTest, AFailedRollbackStepIsReportedAndFinishedLater)
{
    Source("a.bin", "new a");
    Source("b.bin", "new b");
    Existing("a.bin", "old a");
    Existing("b.bin", "old b");
    Tree before = Snapshot(dst);
    TestSupport::DebugCapture capture;
    {
        CSetupHelper2 helper;
        Configure(helper, {"a.bin", "b.bin"});
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper));
        HANDLE held = CreateFileA((dst + "\\a.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        helper.CancelInstall();
        CloseHandle(held);
    }
    EXPECT_EQ("old b", ReadWhole(dst + "\\b.bin"));
    EXPECT_EQ("old a", ReadWhole(dst + "\\a.bin~keep")) << "the original is still safe";
    EXPECT_GE(capture.Count("a.bin"), 1);
    EXPECT_TRUE(PathExists(CInstallJournal::PathFor(dst)));
    EXPECT_TRUE(CInstallJournal::RecoverInterrupted(dst));
    std::string diff = Differences(before, Snapshot(dst));
    EXPECT_TRUE(diff.empty()) << diff;
}

// A journal left by a killed run, written by hand: every state the run can be
// killed in is undone, a record torn by the kill is not acted on, a run that
// had succeeded only loses its kept originals, and paths outside the
// destination are never touched.
TEST_F(RollbackTest, RecoveryUndoesWhatAKilledRunLeft)
{
    struct Case {
        const char* name;
        bool committed;
        bool tornTail;
    } cases[] = {{"interrupted", false, false}, {"torn last record", false, true}, {"committed", true, false}};
    for (const Case& c : cases) {
        TestSupport::RemoveTree(dst);
        TestSupport::RemoveTree(dir / "outside");
        Existing("orig.dat", "original", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
        Existing("untouched.dat", "never written");
        Existing("notyet.dat", "moved? no");
        ASSERT_TRUE(dir.WriteFile("outside\\victim.txt", "not ours"));
        Tree before = Snapshot(dst);
        // The run: moved orig.dat aside and wrote a new one; created new\x.bin;
        // its record for notyet.dat was torn (or written) just before the move.
        std::string bytes = EncodeJournalHeader();
        bytes += EncodeJournalEntry({JournalKind::Folder, dst + "\\new", "", 0});
        bytes += EncodeJournalEntry({JournalKind::Kept, dst + "\\orig.dat", dst + "\\orig.dat~keep",
                                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY});
        bytes += EncodeJournalEntry({JournalKind::Created, dst + "\\new\\x.bin", "", 0});
        bytes += EncodeJournalEntry({JournalKind::Created, dir / "outside\\victim.txt", "", 0});
        bytes += EncodeJournalEntry({JournalKind::Created, dst + "\\..\\outside\\victim.txt", "", 0});
        if (c.committed)
            bytes += EncodeJournalEntry({JournalKind::Committed, "", "", 0});
        std::string last = EncodeJournalEntry({JournalKind::Created, dst + "\\notyet.dat", "", 0});
        bytes += c.tornTail ? last.substr(0, last.size() - 3) : std::string();
        SetFileAttributesA((dst + "\\orig.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(MoveFileA((dst + "\\orig.dat").c_str(), (dst + "\\orig.dat~keep").c_str()));
        Existing("orig.dat", "new version");
        Existing("new\\x.bin", "new file");
        ASSERT_TRUE(dir.WriteFile("dst\\~install.journal", bytes));
        Tree after = Snapshot(dst);

        ASSERT_TRUE(CInstallJournal::RecoverInterrupted(dst)) << c.name;
        EXPECT_EQ("not ours", ReadWhole(dir / "outside\\victim.txt")) << c.name;
        EXPECT_FALSE(PathExists(CInstallJournal::PathFor(dst))) << c.name;
        if (c.committed) {
            after.erase("orig.dat~keep");
            after.erase("~install.journal");
            std::string diff = Differences(after, Snapshot(dst));
            EXPECT_TRUE(diff.empty()) << c.name << ":\n" << diff;
        } else {
            std::string diff = Differences(before, Snapshot(dst));
            EXPECT_TRUE(diff.empty()) << c.name << ":\n" << diff;
        }
        EXPECT_FALSE(CInstallJournal::RecoverInterrupted(dst)) << c.name << ": nothing left to do";
    }
}

// Information.reg: an overwrite that a kill cut short is finished by the next
// holder; an update torn before the file was touched is dropped.
TEST_F(RollbackTest, InformationFileIsNeverLeftTorn)
{
    using namespace Corvane::Base::Auxiliary;
    SetupInformationRecord one;
    one.m_AppName = "一";
    one.m_InstallFolder = "C:\\one";
    {
        CSetupHelper2 helper;
        ASSERT_TRUE(helper.WriteSetupInformation(one));
    }
    const std::string old = info.Bytes();
    SetupInformationRecord two = one;
    two.m_AppName = "二";
    std::vector<SetupInformationRecord> records;
    ASSERT_TRUE(DecodeSetupInformation(old, records));
    MergeSetupInformation(records, two);
    const std::string fresh = EncodeSetupInformation(records);
    const std::string pending = CSetupHelper2::GetSetupInformationFolder() + "\\Information.new";
    struct Case {
        const char* name;
        std::string update;
        std::string file;  // Information.reg when the kill came
        std::string expected;
    } cases[] = {
        {"killed while overwriting", EncodeSetupInformationUpdate(fresh), fresh.substr(0, 700) + old.substr(700), fresh},
        {"killed while writing the update", EncodeSetupInformationUpdate(fresh).substr(0, 900), old, old},
    };
    for (const Case& c : cases) {
        SetFileAttributesA(info.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE h = CreateFileA(info.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD wrote = 0;
        WriteFile(h, c.file.data(), static_cast<DWORD>(c.file.size()), &wrote, nullptr);
        CloseHandle(h);
        h = CreateFileA(pending.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        WriteFile(h, c.update.data(), static_cast<DWORD>(c.update.size()), &wrote, nullptr);
        CloseHandle(h);
        { CSetupHelper2 helper; }
        EXPECT_EQ(c.expected, info.Bytes()) << c.name;
        EXPECT_FALSE(PathExists(pending)) << c.name;
    }
}

namespace {

// Wine does not show its links to programs as reparse points: the folder
// named here is reported as one, as Windows reports a junction.
std::string g_LinkFolder;
void* g_OriginalGetFileAttributesA = nullptr;

DWORD WINAPI HookedGetFileAttributesA(LPCSTR path)
{
    typedef DWORD(WINAPI * Fn)(LPCSTR);
    DWORD attributes = reinterpret_cast<Fn>(g_OriginalGetFileAttributesA)(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && lstrcmpiA(path, g_LinkFolder.c_str()) == 0)
        attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes;
}

}  // namespace

// A folder inside the destination that is a junction to somewhere else: the
// installer writes nothing through it, the user sees the create-error box,
// and neither a roll-back nor a recovery touches anything behind it.
TEST_F(RollbackTest, NothingIsWrittenOrRemovedThroughALink)
{
    Source("ok.txt", "new ok");
    Source("link\\evil.txt", "written through the link");
    Existing("link\\victim.txt", "behind the link");  // stands for the link's target
    g_LinkFolder = dst + "\\link";
    TestSupport::ImportHook hook("kernel32.dll", "GetFileAttributesA", reinterpret_cast<void*>(&HookedGetFileAttributesA));
    ASSERT_TRUE(hook.Installed());
    g_OriginalGetFileAttributesA = hook.Original();
    const Tree behind = Snapshot(g_LinkFolder);
    {
        TestSupport::MessageBoxAnswerer answerer;
        answerer.Expect(IDCANCEL);
        CSetupHelper2 helper;
        Configure(helper, {"ok.txt", "link\\evil.txt"});
        ASSERT_TRUE(helper.StartInstall());
        ASSERT_TRUE(WaitDone(helper));
        answerer.Verify();
        ASSERT_EQ(1u, answerer.Boxes().size());
        EXPECT_EQ("FileCreateError", answerer.Boxes()[0].caption);
        EXPECT_EQ(0u, answerer.Boxes()[0].text.find(src + "\\link\\evil.txt\n")) << answerer.Boxes()[0].text;
        helper.CancelInstall();
    }
    std::string diff = Differences(behind, Snapshot(g_LinkFolder));
    EXPECT_TRUE(diff.empty()) << diff;
    EXPECT_FALSE(PathExists(dst + "\\ok.txt"));

    // A journal that names files behind the link, or its own name as a link.
    std::string bytes = EncodeJournalHeader();
    bytes += EncodeJournalEntry({JournalKind::Created, dst + "\\link\\victim.txt", "", 0});
    bytes += EncodeJournalEntry({JournalKind::Kept, dst + "\\ok.txt", dst + "\\link\\victim.txt", 0});
    ASSERT_TRUE(dir.WriteFile("dst\\~install.journal", bytes));
    EXPECT_TRUE(CInstallJournal::RecoverInterrupted(dst));
    diff = Differences(behind, Snapshot(g_LinkFolder));
    EXPECT_TRUE(diff.empty()) << diff;
    EXPECT_FALSE(PathExists(dst + "\\ok.txt"));
}
