// Compressed storage behind CFile: single compressed files and .pak archive
// members, their lookup order, and every corrupt form refused safely.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "allocator/CAllocatorManager.h"
#include "file/CFile.h"
#include "file/CZipArchiveFile.h"
#include "file/CZipSingleFile.h"
#include "file/PakFormat.h"
#include "support/DebugCapture.h"
#include "support/ScratchDir.h"

using namespace Corvane::Base::File;
using TestSupport::ScratchDir;

namespace {

typedef std::vector<std::pair<std::string, std::string>> Members;

std::string Block(const std::string& data)
{
    std::string block;
    EXPECT_TRUE(Pak::MakeBlock(reinterpret_cast<const unsigned char*>(data.data()), data.size(), block, 6));
    return block;
}

// A block from an unscrambled zlib stream and a stated length, scrambled.
std::string RawBlock(const std::string& stream, uint32_t statedLength)
{
    std::string block = stream;
    Pak::AppendLE32(block, statedLength);
    Pak::ScrambleBlockHead(reinterpret_cast<unsigned char*>(&block[0]), block.size());
    return block;
}

std::string ZlibStream(const std::string& data)
{
    std::string block = Block(data);
    Pak::ScrambleBlockHead(reinterpret_cast<unsigned char*>(&block[0]), block.size());
    return block.substr(0, block.size() - 4);
}

// An archive with the given members, their blocks right after the directory.
std::string Archive(const Members& members)
{
    std::vector<Pak::Entry> entries;
    std::vector<std::string> blocks;
    size_t directorySize = 4;
    for (const auto& m : members)
        directorySize += Pak::EntrySize(m.first);
    uint32_t offset = static_cast<uint32_t>(Pak::kHeaderSize + directorySize);
    for (const auto& m : members) {
        blocks.push_back(Block(m.second));
        entries.push_back(Pak::Entry{m.first, offset, static_cast<uint32_t>(blocks.back().size())});
        offset += static_cast<uint32_t>(blocks.back().size());
    }
    std::string out = Pak::EncodeArchiveHeader(static_cast<uint32_t>(directorySize)) + Pak::EncodeDirectory(entries);
    for (const auto& b : blocks)
        out += b;
    return out;
}

std::string Single(const std::string& storedName, const std::string& data)
{
    std::string block = Block(data);
    std::string header = Pak::EncodeSingleHeader(storedName, 0, 0);
    return Pak::EncodeSingleHeader(storedName, static_cast<uint32_t>(header.size()),
                                   static_cast<uint32_t>(block.size())) + block;
}

// The whole content through CFile, or "<not loaded>".
std::string LoadAll(const std::string& path)
{
    CFile f;
    if (f.Load(path) != 1)
        return "<not loaded>";
    std::string data(f.GetSize(), '\0');
    if (!data.empty() && f.Read(&data[0], 1, f.GetSize()) != f.GetSize())
        return "<short read>";
    return data;
}

}  // namespace

