// Message buffers: BER encode and decode, XER encode and decode, their
// set-up, reuse, failures, element search and file output.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "objects_test_types.h"
#include "test_support.h"

namespace {

typedef std::vector<ASN1OCTET> Bytes;

Bytes bytesAt(const ASN1OCTET* data, int length) { return Bytes(data, data + length); }

std::string xerText(ASN1XEREncodeBuffer& buffer) {
   const ASN1CTXT* pctxt = buffer.getCtxtPtr();
   return std::string(reinterpret_cast<const char*>(pctxt->buffer.data), pctxt->buffer.byteIndex);
}

const ASN1TAG kSequence = TM_UNIV | TM_CONS | ASN_ID_SEQ;
const ASN1TAG kInteger = TM_UNIV | ASN_ID_INT;
const ASN1TAG kOctetString = TM_UNIV | ASN_ID_OCTSTR;
const ASN1TAG kBoolean = TM_UNIV | ASN_ID_BOOL;

// SEQUENCE { INTEGER 5, SEQUENCE { OCTET STRING AA, INTEGER 7 } }
const Bytes kNested = {0x30, 0x0B, 0x02, 0x01, 0x05, 0x30, 0x06,
                       0x04, 0x01, 0xAA, 0x02, 0x01, 0x07};

// ---- BER encode buffer -------------------------------------------------------

TEST(BerEncodeBuffer, EncodesBackToFrontAndInitEmptiesIt) {
   ASN1BEREncodeBuffer buffer;
   ASN1INT value = 300;
   IntCType number(buffer, value);
   ASSERT_EQ(number.Encode(), 4);
   EXPECT_EQ(bytesAt(buffer.getMsgPtr(), buffer.getMsgLen()), (Bytes{0x02, 0x02, 0x01, 0x2C}));
   // The message ends just before the buffer's spare last octet.
   const ASN1CTXT* pctxt = buffer.getCtxtPtr();
   EXPECT_EQ(buffer.getMsgPtr() + 4, pctxt->buffer.data + pctxt->buffer.size - 1);
   EXPECT_EQ(pctxt->buffer.size, 16384u);
   // EncodeTo calls init(), so the second message replaces the first.
   value = -129;
   ASSERT_EQ(number.Encode(), 4);
   EXPECT_EQ(bytesAt(buffer.getMsgPtr(), buffer.getMsgLen()), (Bytes{0x02, 0x02, 0xFF, 0x7F}));
   buffer.init();
   EXPECT_EQ(buffer.getMsgLen(), 0);
}

TEST(BerEncodeBuffer, MessageCopyIsIndependentOfTheBuffer) {
   ASN1BEREncodeBuffer buffer;
   ASN1INT value = 127;
   IntCType number(buffer, value);
   ASSERT_EQ(number.Encode(), 3);
   ASN1OCTET* copy = buffer.getMsgCopy();
   ASSERT_NE(copy, nullptr);
   EXPECT_NE(copy, buffer.getMsgPtr());
   value = 1;
   ASSERT_EQ(number.Encode(), 3);
   EXPECT_EQ(bytesAt(copy, 3), (Bytes{0x02, 0x01, 0x7F}));
   EXPECT_EQ(bytesAt(buffer.getMsgPtr(), 3), (Bytes{0x02, 0x01, 0x01}));
   delete[] copy;
}

TEST(BerEncodeBuffer, CallersFixedBufferHoldsTheMessageAtItsEnd) {
   ASN1OCTET storage[8] = {0};
   ASN1BEREncodeBuffer buffer(storage, sizeof storage);
   ASN1INT value = 5;
   IntCType number(buffer, value);
   ASSERT_EQ(number.Encode(), 3);
   EXPECT_EQ(buffer.getMsgPtr(), storage + 4);
   EXPECT_EQ(bytesAt(storage + 4, 3), (Bytes{0x02, 0x01, 0x05}));
   ASN1OCTET other[6] = {0};
   ASSERT_EQ(buffer.setBuffer(other, sizeof other), RTS_OK);
   ASSERT_EQ(number.Encode(), 3);
   EXPECT_EQ(buffer.getMsgPtr(), other + 2);
   EXPECT_EQ(buffer.setBuffer(other, -1), RTS_BAD_ARGUMENT);
}

TEST(BerEncodeBuffer, FullCallersBufferFailsTheStreamOperator) {
   ASN1OCTET storage[3];
   ASN1BEREncodeBuffer buffer(storage, sizeof storage);
   ASN1INT value = 5;
   IntCType number(buffer, value);
   try {
      buffer << number;
      FAIL() << "a full buffer must throw";
   } catch (const ASN1RTLException& e) {
      EXPECT_EQ(e.getStatus(), RTS_BUFFER_FULL);
   }
}

TEST(BerEncodeBuffer, StreamOperatorEncodesAndChains) {
   ASN1BEREncodeBuffer buffer;
   ASN1INT first = 1, second = 2;
   IntCType a(buffer, first), b(buffer, second);
   // Each EncodeTo starts the buffer afresh, so the last one wins.
   ASN1BEREncodeBuffer& result = buffer << a << b;
   EXPECT_EQ(&result, &buffer);
   EXPECT_EQ(bytesAt(buffer.getMsgPtr(), buffer.getMsgLen()), (Bytes{0x02, 0x01, 0x02}));
}

TEST(BerEncodeBuffer, ConstructorFailureThrowsRtlError) {
   ASN1OCTET storage[1];
   try {
      ASN1BEREncodeBuffer buffer(storage, 0);
      FAIL() << "an empty caller's buffer must be refused";
   } catch (const ASN1MessageBuffer::RTLError& e) {
      EXPECT_EQ(e.getStatus(), RTS_BAD_ARGUMENT);
   }
}

// ---- BER decode buffer -------------------------------------------------------

TEST(BerDecodeBuffer, StreamOperatorDecodes) {
   const Bytes message = {0x02, 0x01, 0x85};
   ASN1BERDecodeBuffer buffer(message.data(), static_cast<int>(message.size()));
   ASN1INT value = 0;
   IntCType number(buffer, value);
   EXPECT_EQ(&(buffer >> number), &buffer);
   EXPECT_EQ(value, -123);
}

TEST(BerDecodeBuffer, FailedDecodeThrowsAndStaysInTheContext) {
   const Bytes message = {0x04, 0x01, 0x00};
   ASN1BERDecodeBuffer buffer(message.data(), static_cast<int>(message.size()));
   ASN1INT value = 0;
   IntCType number(buffer, value);
   try {
      buffer >> number;
      FAIL() << "a tag mismatch must throw";
   } catch (const ASN1RTLException& e) {
      EXPECT_EQ(e.getStatus(), RTS_NOT_FOUND);
   }
   testing::internal::CaptureStdout();
   buffer.getContext()->PrintErrorInfo();
   EXPECT_EQ(testing::internal::GetCapturedStdout(), "ASN.1 ERROR: Status -3\n");
}

TEST(BerDecodeBuffer, SecondDecodeGoesOnWhereTheFirstStopped) {
   const Bytes message = {0x30, 0x06, 0x02, 0x01, 0x05, 0x02, 0x01, 0x07};
   ASN1BERDecodeBuffer buffer(message.data(), static_cast<int>(message.size()));
   ASN1INT value = 0;
   NextIntCType reader(buffer, value);
   ASSERT_EQ(reader.Decode(), RTS_OK);
   EXPECT_EQ(value, 5);
   ASSERT_EQ(reader.Decode(), RTS_OK);
   EXPECT_EQ(value, 7);
}

TEST(BerDecodeBuffer, SetBufferWithTheSameMessageKeepsThePosition) {
   const Bytes message = {0x02, 0x01, 0x05};
   ASN1BERDecodeBuffer buffer(message.data(), 3);
   ASN1CTXT* pctxt = buffer.getCtxtPtr();
   ASSERT_EQ(buffer.setBuffer(message.data(), 3), RTS_OK);
   pctxt->buffer.byteIndex = 2;
   EXPECT_EQ(buffer.setBuffer(message.data(), 3), RTS_OK);
   EXPECT_EQ(pctxt->buffer.byteIndex, 2u);
   buffer.init();
   EXPECT_EQ(pctxt->buffer.byteIndex, 2u);
   // Another length is another message: set up from its start.
   EXPECT_EQ(buffer.setBuffer(message.data(), 0), RTS_OK);
   EXPECT_EQ(pctxt->buffer.byteIndex, 0u);
   EXPECT_EQ(pctxt->buffer.size, 3u);
}

TEST(BerDecodeBuffer, SetUpHappensOnFirstUse) {
   const Bytes message = {0x02, 0x01, 0x2A};
   ASN1BERDecodeBuffer buffer(message.data(), 3);
   EXPECT_EQ(buffer.getCtxtPtr()->buffer.data, nullptr);
   buffer.init();
   EXPECT_EQ(buffer.getMsgPtr(), message.data());
   EXPECT_EQ(buffer.getCtxtPtr()->buffer.size, 3u);

   ASN1BERDecodeBuffer later;
   ASSERT_EQ(later.setBuffer(message.data(), 3), RTS_OK);
   ASN1INT value = 0;
   IntCType number(later, value);
   // init() inside DecodeFrom sees the same message and keeps the set-up.
   ASSERT_EQ(number.Decode(), RTS_OK);
   EXPECT_EQ(value, 42);
   const Bytes malformed = {0x30, 0x05, 0x02, 0x01};
   EXPECT_EQ(later.setBuffer(malformed.data(), 4), RTS_BAD_LENGTH);
}

struct FindStep {
   ASN1TAG tag;
   int first;
   int offset; // expected element offset in kNested, -1 for not found
   int length;
};

TEST(BerDecodeBuffer, FindElementWalksDepthFirst) {
   const std::vector<std::vector<FindStep>> walks = {
      // The first element itself has the tag: the buffer's first byte.
      {{kSequence, 1, 0, 11}},
      {{kInteger, 1, 2, 1}, {kInteger, 0, 10, 1}, {kInteger, 0, -1, 0}},
      {{kOctetString, 1, 7, 1}},
      // Next from a constructed element searches inside it.
      {{kSequence, 1, 0, 11}, {kSequence, 0, 5, 6}, {kInteger, 0, 10, 1}},
      {{kBoolean, 1, -1, 0}},
      // The constructed bit of the tag asked for does not matter.
      {{kInteger | TM_CONS, 1, 2, 1}, {kOctetString, 0, 7, 1}},
   };
   for (size_t w = 0; w < walks.size(); w++) {
      ASN1BERDecodeBuffer buffer(kNested.data(), static_cast<int>(kNested.size()));
      for (size_t s = 0; s < walks[w].size(); s++) {
         const FindStep& step = walks[w][s];
         int length = -1;
         const ASN1OCTET* found = buffer.findElement(step.tag, length, step.first);
         SCOPED_TRACE("walk " + std::to_string(w) + " step " + std::to_string(s));
         if (step.offset < 0) {
            EXPECT_EQ(found, nullptr);
            EXPECT_EQ(length, -1);
         } else {
            EXPECT_EQ(found, kNested.data() + step.offset);
            EXPECT_EQ(length, step.length);
            EXPECT_EQ(buffer.getCtxtPtr()->buffer.byteIndex, static_cast<ASN1UINT>(step.offset));
         }
      }
   }
}

TEST(BerDecodeBuffer, FindElementThenDecodeFromTheFoundElement) {
   ASN1BERDecodeBuffer buffer(kNested.data(), static_cast<int>(kNested.size()));
   int length = 0;
   ASSERT_NE(buffer.findElement(kOctetString, length, 1), nullptr);
   ASSERT_NE(buffer.findElement(kInteger, length, 0), nullptr);
   ASN1INT value = 0;
   IntCType number(buffer, value);
   // findElement set the buffer up, so init() keeps the position found.
   ASSERT_EQ(number.Decode(), RTS_OK);
   EXPECT_EQ(value, 7);
}

TEST(BerDecodeBuffer, FindElementInAMalformedMessageFindsNothing) {
   const Bytes truncated = {0x30, 0x08, 0x02, 0x01, 0x05};
   ASN1BERDecodeBuffer buffer(truncated.data(), static_cast<int>(truncated.size()));
   int length = -1;
   EXPECT_EQ(buffer.findElement(kInteger, length, 1), nullptr);
   EXPECT_EQ(length, -1);
   ASN1BERDecodeBuffer empty;
   EXPECT_EQ(empty.findElement(kInteger, length, 1), nullptr);
   EXPECT_EQ(empty.findElement(kInteger, length, 0), nullptr);
}

// ---- XER encode buffer -------------------------------------------------------

const char kNumberDocument[] =
   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Number>42</Number>";

TEST(XerEncodeBuffer, EncodesADocument) {
   ASN1XEREncodeBuffer buffer;
   ASN1INT value = 42;
   IntCType number(buffer, value);
   ASSERT_EQ(number.Encode(), RTS_OK);
   EXPECT_EQ(xerText(buffer), kNumberDocument);
   // init() before each encode: a second run gives the same document.
   ASSERT_EQ(number.Encode(), RTS_OK);
   EXPECT_EQ(xerText(buffer), kNumberDocument);
   buffer.init();
   EXPECT_EQ(buffer.getCtxtPtr()->buffer.byteIndex, 0u);
}

TEST(XerEncodeBuffer, ConstructorsSetTheSwitchesAndTheStorage) {
   ASN1OCTET storage[64];
   struct Case {
      const char* name;
      ASN1XEREncodeBuffer* buffer;
      ASN1UINT flags;
      ASN1UINT size;
      bool dynamic;
   };
   ASN1XEREncodeBuffer plain, compact(1), notCompact(0), sized(0, nullptr, 100),
      fixed(storage, sizeof storage), fragment(storage, sizeof storage, 1, 1),
      fragmentOnly(storage, sizeof storage, 0, 1);
   const Case cases[] = {
      {"default", &plain, 0, 16384, true},
      {"compact", &compact, CTXTF_XER_NOINDENT, 16384, true},
      {"not compact", &notCompact, 0, 16384, true},
      {"sized", &sized, 0, 100, true},
      {"fixed", &fixed, 0, sizeof storage, false},
      {"compact fragment", &fragment, CTXTF_XER_NOINDENT | CTXTF_XER_FRAGMENT, sizeof storage, false},
      {"fragment", &fragmentOnly, CTXTF_XER_FRAGMENT, sizeof storage, false},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      const ASN1CTXT* pctxt = c.buffer->getCtxtPtr();
      EXPECT_EQ(pctxt->flags & (CTXTF_XER_NOINDENT | CTXTF_XER_FRAGMENT), c.flags);
      EXPECT_EQ(pctxt->buffer.size, c.size);
      EXPECT_EQ(pctxt->buffer.dynamic, c.dynamic ? 1 : 0);
      EXPECT_EQ(pctxt->buffer.byteIndex, 0u);
      if (!c.dynamic) {
         EXPECT_EQ(pctxt->buffer.data, storage);
      }
   }
}

TEST(XerEncodeBuffer, FragmentHasNoDeclaration) {
   ASN1OCTET storage[64];
   ASN1XEREncodeBuffer buffer(storage, sizeof storage, 1, 1);
   ASN1INT value = -7;
   IntCType number(buffer, value);
   ASSERT_EQ(number.Encode(), RTS_OK);
   EXPECT_EQ(xerText(buffer), "<Number>-7</Number>");
}

TEST(XerEncodeBuffer, FullCallersBufferFailsTheEncode) {
   ASN1OCTET storage[20];
   ASN1XEREncodeBuffer buffer(storage, sizeof storage);
   ASN1INT value = 1;
   IntCType number(buffer, value);
   EXPECT_EQ(number.Encode(), RTS_BUFFER_FULL);
}

TEST(XerEncodeBuffer, SharedMessageHeapHoldsTheText) {
   ASN1CtxtPtr owner(new ASN1Context());
   ASN1XEREncodeBuffer buffer(1, owner->getPtr(), 0);
   const ASN1CTXT* pctxt = buffer.getCtxtPtr();
   EXPECT_EQ(pctxt->msgMemHeap, owner->getPtr()->typeMemHeap);
   EXPECT_NE(pctxt->typeMemHeap, owner->getPtr()->typeMemHeap);
   EXPECT_EQ(pctxt->buffer.size, 16384u);
}

TEST(XerEncodeBuffer, NegativeSizeIsRefused) {
   ASN1OCTET storage[4];
   try {
      ASN1XEREncodeBuffer buffer(storage, -1);
      FAIL() << "a negative size must be refused";
   } catch (const ASN1MessageBuffer::RTLError& e) {
      EXPECT_EQ(e.getStatus(), RTS_BAD_ARGUMENT);
   }
}

TEST(XerEncodeBuffer, WritesTheDocumentToAFile) {
   ASN1XEREncodeBuffer buffer;
   ASN1INT value = 42;
   IntCType number(buffer, value);
   ASSERT_EQ(number.Encode(), RTS_OK);
   const int expected = static_cast<int>(sizeof kNumberDocument - 1);

   const std::string dir = testsupport::scratchDir("XerEncodeBufferWrite");
   const std::string path = dir + "/number.xml";
   EXPECT_EQ(buffer.write(path.c_str()), expected);
   EXPECT_EQ(testsupport::readFile(path), kNumberDocument);

   FILE* file = std::tmpfile();
   ASSERT_NE(file, nullptr);
   EXPECT_EQ(buffer.write(file), expected);
   std::rewind(file);
   std::string back(expected + 1, '\0');
   EXPECT_EQ(std::fread(&back[0], 1, back.size(), file), static_cast<size_t>(expected));
   back.resize(expected);
   EXPECT_EQ(back, kNumberDocument);
   std::fclose(file);

   EXPECT_EQ(buffer.write((dir + "/missing/number.xml").c_str()), -1);
   EXPECT_EQ(buffer.write(static_cast<FILE*>(nullptr)), -1);
   buffer.init();
   EXPECT_EQ(buffer.write(path.c_str()), 0);
   EXPECT_EQ(testsupport::readFile(path), "");
}

// ---- XER decode buffer -------------------------------------------------------

const std::string kPairText = "<Pair>\n   <number>12</number>\n   <text>AT&amp;T</text>\n</Pair>";

TEST(XerDecodeBuffer, DecodesATinyDocumentThroughAHandler) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(kPairText.data()),
                              static_cast<unsigned>(kPairText.size()));
   Pair value = {0, nullptr};
   PairCType pair(buffer, value);
   ASSERT_EQ(pair.Decode(), RTS_OK);
   EXPECT_EQ(value.number, 12);
   ASSERT_NE(value.text, nullptr);
   EXPECT_STREQ(value.text, "AT&T");
}

