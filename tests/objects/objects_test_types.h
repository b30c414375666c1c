// Test-only control classes and a heap census for the object-layer tests.
// The control classes follow the shape of the generated ones: EncodeTo and
// DecodeFrom bind the buffer, call its init() and choose by its kind.
#ifndef BLOBXML_TESTS_OBJECTS_TEST_TYPES_H
#define BLOBXML_TESTS_OBJECTS_TEST_TYPES_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "asn1CppTypes.h"
#include "berBuffers.h"
#include "berDecode.h"
#include "berEncode.h"
#include "rtContext.h"
#include "rtMemHeap.h"
#include "saxReader.h"
#include "xerBuffers.h"
#include "xerDecode.h"
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

// Reads the integers of one SEQUENCE, one per Decode: the first call enters
// the SEQUENCE, later calls go on where the previous one stopped.
class NextIntCType : public ASN1CType {
 public:
   NextIntCType(ASN1MessageBufferIF& buffer, ASN1INT& value) : ASN1CType(buffer), mValue(value) {}

   int DecodeFrom(ASN1MessageBufferIF& buffer) override {
      setMsgBuf(buffer);
      buffer.init();
      ASN1CTXT* pctxt = buffer.getCtxtPtr();
      if (pctxt->buffer.byteIndex == 0) {
         int length = 0;
         int stat = xd_match1(pctxt, 0x30, &length);
         if (stat != RTS_OK) return stat;
      }
      return xd_integer(pctxt, &mValue, TAG_EXPLICIT, 0);
   }

 private:
   ASN1INT& mValue;
};

// A value with a string part allocated from the context heap.
struct Pair {
   ASN1INT number;
   const char* text;
};

// SAX decoder of <Pair><number>..</number><text>..</text></Pair>, built the
// way the generated state machines are: character data is gathered in a
// memory buffer and handed to the value decoders through the message buffer.
class PairCType : public ASN1CType, public ASN1XERSAXDecodeHandler {
 public:
   PairCType(ASN1MessageBufferIF& buffer, Pair& value) : ASN1CType(buffer), mValue(value) {
      elementName = "Pair";
      rtMemBufInit(getCtxtPtr(), &mText, 1024);
   }
   ~PairCType() override { rtMemBufFree(&mText); }

   int DecodeFrom(ASN1MessageBufferIF& buffer) override {
      setMsgBuf(buffer);
      buffer.init();
      if (!buffer.isA(ASN1MessageBufferIF::XERDecode)) return RTS_UNSUPPORTED;
      init(0);
      OSExpatXMLReader* reader = new OSExpatXMLReader();
      reader->setContentHandler(this);
      reader->setErrorInfoHandler(this);
      try {
         int stat = static_cast<ASN1XERDecodeBuffer&>(buffer).decodeXML(reader);
         reader->release();
         return stat;
      } catch (...) {
         reader->release();
         throw;
      }
   }

   void startElement(const char*, const char* localName, const char*,
                     const char* const*) override {
      if (level == 0 && std::strcmp(localName, elementName) != 0)
         throwSAXException(RTS_XML_STRUCTURE, "pair", 1);
      level++;
      rtMemBufReset(&mText);
   }
   void characters(const char* chars, unsigned int length) override {
      if (level == 2)
         rtMemBufAppend(&mText, reinterpret_cast<const ASN1OCTET*>(chars), length);
   }
   void endElement(const char*, const char* localName, const char*) override {
      if (level-- != 2) return;
      rtMemBufPreAllocate(&mText, 1);
      mpMsgBuf->initBuffer(mText);
      rtMemBufSet(&mText, 0, 1);
      ASN1CTXT* pctxt = mpMsgBuf->getCtxtPtr();
      if (std::strcmp(localName, "number") == 0)
         xerDecInt(pctxt, &mValue.number);
      else
         xerDecDynAscCharStr(pctxt, &mValue.text);
   }

 private:
   Pair& mValue;
   ASN1MemBuf mText;
};

#endif