TEST(Archive, LookupOrderAndWhichArchiveIsSearched)
{
    ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("plain\\x.txt", "plain"));
    ASSERT_TRUE(dir.WriteFile("plain.pak", Archive({{"x.txt", "member"}, {"y.txt", "only member"}})));
    ASSERT_TRUE(dir.WriteFile("game\\data.pak", Archive({{"Img/A.BMP", "picture"}, {"img\\b.bmp", "outer b"},
                                                         {"ソ\\表.txt", "trail bytes"}})));
    ASSERT_TRUE(dir.WriteFile("nest\\data.pak", Archive({{"img\\a.bmp", "outer a"}, {"top.txt", "top"}})));
    ASSERT_TRUE(dir.WriteFile("nest\\data\\img.pak", Archive({{"b.bmp", "inner b"}})));
    ASSERT_TRUE(dir.WriteFile("empty\\data.pak", Pak::EncodeArchiveHeader(4) + std::string(4, '\0')));
    ASSERT_TRUE(dir.WriteFile("deep.pak", Archive({{"a\\b\\c\\d.txt", "deep"}})));

    struct Case {
        const char* path;
        const char* expected;
    } cases[] = {
        {"plain\\x.txt", "plain"},                 // a plain file wins over a member
        {"plain\\y.txt", "only member"},
        {"game\\data\\img\\a.bmp", "picture"},     // stored as Img/A.BMP
        {"game\\data\\IMG\\A.bmp", "picture"},
        {"game\\data/img/b.bmp", "outer b"},
        {"game\\data\\ソ\\表.txt", "trail bytes"},
        {"nest\\data\\img\\b.bmp", "inner b"},     // the deepest archive only...
        {"nest\\data\\img\\a.bmp", "<not loaded>"},  // ...even when it lacks the member
        {"nest\\data\\top.txt", "top"},
        {"empty\\data\\a.txt", "<not loaded>"},
        {"deep\\a\\b\\c\\d.txt", "deep"},
        {"deep\\a\\b\\c\\e.txt", "<not loaded>"},
        {"game\\data", "<not loaded>"},
    };
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
        EXPECT_EQ(cases[i].expected, LoadAll(dir / cases[i].path)) << "case " << i << ": " << cases[i].path;
}

TEST(Archive, FindArchiveYieldsTheDeepestArchiveAndTheInnerPath)
{
    ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("data.pak", "x"));
    ASSERT_TRUE(dir.WriteFile("data\\img.pak", "x"));
    std::string archive, inner;
    ASSERT_TRUE(FindArchive(dir / "data\\img\\sub\\a.bmp", archive, inner));
    EXPECT_EQ(dir / "data\\img.pak", archive);
    EXPECT_EQ("sub\\a.bmp", inner);
    ASSERT_TRUE(FindArchive(dir / "data\\b.bmp", archive, inner));
    EXPECT_EQ(dir / "data.pak", archive);
    EXPECT_EQ("b.bmp", inner);
    EXPECT_FALSE(FindArchive(dir / "other\\c.bmp", archive, inner));
}

TEST(Archive, SingleFileNamesAndTheirUse)
{
    struct Case {
        const char* path;
        const char* expected;
    } names[] = {
        {"C:\\g\\title.bmp", "C:\\g\\title98109112.pak"},
        {"C:\\g\\title.BMP", "C:\\g\\title667780.pak"},
        {"C:\\g\\README", "C:\\g\\README.pak"},
        {"C:\\g\\a.tar.gz", "C:\\g\\a.tar103122.pak"},
        {"C:\\g\\x.\x82\xa0", "C:\\g\\x-126-96.pak"},
    };
    for (size_t i = 0; i < sizeof(names) / sizeof(names[0]); ++i)
        EXPECT_EQ(names[i].expected, SingleFileName(names[i].path)) << "case " << i;

    ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("title98109112.pak", Single("Title.bmp", "single title")));
    EXPECT_EQ("single title", LoadAll(dir / "title.bmp"));
    EXPECT_EQ("<not loaded>", LoadAll(dir / "title.BMP"));  // other digits, other file
    // A stored name that differs: not used, and the archive search runs instead.
    ASSERT_TRUE(dir.WriteFile("d\\other98109112.pak", Single("title.bmp", "wrong name")));
    ASSERT_TRUE(dir.WriteFile("d.pak", Archive({{"other.bmp", "from the archive"}})));
    EXPECT_FALSE(IsSingleFileFor(dir / "d\\other.bmp"));
    EXPECT_EQ("from the archive", LoadAll(dir / "d\\other.bmp"));
    // A plain file beside its single compressed file wins.
    ASSERT_TRUE(dir.WriteFile("p\\a.txt", "plain a"));
    ASSERT_TRUE(dir.WriteFile("p\\a116120116.pak", Single("a.txt", "single a")));
    EXPECT_EQ("plain a", LoadAll(dir / "p\\a.txt"));
    ASSERT_TRUE(dir.WriteFile("p\\empty116120116.pak", Single("empty.txt", "")));
    CFile f;
    ASSERT_EQ(1, f.Load(dir / "p\\empty.txt"));
    EXPECT_TRUE(f.IsOpen());
    EXPECT_EQ(0u, f.GetSize());
}

