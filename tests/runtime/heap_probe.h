// Fixture whose allocation hooks count live blocks, refuse double frees and
// fail on request, so that tests see exactly what is allocated and freed.
#ifndef BLOBXML_TESTS_HEAP_PROBE_H
#define BLOBXML_TESTS_HEAP_PROBE_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "rtContext.h"
#include "rtMemHeap.h"

struct HeapProbe {
   static inline std::set<void*> blocks;
   static inline int allowed = -1;  // allocations left before failures; -1: no limit
   static void* alloc(void*, size_t size) {
      if (allowed == 0) return nullptr;
      allowed -= allowed > 0 ? 1 : 0;
      return *blocks.insert(std::malloc(size)).first;
   }
   static void release(void*, void* p) {
      ASSERT_EQ(1u, blocks.erase(p)) << "freed a block that is not live";
      std::free(p);
   }
};

class HeapProbeTest : public ::testing::Test {
 protected:
   ASN1CTXT ctxt;
   void SetUp() override {
      g_malloc_func = HeapProbe::alloc;
      g_free_func = HeapProbe::release;
      ASSERT_EQ(RTS_OK, rtInitContext(&ctxt, nullptr));
      baseline = HeapProbe::blocks.size();
   }
   void TearDown() override {
      HeapProbe::allowed = -1;
      rtFreeContext(&ctxt);
      EXPECT_TRUE(HeapProbe::blocks.empty()) << "heap blocks outlived the context";
      g_malloc_func = rtDefaultMalloc;
      g_free_func = rtDefaultFree;
   }
   size_t liveBlocks() const { return HeapProbe::blocks.size() - baseline; }
   // Lets n more allocations succeed, then makes every one fail.
   static void failAfter(int n) { HeapProbe::allowed = n; }

 private:
   size_t baseline = 0;
};

#endif
