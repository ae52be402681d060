// The publisher's pak tool against the reader: archives and single files it
// writes are read back byte for byte through CFile, and bad input leaves
// nothing behind.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "file/CFile.h"
#include "support/ChildProcess.h"
#include "support/ScratchDir.h"

using Corvane::Base::File::CFile;
using TestSupport::ScratchDir;

namespace {

const DWORD kToolTimeout = 600000;
const size_t kChunk = 1 << 20;

// Content by position, so a 200 MiB file is written and checked a chunk at
// a time; half its bits vary, so it deflates to about half.
void Fill(std::vector<unsigned char>& buf, unsigned long long start, int seed)
{
    for (size_t i = 0; i < buf.size(); ++i) {
        unsigned long long p = start + i;
        unsigned x = static_cast<unsigned>(p * 2654435761u) ^ static_cast<unsigned>(seed * 40503u) ^ static_cast<unsigned>(p >> 20);
        buf[i] = static_cast<unsigned char>(0x40 | ((x >> 13) & 0x0F));
    }
}

bool WritePattern(const std::string& path, unsigned long long size, int seed)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::vector<unsigned char> buf;
    bool ok = true;
    for (unsigned long long at = 0; ok && at < size; at += kChunk) {
        buf.resize(static_cast<size_t>(size - at < kChunk ? size - at : kChunk));
        Fill(buf, at, seed);
        DWORD written = 0;
        ok = WriteFile(h, buf.data(), static_cast<DWORD>(buf.size()), &written, nullptr) && written == buf.size();
    }
    CloseHandle(h);
    return ok;
}

// Reads the file through CFile a chunk at a time and compares; "" when equal.
std::string CheckPattern(const std::string& path, unsigned long long size, int seed)
{
    CFile f;
    if (f.Load(path) != 1)
        return "not loaded";
    if (f.GetSize() != size)
        return "size " + std::to_string(f.GetSize());
    std::vector<unsigned char> want, got(kChunk);
    for (unsigned long long at = 0; at < size; at += kChunk) {
        want.resize(static_cast<size_t>(size - at < kChunk ? size - at : kChunk));
        Fill(want, at, seed);
        if (f.Read(got.data(), 1, static_cast<DWORD>(want.size())) != want.size())
            return "short read at " + std::to_string(at);
        if (std::memcmp(want.data(), got.data(), want.size()) != 0)
            return "differs in the chunk at " + std::to_string(at);
    }
    return f.Read(got.data(), 1, 1) == 0 ? "" : "data after the end";
}

DWORD RunPak(const std::string& arguments)
{
    TestSupport::ChildProcess pak;
    DWORD code = 0xDEAD;
    if (!pak.Start(TestSupport::HelperPath("pak.exe"), arguments) || !pak.Wait(kToolTimeout, &code))
        return 0xDEAD;
    return code;
}

}  // namespace

TEST(PakTool, ArchiveRoundTripThroughCFile)
{
    ScratchDir dir;
    struct Member {
        const char* name;
        unsigned long long size;
    } members[] = {
        {"ソ\\表.txt", 1000},            // trail bytes 0x5C in both components
        {"能力\\予定.dat", 70000},
        {"Img\\A.BMP", 65537},
        {"empty.dat", 0},
        {"サブ\\空.txt", 0},
        {"big.bin", 200ull << 20},
    };
    const size_t count = sizeof(members) / sizeof(members[0]);
    for (size_t i = 0; i < count; ++i) {
        std::string path = dir / (std::string("data\\") + members[i].name);
        ASSERT_TRUE(dir.WriteFile(std::string("data\\") + members[i].name, "")) << "case " << i;
        ASSERT_TRUE(WritePattern(path, members[i].size, static_cast<int>(i))) << "case " << i;
    }
    ASSERT_EQ(0u, RunPak("create \"" + (dir / "data.pak") + "\" \"" + (dir / "data") + "\""));
    ASSERT_EQ(0u, RunPak("verify \"" + (dir / "data.pak") + "\""));
    // Only the archive is left to read from.
    ASSERT_TRUE(MoveFileA((dir / "data").c_str(), (dir / "source").c_str()));
    for (size_t i = 0; i < count; ++i)
        EXPECT_EQ("", CheckPattern(dir / (std::string("data\\") + members[i].name), members[i].size, static_cast<int>(i)))
            << "case " << i << ": " << members[i].name;
    EXPECT_EQ(0u, RunPak("extract \"" + (dir / "data.pak") + "\" \"" + (dir / "out") + "\""));
    EXPECT_EQ(TestSupport::ReadWhole(dir / "source\\ソ\\表.txt"), TestSupport::ReadWhole(dir / "out\\ソ\\表.txt"));
    EXPECT_TRUE(TestSupport::PathExists(dir / "out\\empty.dat"));
}