TEST(Archive, ReadSeekAndRefusedWrites)
{
    ScratchDir dir;
    ASSERT_TRUE(dir.WriteFile("a.pak", Archive({{"m.bin", "0123456789"}})));
    CZipArchiveFile f;
    ASSERT_EQ(1, f.Load(dir / "a\\m.bin"));
    char buf[16] = {};
    EXPECT_EQ(2u, f.Read(buf, 4, 3));  // 10 bytes: two whole elements, all bytes copied
    EXPECT_EQ(std::string("0123456789"), std::string(buf, 10));
    EXPECT_EQ(10u, f.Tell());
    EXPECT_TRUE(f.Seek(5, 2));
    EXPECT_EQ(15u, f.Tell());
    EXPECT_EQ(0u, f.Read(buf, 1, 5));
    EXPECT_TRUE(f.Seek(-1, 2));
    EXPECT_EQ(1u, f.Read(buf, 1, 5));
    EXPECT_EQ('9', buf[0]);
    EXPECT_TRUE(f.Seek(-3, 1));
    EXPECT_EQ(7u, f.Tell());
    EXPECT_FALSE(f.Seek(0, 3));
    EXPECT_EQ(7u, f.Tell());
    EXPECT_EQ(0u, f.Read(buf, 0, 5));
    // 4 GiB asked must not wrap to a small request: 3 bytes left, no whole element.
    EXPECT_EQ(0u, f.Read(buf, 0x10000, 0x10000));
    EXPECT_EQ(10u, f.Tell());

    TestSupport::DebugCapture capture;
    f.Rewind();
    EXPECT_EQ(0u, f.Write("zz", 1, 2));
    EXPECT_EQ(1, capture.Count("CCompressFileBase::Write() 圧縮ファイル書き出しには対応していません。"));
    EXPECT_EQ(10u, f.Read(buf, 1, 10));
    EXPECT_EQ(std::string("0123456789"), std::string(buf, 10));
    EXPECT_FALSE(f.Create(dir / "a\\m.bin", true));
    EXPECT_EQ(1, capture.Count("CCompressFileBase::Create() 圧縮ファイルの作成には対応していません。"));
    EXPECT_FALSE(f.IsOpen());
    EXPECT_EQ(Archive({{"m.bin", "0123456789"}}), TestSupport::ReadWhole(dir / "a.pak"));
}

