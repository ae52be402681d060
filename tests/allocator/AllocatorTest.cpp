#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "allocator/CAllocatorManager.h"
#include "allocator/CFixedAllocator.h"
#include "allocator/CFixedSizePoolAllocator.h"
#include "support/DebugCapture.h"
#include "support/MessageBoxAnswerer.h"

using namespace Corvane::Base::Allocator;

namespace {

// Counts what passes through it and serves from malloc. It must not
// allocate itself: it is called from inside operator new.
class CountingAllocator : public IAllocator {
public:
    int allocs = 0, frees = 0;
    void* mine[16] = {};
    void Initialize() override {}
    void* Alloc(size_t size) override
    {
        void* p = std::malloc(size);
        if (allocs < 16)
            mine[allocs] = p;
        ++allocs;
        return p;
    }
    bool Free(void* p) override
    {
        for (void*& slot : mine)
            if (slot == p && p != nullptr) {
                slot = nullptr;
                ++frees;
                std::free(p);
                return true;
            }
        return false;
    }
};

const uint32_t kArena = CFixedAllocator::kArenaSize;

}  // namespace

TEST(AllocatorRegistry, NewAndDeleteGoThroughTheRegistry)
{
    CAllocatorManager* registry = GetAllocatorManager();
    ASSERT_NE(nullptr, registry);
    EXPECT_TRUE(registry->IsInitialized());
    CountingAllocator counting;
    registry->SetAllocator(&counting);
    int* one = new int(5);
    char* many = new char[100];
    void* before = std::malloc(8);  // not the installed allocator's: falls back to the default
    registry->SetAllocator(&counting);
    delete one;
    delete[] many;
    registry->_Free(before);
    registry->SetAllocator(nullptr);
    EXPECT_EQ(2, counting.allocs);
    EXPECT_EQ(2, counting.frees);

    char* zero1 = new char[0];
    char* zero2 = new char[0];
    EXPECT_NE(nullptr, zero1);
    EXPECT_NE(zero1, zero2);
    delete[] zero1;
    delete[] zero2;
    int* none = nullptr;
    delete none;
}

TEST(AllocatorRegistry, TheFixedAllocatorsAreBuiltOnce)
{
    // The first allocation of the process built them; they serve nothing.
    EXPECT_EQ(GetFixedAllocator(), GetFixedAllocator());
    EXPECT_EQ(1, GetFixedSizePoolAllocator()->GetUsedCount()) << "one node: the whole arena";
    EXPECT_EQ(1, GetFixedAllocator()->GetFreeNodeCount());
    EXPECT_EQ(static_cast<size_t>(kArena), GetFixedAllocator()->GetFreeBytes());
}

TEST(Pool, BlocksRunOutAfter8192AndForeignPointersAreRefused)
{
    CFixedSizePoolAllocator pool;
    std::vector<void*> blocks;
    for (unsigned i = 0; i < CFixedSizePoolAllocator::kBlockCount; ++i) {
        void* p = pool.Alloc(16);
        ASSERT_NE(nullptr, p) << i;
        blocks.push_back(p);
    }
    EXPECT_EQ(33, static_cast<unsigned char*>(blocks[1]) - static_cast<unsigned char*>(blocks[0]));
    EXPECT_EQ(nullptr, pool.Alloc(1));
    int local = 0;
    EXPECT_FALSE(pool.Free(&local));
    EXPECT_TRUE(pool.Free(nullptr));
    EXPECT_TRUE(pool.Free(blocks[5]));
    EXPECT_EQ(blocks[5], pool.Alloc(32)) << "the first free slot is taken again";
    for (void* p : blocks)
        EXPECT_TRUE(pool.Free(p));
    EXPECT_EQ(0, pool.GetUsedCount());
}