TEST(XerDecodeBuffer, DecodeXmlReturnsTheRecordedStatus) {
   const std::string text = "<Pair><number>1x</number></Pair>";
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(text.data()),
                              static_cast<unsigned>(text.size()));
   Pair value = {0, nullptr};
   PairCType pair(buffer, value);
   EXPECT_EQ(pair.Decode(), RTS_BAD_DIGIT);
   EXPECT_EQ(buffer.getCtxtPtr()->errInfo.status, RTS_BAD_DIGIT);
}

TEST(XerDecodeBuffer, HandlerAndSyntaxFailuresLeaveAsExceptions) {
   const std::string wrongRoot = "<Other/>";
   const std::string broken = "<Pair><number>1</Pair>";
   for (const std::string* text : {&wrongRoot, &broken}) {
      ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(text->data()),
                                 static_cast<unsigned>(text->size()));
      Pair value = {0, nullptr};
      PairCType pair(buffer, value);
      try {
         pair.Decode();
         ADD_FAILURE() << "no exception for " << *text;
      } catch (OSRTSAXException& e) {
         if (text == &wrongRoot) {
            EXPECT_EQ(e.getStatus(), RTS_XML_STRUCTURE);
         } else {
            EXPECT_EQ(e.getStatus(), 0);
            EXPECT_EQ(std::string(e.getMessage()).rfind("mismatched tag, line = 1, column = ", 0), 0u)
               << e.getMessage();
         }
      }
   }
}