TEST(Archive, CorruptArchivesAreRefusedWithTheirResultCodes)
{
    const std::string good = ZlibStream("hello, archive");
    const uint32_t goodLength = 14;
    // One entry "m" (key 'm') whose block follows the directory (offset 31).
    auto entry = [](const std::string& name, uint32_t nameSize, uint32_t offset, uint32_t length) {
        std::string e;
        Pak::AppendLE32(e, nameSize);
        e += name;
        uint32_t key = Pak::EntryKey(name.c_str(), name.size());
        Pak::AppendLE32(e, offset ^ key);
        Pak::AppendLE32(e, length ^ key);
        return e;
    };
    auto archive = [&](const std::string& directory, const std::string& blocks) {
        return Pak::EncodeArchiveHeader(static_cast<uint32_t>(directory.size())) + directory + blocks;
    };
    const std::string end(4, '\0');
    const uint32_t at = static_cast<uint32_t>(Pak::kHeaderSize + 4 + 2 + 8 + 4);
    const std::string block = RawBlock(good, goodLength);
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x55;
    std::string longName(300, 'n');

    struct Case {
        std::string bytes;
        int expected;
    } cases[] = {
        {archive(entry(std::string("m\0", 2), 2, at, static_cast<uint32_t>(block.size())) + end, block), 1},
        {"TAVIPACK4B" + archive(end, "").substr(10), 0},                      // magic
        {std::string("TAVIPACK4A\x04\0", 12), 0},                             // header cut short
        {Pak::EncodeArchiveHeader(0xFFFFFFFF) + end, 0},                      // directory beyond the file
        {Pak::EncodeArchiveHeader(100) + end, 0},
        {Pak::EncodeArchiveHeader(0), 0},                                     // no room for the end mark
        {archive(entry(std::string("x\0", 2), 2, at, 20), "").substr(0, 14 + 14), 0},  // no end mark
        {archive(entry(longName + '\0', 301, at, 20) + end, block), 0},       // name over 260 bytes
        {archive(entry(std::string("m\0", 2), 0x7FFFFFFF, at, 20) + end, block), 0},  // past the directory
        {archive(entry("mm", 2, at, 20) + end, block), 0},                    // name without its zero
        {archive(entry(std::string("m\0", 2), 2, 0x7FFFFFF0, 20) + end, block), -1},   // offset beyond
        {archive(entry(std::string("m\0", 2), 2, 0xFFFFFFF0, 0x20) + end, block), -1}, // wraps 32 bits
        {archive(entry(std::string("m\0", 2), 2, at, 4) + end, block), -1},   // too short for a stream
        {archive(entry(std::string("m\0", 2), 2, at, 40) + end, block), -1},  // length beyond
        {archive(entry(std::string("m\0", 2), 2, at, static_cast<uint32_t>(block.size() + 4)) + end,
                 RawBlock(good, 0xFFFFFFFF)), -1},                            // 0xFFFFFFFF + 1 must not wrap
        {archive(entry(std::string("m\0", 2), 2, at, static_cast<uint32_t>(block.size())) + end,
                 RawBlock(good, 0x7FFFFFFF)), -1},                            // unreachable length
        {archive(entry(std::string("m\0", 2), 2, at, static_cast<uint32_t>(block.size())) + end,
                 RawBlock(good, goodLength + 1)), -1},                        // zlib yields fewer
        {archive(entry(std::string("m\0", 2), 2, at, static_cast<uint32_t>(block.size())) + end,
                 RawBlock(good, goodLength - 1)), -1},                        // zlib wants more
        {archive(entry(std::string("m\0", 2), 2, at, static_cast<uint32_t>(block.size())) + end,
                 RawBlock(flipped, goodLength)), -1},                         // damaged stream
        {archive(entry(std::string("x\0", 2), 2, at, static_cast<uint32_t>(block.size())) + end, block), 0},
    };
    ScratchDir dir;
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        ASSERT_TRUE(dir.WriteFile("a.pak", cases[i].bytes)) << "case " << i;
        CZipArchiveFile f;
        EXPECT_EQ(cases[i].expected, f.Load(dir / "a\\m")) << "case " << i;
        EXPECT_EQ(cases[i].expected == 1, f.IsOpen()) << "case " << i;
        EXPECT_EQ(cases[i].expected == 1 ? "hello, archive" : "<not loaded>", LoadAll(dir / "a\\m")) << "case " << i;
    }
}

