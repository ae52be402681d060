#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "file/CFileWin32.h"
#include "support/ImportHook.h"
#include "support/ScratchDir.h"

using Corvane::Base::File::CFileWin32;
using TestSupport::ImportHook;

namespace {

// Fault plan shared with the replacements below: calls 0 … fail-1 fail,
// later ones pass through; a short call delivers only part of the bytes.
struct Plan {
    int calls = 0;
    int fail = 0;
    int shortCalls = 0;
    void* original = nullptr;
} g_Plan;

BOOL WINAPI FlakyReadFile(HANDLE h, LPVOID buf, DWORD n, LPDWORD got, LPOVERLAPPED o)
{
    typedef BOOL(WINAPI * Fn)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    int call = g_Plan.calls++;
    if (call < g_Plan.fail) {
        if (got) *got = 0;
        SetLastError(ERROR_IO_DEVICE);
        return FALSE;
    }
    if (call < g_Plan.fail + g_Plan.shortCalls && n > 1)
        n /= 2;
    return reinterpret_cast<Fn>(g_Plan.original)(h, buf, n, got, o);
}

BOOL WINAPI FlakyWriteFile(HANDLE h, LPCVOID buf, DWORD n, LPDWORD wrote, LPOVERLAPPED o)
{
    typedef BOOL(WINAPI * Fn)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    int call = g_Plan.calls++;
    if (call < g_Plan.fail) {
        if (wrote) *wrote = 0;
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return reinterpret_cast<Fn>(g_Plan.original)(h, buf, n, wrote, o);
}

std::string Pattern(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + i % 26);
    return s;
}

}  // namespace

TEST(FileWin32, ShortReadAtTheEndFailsAndRestoresThePosition)
{
    TestSupport::ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("f.bin", Pattern(100)));
    CFileWin32 f;
    ASSERT_TRUE(f.OpenRead(dir / "f.bin"));
    ASSERT_TRUE(f.Seek(90, FILE_BEGIN));
    char buf[32];
    EXPECT_FALSE(f.Read(buf, 20));
    EXPECT_EQ(90u, f.Tell());
    EXPECT_TRUE(f.Read(buf, 10));
    EXPECT_EQ(100u, f.Tell());
    EXPECT_EQ(std::string("mnopqrstuv"), std::string(buf, 10));
}

TEST(FileWin32, ReadsInterruptedByFailuresOrShortDeliveriesAreRetried)
{
    TestSupport::ScratchDir dir;
    std::string data = Pattern(5000);
    ASSERT_TRUE(dir.WriteFile("f.bin", data));
    struct Case { int fail; int shortCalls; bool ok; } cases[] = {
        {0, 0, true}, {3, 0, true}, {9, 0, true}, {0, 2, true}, {2, 1, true}, {10, 0, false}, {50, 0, false}};
    for (const Case& c : cases) {
        CFileWin32 f;
        ASSERT_TRUE(f.OpenRead(dir / "f.bin"));
        ASSERT_TRUE(f.Seek(100, FILE_BEGIN));
        std::string buf(4000, '\0');
        bool ok;
        {
            g_Plan = Plan();
            g_Plan.fail = c.fail;
            g_Plan.shortCalls = c.shortCalls;
            ImportHook hook("kernel32.dll", "ReadFile", reinterpret_cast<void*>(&FlakyReadFile));
            ASSERT_TRUE(hook.Installed());
            g_Plan.original = hook.Original();
            ok = f.Read(&buf[0], 4000);
        }
        EXPECT_EQ(c.ok, ok) << "fail " << c.fail << " short " << c.shortCalls;
        if (ok) {
            EXPECT_EQ(data.substr(100, 4000), buf) << "fail " << c.fail;
            EXPECT_EQ(4100u, f.Tell());
        } else {
            EXPECT_EQ(100u, f.Tell()) << "the position goes back where the read began";
            EXPECT_EQ(10, g_Plan.calls) << "ten attempts";
            EXPECT_EQ(static_cast<DWORD>(ERROR_IO_DEVICE), GetLastError()) << "the failure's error survives";
        }
    }
}

TEST(FileWin32, WritesRetryTenTimesAndZeroBytesFail)
{
    TestSupport::ScratchDir dir;
    CFileWin32 f;
    ASSERT_TRUE(f.OpenWrite(dir / "w.bin", true));
    ASSERT_TRUE(f.Write("head", 4));
    EXPECT_FALSE(f.Write("x", 0));
    EXPECT_EQ(4u, f.Tell());
    {
        g_Plan = Plan();
        g_Plan.fail = 4;
        ImportHook hook("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&FlakyWriteFile));
        ASSERT_TRUE(hook.Installed());
        g_Plan.original = hook.Original();
        EXPECT_TRUE(f.Write("body", 4));
        g_Plan.calls = 0;
        g_Plan.fail = 1000;
        EXPECT_FALSE(f.Write("lost", 4));
        EXPECT_EQ(10, g_Plan.calls);
        EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), GetLastError());
    }
    EXPECT_EQ(8u, f.Tell());
    EXPECT_EQ(8u, f.GetSize());
    f.Close();
    std::string content;
    ASSERT_TRUE(TestSupport::ScratchDir::ReadFile(dir / "w.bin", content));
    EXPECT_EQ("headbody", content);
}

TEST(FileWin32, OpenModesAndSharing)
{
    TestSupport::ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("s.txt", "12345"));
    std::string path = dir / "s.txt";
    {
        CFileWin32 append;
        ASSERT_TRUE(append.OpenWrite(path, false));
        EXPECT_EQ(5u, append.Tell());
        ASSERT_TRUE(append.Write("67", 2));
        CFileWin32 other;
        EXPECT_FALSE(other.OpenRead(path)) << "a file held by OpenWrite is not shared";
        EXPECT_FALSE(other.OpenWrite(path, false));
        EXPECT_FALSE(other.IsOpen());
    }
    {
        CFileWin32 reader1, reader2, writer;
        ASSERT_TRUE(reader1.OpenRead(path));
        EXPECT_TRUE(reader2.OpenRead(path)) << "readers share";
        EXPECT_EQ(7u, reader2.GetSize());
        EXPECT_FALSE(writer.OpenWrite(path, false));
    }
    {
        HANDLE foreign = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, foreign);
        CFileWin32 reader;
        EXPECT_FALSE(reader.OpenRead(path)) << "another holder writes without read sharing";
        CloseHandle(foreign);
    }
    {
        CFileWin32 truncating;
        ASSERT_TRUE(truncating.OpenWrite(path, true));
        EXPECT_EQ(0u, truncating.GetSize());
        EXPECT_EQ(0u, truncating.Tell());
    }
    CFileWin32 closed;
    char c;
    EXPECT_FALSE(closed.Read(&c, 1));
    EXPECT_FALSE(closed.Write(&c, 1));
    EXPECT_EQ(INVALID_FILE_SIZE, closed.GetSize());
    EXPECT_EQ(0u, closed.Tell());
    EXPECT_FALSE(closed.Seek(0, FILE_BEGIN));
}