TEST(XerDecodeBuffer, FragmentAndSharedContext) {
   ASN1Context* shared = new ASN1Context();
   ASN1CtxtPtr holder(shared);
   {
      ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>("<a/>"), 4, 1, shared);
      EXPECT_EQ(buffer.getCtxtPtr(), shared->getPtr());
      EXPECT_EQ(shared->getRefCount(), 2u);
      EXPECT_EQ(shared->getPtr()->flags & CTXTF_XER_FRAGMENT, CTXTF_XER_FRAGMENT);
   }
   EXPECT_EQ(shared->getRefCount(), 1u);
   ASN1XERDecodeBuffer own(reinterpret_cast<const ASN1OCTET*>("<a/>"), 4);
   EXPECT_NE(own.getCtxtPtr(), shared->getPtr());
   EXPECT_EQ(own.getCtxtPtr()->flags & CTXTF_XER_FRAGMENT, 0u);
   EXPECT_EQ(own.getXmlLength(), 4u);
}

TEST(XerDecodeBuffer, InitBufferForms) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>("<a/>"), 4);
   ASN1CTXT* pctxt = buffer.getCtxtPtr();
   char text[] = "1.2.3";
   ASSERT_EQ(buffer.initBuffer(text), RTS_OK);
   EXPECT_EQ(pctxt->buffer.data, reinterpret_cast<ASN1OCTET*>(text));
   EXPECT_EQ(pctxt->buffer.size, 6u); // the terminating NUL included
   EXPECT_EQ(pctxt->buffer.byteIndex, 0u);
   EXPECT_EQ(pctxt->buffer.dynamic, 0);
   ASN1OBJID oid;
   ASSERT_EQ(xerDecObjId(pctxt, &oid), RTS_OK);
   EXPECT_EQ(oid.numarcs, 3u);

   unsigned short wide[] = {'1', 0};
   EXPECT_EQ(buffer.initBuffer(wide), RTS_UNSUPPORTED);

   ASN1MemBuf memBuf;
   rtMemBufInit(pctxt, &memBuf, 16);
   ASSERT_EQ(rtMemBufAppend(&memBuf, reinterpret_cast<const ASN1OCTET*>("77"), 2), RTS_OK);
   ASSERT_EQ(buffer.initBuffer(memBuf), RTS_OK);
   int length = 0;
   EXPECT_EQ(pctxt->buffer.data, rtMemBufGetData(&memBuf, &length));
   EXPECT_EQ(pctxt->buffer.size, 2u);
   rtMemBufFree(&memBuf);
}