TEST(Archive, CorruptSingleFilesAreNeverUsed)
{
    const std::string good = ZlibStream("single data");
    const std::string block = RawBlock(good, 11);
    auto single = [](const std::string& name, uint32_t nameSize, uint32_t offset, uint32_t length) {
        std::string s(Pak::kSingleMagic, Pak::kMagicSize);
        Pak::AppendLE32(s, nameSize);
        s += name;
        uint32_t key = Pak::EntryKey(name.c_str(), name.size());
        Pak::AppendLE32(s, offset ^ key);
        Pak::AppendLE32(s, length ^ key);
        return s;
    };
    const std::string name("s.txt\0", 6);
    const uint32_t at = 14 + 6 + 8;
    const uint32_t size = static_cast<uint32_t>(block.size());
    struct Case {
        std::string bytes;
        bool used;
    } cases[] = {
        {single(name, 6, at, size) + block, true},
        {"TAVIPACK4A" + (single(name, 6, at, size) + block).substr(10), false},
        {single(name, 0, at, size) + block, false},                        // no name
        {single(std::string(300, 's') + '\0', 301, at, size) + block, false},  // name over 260 bytes
        {single("s.txtx", 6, at, size) + block, false},                    // name without its zero
        {single(name, 6, at, size).substr(0, 20), false},                  // cut inside the header
        {single(name, 6, at + 100, size) + block, false},                  // block beyond the file
        {single(name, 6, 0xFFFFFFF0, 0x20) + block, false},                   // wraps 32 bits
        {single(name, 6, at, 3) + block, false},                           // too short for a stream
        {single(name, 6, at, size + 4) + RawBlock(good, 0xFFFFFFFF), false},
        {single(name, 6, at, size) + RawBlock(good, 12), false},
        {single(std::string("t.txt\0", 6), 6, at, size) + block, false},   // another file's
    };
    ScratchDir dir;
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        ASSERT_TRUE(dir.WriteFile("s116120116.pak", cases[i].bytes)) << "case " << i;
        CZipSingleFile f;
        EXPECT_EQ(cases[i].used ? 1 : 0, f.Load(dir / "s.txt")) << "case " << i;
        EXPECT_EQ(cases[i].used ? "single data" : "<not loaded>", LoadAll(dir / "s.txt")) << "case " << i;
    }
}

namespace {

// Refuses every allocation of 1 MiB or more; the rest is malloc, as the default.
class SmallOnlyAllocator : public Corvane::Base::Allocator::IAllocator {
public:
    void Initialize() override {}
    void* Alloc(size_t size) override { return size >= (1u << 20) ? nullptr : std::malloc(size); }
    bool Free(void* p) override
    {
        std::free(p);
        return true;
    }
};

// Bytes that deflate cannot shrink, so the block is as large as the data.
std::string Noise(size_t n)
{
    std::string s(n, '\0');
    unsigned x = 2463534242u;
    for (size_t i = 0; i < n; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        s[i] = static_cast<char>(x);
    }
    return s;
}

}  // namespace

TEST(Archive, BlockThatCannotBeAllocatedIsReported)
{
    ScratchDir dir;
    const std::string data = Noise(3u << 19);  // 1.5 MiB
    const std::string archive = Archive({{"big.bin", data}});
    const std::string single = Single("big.bin", data);
    const uint32_t blockSize = static_cast<uint32_t>(Block(data).size());
    ASSERT_TRUE(dir.WriteFile("a.pak", archive));
    ASSERT_TRUE(dir.WriteFile("s\\big98105110.pak", single));
    const std::string member = dir / "a\\big.bin";
    const std::string alone = dir / "s\\big.bin";
    const std::string archiveText = "CZipArchiveFile::_Load() メモリ割り当てに失敗！[" + member +
                                    "][src_size:" + std::to_string(blockSize) + "byte]";
    const std::string singleText = "CZipSingleFile::_Load() メモリ割り当てに失敗！[" + alone +
                                   "][src_size:" + std::to_string(blockSize) + "byte]";

    TestSupport::DebugCapture capture;
    SmallOnlyAllocator small;
    Corvane::Base::Allocator::CAllocatorManager* registry = Corvane::Base::Allocator::GetAllocatorManager();
    ASSERT_NE(nullptr, registry);
    registry->SetAllocator(&small);
    CZipArchiveFile a;
    int archiveResult = a.Load(member);
    CZipSingleFile b;
    int singleResult = b.Load(alone);
    registry->SetAllocator(nullptr);

    EXPECT_EQ(-1, archiveResult);
    EXPECT_EQ(0, singleResult);
    EXPECT_FALSE(a.IsOpen());
    EXPECT_EQ(1, capture.Count(archiveText));
    EXPECT_EQ(1, capture.Count(singleText));
    // With memory to spare the same member loads.
    EXPECT_EQ(data, LoadAll(member));
}