TEST(PakTool, SingleFileIsFoundUnderItsDerivedName)
{
    ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("cfg\\Title.bmp", ""));
    ASSERT_TRUE(WritePattern(dir / "cfg\\Title.bmp", 300000, 7));
    ASSERT_EQ(0u, RunPak("single \"" + (dir / "cfg\\Title.bmp") + "\""));
    ASSERT_TRUE(TestSupport::PathExists(dir / "cfg\\Title98109112.pak"));
    ASSERT_TRUE(DeleteFileA((dir / "cfg\\Title.bmp").c_str()));
    EXPECT_EQ("", CheckPattern(dir / "cfg\\title.bmp", 300000, 7));
}

TEST(PakTool, BadInputFailsAndLeavesNoArchive)
{
    ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("tree\\ok.txt", "fine"));
    // A name code page 932 cannot hold: the euro sign.
    int n = MultiByteToWideChar(CP_ACP, 0, dir.Path().c_str(), -1, nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, dir.Path().c_str(), -1, &wide[0], n);
    wide.resize(n - 1);
    HANDLE h = CreateFileW((wide + L"\\tree\\\x20AC.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    CloseHandle(h);
    struct Case {
        std::string arguments;
        const char* leavesNothingAt;
    } cases[] = {
        {"create \"" + (dir / "a.pak") + "\" \"" + (dir / "tree") + "\"", "a.pak"},
        {"create \"" + (dir / "b.pak") + "\" \"" + (dir / "missing") + "\"", "b.pak"},
        {"verify \"" + (dir / "tree\\ok.txt") + "\"", "tree\\ok116120116.pak"},
        {"list \"" + (dir / "nothing.pak") + "\"", "nothing.pak"},
        {"frobnicate", "frobnicate"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        DWORD code = RunPak(cases[i].arguments);
        EXPECT_NE(0u, code) << "case " << i << ": " << cases[i].arguments;
        EXPECT_NE(0xDEADu, code) << "case " << i;
        EXPECT_FALSE(TestSupport::PathExists(dir / cases[i].leavesNothingAt)) << "case " << i;
        EXPECT_FALSE(TestSupport::PathExists(dir / (std::string(cases[i].leavesNothingAt) + ".partial"))) << "case " << i;
    }
    // A damaged member is found by verify.
    ASSERT_TRUE(DeleteFileW((wide + L"\\tree\\\x20AC.txt").c_str()));
    ASSERT_TRUE(dir.WriteFile("tree\\big.txt", std::string(5000, 'z')));
    ASSERT_EQ(0u, RunPak("create \"" + (dir / "c.pak") + "\" \"" + (dir / "tree") + "\""));
    std::string bytes = TestSupport::ReadWhole(dir / "c.pak");
    bytes[bytes.size() - 10] ^= 0x5A;
    ASSERT_TRUE(dir.WriteFile("c.pak", bytes));
    EXPECT_EQ(1u, RunPak("verify \"" + (dir / "c.pak") + "\""));
}