TEST(Pool, LeakReportNamesEachBlockStillInUse)
{
    TestSupport::MessageBoxAnswerer answerer;
    answerer.Expect(IDOK);
    void* leaked = nullptr;
    {
        CFixedSizePoolAllocator pool;
        pool.Alloc(1);
        leaked = pool.Alloc(1);
        pool.Free(pool.Alloc(1));
        pool.Free(static_cast<unsigned char*>(leaked) - 33);
    }
    answerer.Verify();
    ASSERT_EQ(1u, answerer.Boxes().size());
    char want[64];
    wsprintfA(want, "MemoryLeak!  :  0x%X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(leaked)));
    EXPECT_EQ(want, answerer.Boxes()[0].text);
    EXPECT_EQ("CFixedSizePoolAllocator", answerer.Boxes()[0].caption);
    EXPECT_EQ("error", answerer.Boxes()[0].icon);
}

class ArenaTest : public ::testing::Test {
protected:
    CFixedSizePoolAllocator pool;
    CFixedAllocator* arena = nullptr;
    void SetUp() override
    {
        arena = new CFixedAllocator(&pool);
        ASSERT_NE(nullptr, arena->GetArena());
    }
    void TearDown() override { delete arena; }
    size_t Offset(void* p) const { return static_cast<unsigned char*>(p) - arena->GetArena(); }
};

TEST_F(ArenaTest, SmallRequestsFitLowLargeOnesHigh)
{
    struct Case { size_t size; size_t offset; } cases[] = {
        {0, 4},                       // Alloc(0) takes 5 bytes from the low end
        {409595, 4},                  // n = 409 599: still small
        {409596, kArena - 409600 + 4} // n = 409 600: from the high end
    };
    for (const Case& c : cases) {
        void* p = arena->Alloc(c.size);
        ASSERT_NE(nullptr, p) << c.size;
        EXPECT_EQ(c.offset, Offset(p)) << c.size;
        uint32_t word;
        std::memcpy(&word, static_cast<unsigned char*>(p) - 4, 4);
        EXPECT_EQ(static_cast<uint32_t>((c.size == 0 ? 1 : c.size) + 4), word) << c.size;
        EXPECT_EQ(static_cast<size_t>(kArena) - word, arena->GetFreeBytes()) << c.size;
        EXPECT_TRUE(arena->Free(p));
        EXPECT_EQ(static_cast<size_t>(kArena), arena->GetFreeBytes());
        EXPECT_EQ(1, arena->GetFreeNodeCount());
    }
    EXPECT_EQ(nullptr, arena->Alloc(kArena));
    int local;
    EXPECT_FALSE(arena->Free(&local));
    EXPECT_TRUE(arena->Free(nullptr));
}

TEST_F(ArenaTest, FreeingInEveryOrderMergesBackToOneNode)
{
    int orders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (auto& order : orders) {
        void* blocks[3] = {arena->Alloc(100), arena->Alloc(200), arena->Alloc(300)};
        for (void* b : blocks)
            ASSERT_NE(nullptr, b);
        EXPECT_EQ(Offset(blocks[0]) + 104, Offset(blocks[1]));
        for (int i : order)
            EXPECT_TRUE(arena->Free(blocks[i]));
        EXPECT_EQ(1, arena->GetFreeNodeCount()) << order[0] << order[1] << order[2];
        ASSERT_NE(nullptr, arena->GetFirstFreeNode());
        EXPECT_EQ(arena->GetArena(), arena->GetFirstFreeNode()->start);
        EXPECT_EQ(static_cast<size_t>(kArena), arena->GetFreeBytes());
        EXPECT_EQ(1, pool.GetUsedCount()) << "nodes went back to the pool";
    }
}

TEST_F(ArenaTest, NodeShortageIsReportedAndLeavesTheListIntact)
{
    void* first = arena->Alloc(10);
    void* second = arena->Alloc(10);
    void* third = arena->Alloc(10);
    std::vector<void*> taken;
    while (void* p = pool.Alloc(1))
        taken.push_back(p);
    TestSupport::DebugCapture capture;

    // Taking an area strictly inside a free node needs a second node.
    unsigned char* inside = const_cast<unsigned char*>(arena->GetArena()) + 1000000;
    EXPECT_FALSE(arena->PutArea(inside, 16));
    EXPECT_EQ(1, capture.Count("CFixedAllocator::PutArea() pSmallAllocatorに失敗"));
    // Fits at a node's edge need none.
    void* edge = arena->Alloc(10);
    EXPECT_NE(nullptr, edge);
    // Freeing a block between two used ones needs a node: it stays in use.
    EXPECT_TRUE(arena->Free(second));
    EXPECT_EQ(1, capture.Count("CFixedAllocator::Free() pSmallAllocatorに失敗"));
    EXPECT_EQ(static_cast<size_t>(kArena) - 4 * 14, arena->GetFreeBytes());

    for (void* p : taken)
        pool.Free(p);
    for (void* p : {first, third, edge})
        EXPECT_TRUE(arena->Free(p));
    EXPECT_EQ(static_cast<size_t>(kArena) - 14, arena->GetFreeBytes()) << "only the unlisted block";
    EXPECT_TRUE(arena->PutArea(inside, 16)) << "with nodes again the split works";

    TestSupport::MessageBoxAnswerer answerer;
    answerer.Expect(IDOK);
    delete arena;
    arena = nullptr;
    answerer.Verify();
    ASSERT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("MemoryLeak!  :  [Size] 30 byte", answerer.Boxes()[0].text);
}

TEST_F(ArenaTest, LeakReportGivesTheBytesStillAllocated)
{
    TestSupport::MessageBoxAnswerer answerer;
    answerer.Expect(IDOK);
    ASSERT_NE(nullptr, arena->Alloc(100));
    delete arena;
    arena = nullptr;
    answerer.Verify();
    ASSERT_EQ(1u, answerer.Boxes().size());
    EXPECT_EQ("MemoryLeak!  :  [Size] 104 byte", answerer.Boxes()[0].text);
    EXPECT_EQ("CFixedAllocator", answerer.Boxes()[0].caption);
    EXPECT_EQ(0, pool.GetUsedCount()) << "the arena gave its nodes back";
}

TEST_F(ArenaTest, DoubleFreeLeavesTheListIntact)
{
    TestSupport::DebugCapture capture;
    void* a = arena->Alloc(64);
    void* b = arena->Alloc(64);
    EXPECT_TRUE(arena->Free(a));
    EXPECT_TRUE(arena->Free(a));
    EXPECT_EQ(1u, capture.Reports().size());
    EXPECT_TRUE(arena->Free(b));
    EXPECT_EQ(static_cast<size_t>(kArena), arena->GetFreeBytes());
    EXPECT_EQ(1, arena->GetFreeNodeCount());
}