TEST(XerDecodeBuffer, ThrowSaxExceptionCarriesItsArguments) {
   ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>("<a/>"), 4);
   try {
      buffer.throwSAXException(RTS_NOT_FOUND, "unknown element", 12);
      FAIL() << "must throw";
   } catch (OSRTSAXException& e) {
      EXPECT_EQ(e.getStatus(), RTS_NOT_FOUND);
      EXPECT_STREQ(e.getMessage(), "unknown element");
      EXPECT_EQ(e.getSrcLineNum(), 12);
      EXPECT_EQ(e.getSrcFileName(), nullptr);
   }
}

// ---- base-class forms --------------------------------------------------------

TEST(MessageBuffers, InitBufferFormsNotImplementedAreUnsupported) {
   ASN1BEREncodeBuffer berEncode;
   ASN1BERDecodeBuffer berDecode;
   ASN1XEREncodeBuffer xerEncode;
   ASN1MessageBufferIF* buffers[] = {&berEncode, &berDecode, &xerEncode};
   char text[] = "x";
   unsigned short wide[] = {'x', 0};
   for (ASN1MessageBufferIF* buffer : buffers) {
      EXPECT_EQ(buffer->initBuffer(text), RTS_UNSUPPORTED);
      EXPECT_EQ(buffer->initBuffer(wide), RTS_UNSUPPORTED);
   }
}

TEST(MessageBuffers, MessageCopyOnlyFromTheBerEncodeBuffer) {
   const Bytes message = {0x05, 0x00};
   ASN1BERDecodeBuffer berDecode(message.data(), 2);
   ASN1XEREncodeBuffer xerEncode;
   ASN1XERDecodeBuffer xerDecode(reinterpret_cast<const ASN1OCTET*>("<a/>"), 4);
   berDecode.init();
   EXPECT_EQ(berDecode.getMsgCopy(), nullptr);
   EXPECT_EQ(xerEncode.getMsgCopy(), nullptr);
   EXPECT_EQ(xerDecode.getMsgCopy(), nullptr);
   // getMsgPtr of the other buffers is the start of the context buffer.
   EXPECT_EQ(berDecode.getMsgPtr(), message.data());
   EXPECT_EQ(xerEncode.getMsgPtr(), xerEncode.getCtxtPtr()->buffer.data);
   EXPECT_EQ(xerDecode.getMsgPtr(), nullptr);
}

}
