// A heap census and a test-only control class for the object-layer tests.
// The control class follows the shape of the generated ones: EncodeTo and
// DecodeFrom bind the buffer, call its init() and choose by its kind.
#ifndef BLOBXML_TESTS_OBJECTS_TEST_TYPES_H
#define BLOBXML_TESTS_OBJECTS_TEST_TYPES_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "asn1CppTypes.h"
#include "berBuffers.h"
#include "berDecode.h"
#include "berEncode.h"
#include "rtContext.h"
#include "rtMemHeap.h"
#include "xerBuffers.h"
#include "xerEncode.h"

// Counts the blocks the heaps hold, so that tests see exactly when a
// context (and the heap it owns) goes.
struct HeapCensus {
   static inline std::map<const void*, size_t> blocks; // start and size of each live block
   static inline int allowed = -1; // allocations left before failures; -1: no limit
   static void* alloc(void*, size_t size) {
      if (allowed == 0) return nullptr;
      if (allowed > 0) --allowed;
      void* p = std::malloc(size);
      blocks[p] = size;
      return p;
   }
   // Some live heap block contains p.
   static bool holds(const void* p) {
      auto after = blocks.upper_bound(p);
      if (after == blocks.begin()) return false;
      --after;
      return static_cast<const char*>(p) < static_cast<const char*>(after->first) + after->second;
   }
   static void release(void*, void* p) {
      EXPECT_EQ(blocks.erase(p), 1u) << "freed a block that is not live";
      std::free(p);
   }
};

class HeapCensusTest : public ::testing::Test {
 protected:
   void SetUp() override {
      HeapCensus::blocks.clear();
      HeapCensus::allowed = -1;
      g_malloc_func = HeapCensus::alloc;
      g_free_func = HeapCensus::release;
   }
   void TearDown() override {
      HeapCensus::allowed = -1;
      EXPECT_TRUE(HeapCensus::blocks.empty()) << "heap blocks outlived every holder";
      g_malloc_func = rtDefaultMalloc;
      g_free_func = rtDefaultFree;
   }
   static size_t liveBlocks() { return HeapCensus::blocks.size(); }
};

// An INTEGER value: DER through xe_integer/xd_integer, XER as <name>n</name>.
class IntCType : public ASN1CType {
 public:
   IntCType(ASN1MessageBufferIF& buffer, ASN1INT& value) : ASN1CType(buffer), mValue(value) {}
   explicit IntCType(ASN1INT& value) : mValue(value) {}

   int EncodeTo(ASN1MessageBufferIF& buffer) override {
      setMsgBuf(buffer);
      buffer.init();
      ASN1CTXT* pctxt = buffer.getCtxtPtr();
      if (buffer.isA(ASN1MessageBufferIF::BEREncode)) return xe_integer(pctxt, &mValue, TAG_EXPLICIT);
      if (!buffer.isA(ASN1MessageBufferIF::XEREncode)) return RTS_UNSUPPORTED;
      const bool document = !(pctxt->flags & CTXTF_XER_FRAGMENT);
      int stat = document ? xerEncStartDocument(pctxt) : RTS_OK;
      if (stat == RTS_OK) stat = xerEncInt(pctxt, mValue, "Number");
      if (stat == RTS_OK && document) stat = xerEncEndDocument(pctxt);
      return stat;
   }
   int DecodeFrom(ASN1MessageBufferIF& buffer) override {
      setMsgBuf(buffer);
      buffer.init();
      if (!buffer.isA(ASN1MessageBufferIF::BERDecode)) return RTS_UNSUPPORTED;
      return xd_integer(buffer.getCtxtPtr(), &mValue, TAG_EXPLICIT, 0);
   }

 private:
   ASN1INT& mValue;
};

#endif
