// A heap census and a test-only control class for the object-layer tests.
#ifndef BLOBXML_TESTS_OBJECTS_TEST_TYPES_H
#define BLOBXML_TESTS_OBJECTS_TEST_TYPES_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "ASN1CType.h"
#include "ASN1MessageBuffer.h"
#include "berDecode.h"
#include "berEncode.h"
#include "rtMemHeap.h"
#include "xerEncode.h"

// The live blocks of every heap, so that a test sees exactly when a context
// (and the heap it owns) goes; `allowed` allocations succeed (-1: all).
class HeapCensusTest : public ::testing::Test {
protected:
   static inline std::map<const void*, size_t> blocks;
   static inline int allowed = -1;

   static void* alloc(void*, size_t size) {
      if (allowed == 0) return nullptr;
      allowed -= allowed > 0 ? 1 : 0;
      void* p = std::malloc(size);
      blocks[p] = size;
      return p;
   }
   static void release(void*, void* p) {
      EXPECT_EQ(blocks.erase(p), 1u) << "freed a block that is not live";
      std::free(p);
   }
   // Some live block contains p.
   static bool holds(const void* p) {
      auto after = blocks.upper_bound(p);
      if (after == blocks.begin()) return false;
      --after;
      return static_cast<const char*>(p) < static_cast<const char*>(after->first) + after->second;
   }
   void SetUp() override {
      g_malloc_func = alloc;
      g_free_func = release;
   }
   void TearDown() override {
      allowed = -1;
      EXPECT_TRUE(blocks.empty()) << "heap blocks outlived every holder";
      blocks.clear();
      g_malloc_func = rtDefaultMalloc;
      g_free_func = rtDefaultFree;
   }
};

// An INTEGER value: DER through xe_integer/xd_integer, XER as <Number>n</Number>,
// bound to its buffer and choosing by its kind as the generated classes do.
class IntCType : public ASN1CType {
public:
   IntCType(ASN1MessageBufferIF& buffer, ASN1INT& value) : ASN1CType(buffer), mValue(value) {}
   explicit IntCType(ASN1INT& value) : mValue(value) {}

   int EncodeTo(ASN1MessageBufferIF& buffer) override {
      setMsgBuf(buffer);
      buffer.init();
      ASN1CTXT* pctxt = buffer.getCtxtPtr();
      if (buffer.isA(ASN1MessageBufferIF::BEREncode))
         return xe_integer(pctxt, &mValue, TAG_EXPLICIT);
      if (!buffer.isA(ASN1MessageBufferIF::XEREncode)) return RTS_UNSUPPORTED;
      const bool document = !(pctxt->flags & CTXTF_XER_FRAGMENT);
      int stat = document ? xerEncStartDocument(pctxt) : RTS_OK;
      if (stat == RTS_OK) stat = xerEncInt(pctxt, mValue, "Number");
      return stat == RTS_OK && document ? xerEncEndDocument(pctxt) : stat;
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
