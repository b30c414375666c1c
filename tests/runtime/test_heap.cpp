// Memory heap: block list links, reference counting, realloc rules and the
// allocation hooks, observed through a counting allocator.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "rtMemHeap.h"

namespace {

// Counts live allocations made through the hooks so that tests can prove
// exactly when blocks and heap records are handed back.
struct CountingAllocator {
   static inline int live = 0;
   static inline std::set<void*> blocks;
   static inline bool failNext = false;
   static void* alloc(void*, size_t size) {
      if (failNext) { failNext = false; return nullptr; }
      void* p = std::malloc(size);
      blocks.insert(p);
      ++live;
      return p;
   }
   static void release(void*, void* p) {
      ASSERT_EQ(blocks.erase(p), 1u) << "freed a pointer that is not live";
      --live;
      std::free(p);
   }
};

class HeapTest : public ::testing::Test {
 protected:
   void SetUp() override {
      g_malloc_func = CountingAllocator::alloc;
      g_free_func = CountingAllocator::release;
      CountingAllocator::live = 0;
   }
   void TearDown() override {
      EXPECT_EQ(CountingAllocator::live, 0) << "allocations leaked";
      g_malloc_func = rtDefaultMalloc;
      g_free_func = rtDefaultFree;
   }
   static ASN1MemHeap* heapOf(void* slot) { return static_cast<ASN1MemHeap*>(slot); }
};

TEST_F(HeapTest, FirstAllocationCreatesHeapWithOneReference) {
   void* slot = nullptr;
   void* p = rtMemHeapAlloc(&slot, 10);
   ASSERT_NE(p, nullptr);
   ASSERT_NE(slot, nullptr);
   EXPECT_EQ(heapOf(slot)->refCount, 1u);
   EXPECT_EQ(heapOf(slot)->flags, RT_MH_FREEHEAPDESC);
   EXPECT_EQ(CountingAllocator::live, 2);  // record + block
   EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u);
   rtMemHeapRelease(&slot);
   EXPECT_EQ(slot, nullptr);
}

TEST_F(HeapTest, CreateRefusesNullSlotAndReportsHookFailure) {
   EXPECT_EQ(rtMemHeapCreate(nullptr, nullptr), RTS_BAD_ARGUMENT);
   void* slot = nullptr;
   CountingAllocator::failNext = true;
   EXPECT_EQ(rtMemHeapCreate(&slot, nullptr), RTS_NO_MEMORY);
   EXPECT_EQ(slot, nullptr);
   CountingAllocator::failNext = true;
   EXPECT_EQ(rtMemHeapAlloc(&slot, 8), nullptr);
   EXPECT_EQ(slot, nullptr);
}

TEST_F(HeapTest, FreeingUnlinksHeadMiddleAndLastBlocks) {
   void* slot = nullptr;
   void* a = rtMemHeapAlloc(&slot, 8);
   void* b = rtMemHeapAlloc(&slot, 8);
   void* c = rtMemHeapAlloc(&slot, 8);
   ASSERT_TRUE(a && b && c);
   EXPECT_EQ(CountingAllocator::live, 4);
   rtMemHeapFreePtr(&slot, c);  // the head: b becomes head
   EXPECT_EQ(CountingAllocator::live, 3);
   rtMemHeapFreePtr(&slot, a);  // the oldest
   rtMemHeapFreePtr(&slot, b);  // the only one left
   EXPECT_EQ(heapOf(slot)->head, nullptr);
   EXPECT_EQ(CountingAllocator::live, 1);
   void* d = rtMemHeapAlloc(&slot, 8);  // the list still works after emptying
   ASSERT_NE(d, nullptr);
   rtMemHeapRelease(&slot);
}

TEST_F(HeapTest, FreeIgnoresNullArguments) {
   void* slot = nullptr;
   int dummy = 0;
   rtMemHeapFreePtr(nullptr, &dummy);
   rtMemHeapFreePtr(&slot, &dummy);
   void* p = rtMemHeapAlloc(&slot, 4);
   rtMemHeapFreePtr(&slot, nullptr);
   EXPECT_EQ(CountingAllocator::live, 2);
   rtMemHeapFreePtr(&slot, p);
   rtMemHeapRelease(&slot);
}

TEST_F(HeapTest, ShrinkKeepsPointerAndGrowCopiesOnlyRecordedSize) {
   void* slot = nullptr;
   auto* p = static_cast<unsigned char*>(rtMemHeapAlloc(&slot, 16));
   std::memset(p, 0xAB, 16);
   EXPECT_EQ(rtMemHeapRealloc(&slot, p, 4), p);
   EXPECT_EQ(rtMemHeapBlockSize(p), 4u);
   auto* q = static_cast<unsigned char*>(rtMemHeapRealloc(&slot, p, 16));
   ASSERT_NE(q, nullptr);
   EXPECT_NE(q, p);
   EXPECT_EQ(rtMemHeapBlockSize(q), 16u);
   for (int i = 0; i < 4; ++i) EXPECT_EQ(q[i], 0xAB);
   EXPECT_EQ(CountingAllocator::live, 2);  // old block given back
   rtMemHeapRelease(&slot);
}

TEST_F(HeapTest, ReallocFailureKeepsOldBlock) {
   void* slot = nullptr;
   auto* p = static_cast<unsigned char*>(rtMemHeapAlloc(&slot, 8));
   p[7] = 0x5A;
   CountingAllocator::failNext = true;
   EXPECT_EQ(rtMemHeapRealloc(&slot, p, 64), nullptr);
   EXPECT_EQ(p[7], 0x5A);
   EXPECT_EQ(rtMemHeapBlockSize(p), 8u);
   rtMemHeapRelease(&slot);
}

TEST_F(HeapTest, ReallocNullPointerAllocatesButEmptySlotGivesNull) {
   void* slot = nullptr;
   EXPECT_EQ(rtMemHeapRealloc(&slot, nullptr, 8), nullptr);
   EXPECT_EQ(slot, nullptr);
   EXPECT_EQ(rtMemHeapRealloc(nullptr, nullptr, 8), nullptr);
   ASSERT_EQ(rtMemHeapCreate(&slot, nullptr), RTS_OK);
   EXPECT_NE(rtMemHeapRealloc(&slot, nullptr, 8), nullptr);
   rtMemHeapRelease(&slot);
}

TEST_F(HeapTest, OversizedRequestIsRefused) {
   void* slot = nullptr;
   EXPECT_EQ(rtMemHeapAlloc(&slot, 0x7FFFFFE8u), nullptr);
   EXPECT_EQ(rtMemHeapAlloc(nullptr, 4), nullptr);
   EXPECT_EQ(slot, nullptr);
}

TEST_F(HeapTest, SharedHeapLivesUntilLastRelease) {
   void* first = nullptr;
   void* p = rtMemHeapAlloc(&first, 32);
   void* second = first;
   rtMemHeapAddRef(&second);
   EXPECT_EQ(heapOf(first)->refCount, 2u);
   rtMemHeapRelease(&first);
   EXPECT_EQ(first, second) << "slot keeps the shared record";
   EXPECT_EQ(CountingAllocator::live, 2);
   std::memset(p, 0, 32);  // still valid
   rtMemHeapRelease(&second);
   EXPECT_EQ(second, nullptr);
   EXPECT_EQ(CountingAllocator::live, 0);
}

TEST_F(HeapTest, CheckAndMarkSavedAreNeutral) {
   void* slot = nullptr;
   void* p = rtMemHeapAlloc(&slot, 4);
   EXPECT_EQ(rtMemHeapCheckPtr(&slot, p), 1);
   EXPECT_EQ(rtMemHeapCheckPtr(&slot, &slot), 1);
   EXPECT_EQ(rtMemHeapMarkSaved(&slot, p, 1), 0);
   rtMemHeapRelease(&slot);
}

TEST_F(HeapTest, AllocZZeroFills) {
   void* slot = nullptr;
   auto* p = static_cast<unsigned char*>(rtMemHeapAllocZ(&slot, 100));
   ASSERT_NE(p, nullptr);
   for (int i = 0; i < 100; ++i) ASSERT_EQ(p[i], 0);
   rtMemHeapRelease(&slot);
}

}
