// Message buffers and the context they share with control objects: set-up,
// reuse, failures, element search, file output, and who holds the context
// (and the heap with the values in it) until when.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ASN1BERDecodeBuffer.h"
#include "ASN1BEREncodeBuffer.h"
#include "ASN1TPDU.h"
#include "ASN1XERDecodeBuffer.h"
#include "ASN1XEREncodeBuffer.h"
#include "objects_test_types.h"
#include "test_support.h"

namespace {

using Bytes = std::vector<ASN1OCTET>;

Bytes bytesOf(const ASN1OCTET* data, int length) { return Bytes(data, data + length); }

std::string xerText(ASN1XEREncodeBuffer& buffer) {
   const ASN1CTXT* pctxt = buffer.getCtxtPtr();
   return std::string(reinterpret_cast<const char*>(pctxt->buffer.data), pctxt->buffer.byteIndex);
}

template <typename F>
int thrownStatus(F f) {
   try {
      f();
   } catch (const ASN1RTLException& e) {
      return e.getStatus();
   }
   return 0;
}

TEST(BerBuffers, EncodeDecodeAndReuse) {
   ASN1OCTET storage[8] = {0};
   ASN1BEREncodeBuffer fixed(storage, sizeof storage);
   ASN1INT value = 300;
   IntCType number(fixed, value);
   ASSERT_EQ(number.Encode(), 4);
   EXPECT_EQ(fixed.getMsgPtr(), storage + 3)
       << "written back to front, before the spare last octet";
   EXPECT_EQ(bytesOf(storage + 3, 4), (Bytes{0x02, 0x02, 0x01, 0x2C}));
   ASN1OCTET* copy = fixed.getMsgCopy();
   value = -129;
   ASSERT_EQ(number.Encode(), 4) << "init() in EncodeTo: the second message replaces the first";
   EXPECT_EQ(bytesOf(fixed.getMsgPtr(), fixed.getMsgLen()), (Bytes{0x02, 0x02, 0xFF, 0x7F}));
   EXPECT_EQ(bytesOf(copy, 4), (Bytes{0x02, 0x02, 0x01, 0x2C}));
   delete[] copy;
   EXPECT_EQ(fixed.setBuffer(storage, -1), RTS_BAD_ARGUMENT);
   ASN1OCTET tiny[3];
   ASN1BEREncodeBuffer full(tiny, sizeof tiny);
   IntCType tooLong(full, value);
   EXPECT_EQ(thrownStatus([&] { full << tooLong; }), RTS_BUFFER_FULL);
   EXPECT_EQ(thrownStatus([&] { ASN1BEREncodeBuffer none(tiny, 0); }), RTS_BAD_ARGUMENT);

   const Bytes message = {0x02, 0x01, 0x85, 0x04, 0x01, 0x00}, malformed = {0x30, 0x05, 0x02, 0x01};
   ASN1BERDecodeBuffer decode(message.data(), 3);
   IntCType reader(decode, value);
   EXPECT_EQ(&(decode >> reader), &decode);
   EXPECT_EQ(value, -123);
   decode.getCtxtPtr()->buffer.byteIndex = 2;
   EXPECT_EQ(decode.setBuffer(message.data(), 3), RTS_OK);
   decode.init();
   EXPECT_EQ(decode.getCtxtPtr()->buffer.byteIndex, 2u) << "the same message keeps its position";
   EXPECT_EQ(decode.setBuffer(message.data() + 3, 3), RTS_OK);
   EXPECT_EQ(decode.getCtxtPtr()->buffer.byteIndex, 0u);
   EXPECT_EQ(thrownStatus([&] { decode >> reader; }), RTS_NOT_FOUND);
   testing::internal::CaptureStdout();
   decode.getContext()->PrintErrorInfo();
   EXPECT_EQ(testing::internal::GetCapturedStdout(), "ASN.1 ERROR: Status -3\n");
   EXPECT_EQ(decode.setBuffer(malformed.data(), 4), RTS_BAD_LENGTH);
}

TEST(BerBuffers, FindElementWalksDepthFirst) {
   // SEQUENCE { INTEGER 5, SEQUENCE { OCTET STRING AA, INTEGER 7 } }
   const Bytes nested = {0x30, 0x0B, 0x02, 0x01, 0x05, 0x30, 0x06,
                         0x04, 0x01, 0xAA, 0x02, 0x01, 0x07};
   const ASN1TAG seq = TM_UNIV | TM_CONS | ASN_ID_SEQ, integer = TM_UNIV | ASN_ID_INT;
   const ASN1TAG octets = TM_UNIV | ASN_ID_OCTSTR;
   const struct {
      std::vector<ASN1TAG> tags; /* the first searched from the start, then next ones */
      std::string found;         /* offset and length of each, "-" for none */
   } walks[] = {
      {{seq, seq, integer}, "0:11 5:6 10:1"}, /* next from a constructed element looks inside */
      {{integer, integer, integer}, "2:1 10:1 -"},
      {{integer | TM_CONS, octets}, "2:1 7:1"}, /* the constructed bit asked for does not matter */
      {{TM_UNIV | ASN_ID_BOOL}, "-"},
   };
   for (const auto& w : walks) {
      ASN1BERDecodeBuffer buffer(nested.data(), static_cast<int>(nested.size()));
      std::string found;
      for (size_t i = 0; i < w.tags.size(); i++) {
         int length = -1;
         const ASN1OCTET* at = buffer.findElement(w.tags[i], length, i == 0);
         found += i ? " " : "";
         found += at ? std::to_string(at - nested.data()) + ":" + std::to_string(length) : "-";
      }
      EXPECT_EQ(found, w.found);
   }
}

TEST(XerBuffers, SwitchesOutputAndFiles) {
   ASN1OCTET storage[64];
   ASN1XEREncodeBuffer plain, fragment(storage, sizeof storage, 1, 1);
   ASN1INT value = -7;
   IntCType number(fragment, value);
   ASSERT_EQ(number.Encode(), RTS_OK);
   EXPECT_EQ(xerText(fragment), "<Number>-7</Number>") << "a fragment has no declaration";
   IntCType document(plain, value);
   ASSERT_EQ(document.Encode(), RTS_OK);
   const std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Number>-7</Number>";
   EXPECT_EQ(xerText(plain), expected);
   ASN1XEREncodeBuffer small(storage, 20);
   EXPECT_EQ(IntCType(small, value).Encode(), RTS_BUFFER_FULL);
   EXPECT_EQ(thrownStatus([&] { ASN1XEREncodeBuffer negative(storage, -1); }), RTS_BAD_ARGUMENT);

   const std::string path = testsupport::scratchDir("XerEncodeBufferWrite") + "/number.xml";
   EXPECT_EQ(plain.write(path.c_str()), static_cast<int>(expected.size()));
   EXPECT_EQ(testsupport::readFile(path), expected);
   EXPECT_EQ(plain.write((path + "/missing").c_str()), -1);
   EXPECT_EQ(plain.write(static_cast<FILE*>(nullptr)), -1);
   plain.init();
   EXPECT_EQ(plain.write(path.c_str()), 0);
}

TEST(Buffers, ControlBase) {
   ASN1BEREncodeBuffer berEncode;
   ASN1BERDecodeBuffer berDecode;
   ASN1INT value = 17;
   EXPECT_EQ(IntCType(berDecode, value).Encode(), RTS_UNSUPPORTED);
   IntCType own(value);
   EXPECT_EQ(own.Decode(), RTS_UNSUPPORTED) << "no buffer";
   own.setMsgBuf(berEncode);
   EXPECT_EQ(own.getCtxtPtr()->typeMemHeap, berEncode.getCtxtPtr()->typeMemHeap)
       << "the buffer's heap";
   EXPECT_NE(own.getCtxtPtr(), berEncode.getCtxtPtr()) << "its own context";
   EXPECT_EQ(own.Encode(), 3);
   EXPECT_EQ(bytesOf(berEncode.getMsgPtr(), 3), (Bytes{0x02, 0x01, 0x11}));
}

class ContextLifetime : public HeapCensusTest {};

/* Each holder of a context counts once; the value allocated through a
   buffer outlives it while a control object or a PDU value holds the
   context, and goes with the last holder. */
TEST_F(ContextLifetime, TheLastHolderFreesTheHeap) {
   ASN1INT number = 0;
   ASN1BERDecodeBuffer* buffer = new ASN1BERDecodeBuffer();
   ASN1Context* context = buffer->getContext();
   IntCType* control = new IntCType(*buffer, number);
   struct Value : ASN1TPDU {};
   Value* pdu = new Value();
   pdu->setContext(context);
   ASN1CtxtPtr again(context);
   again = context;
   EXPECT_EQ(context->getRefCount(), 4u);
   again = nullptr;
   void* value = ASN1MALLOCZ(buffer->getCtxtPtr(), 16);
   delete buffer;
   delete control;
   EXPECT_EQ(context->getRefCount(), 1u);
   EXPECT_TRUE(holds(value));
   delete pdu;
   EXPECT_EQ(blocks.size(), 0u);
}

TEST_F(ContextLifetime, AllocationFailuresThrowAndFreeWhatWasMade) {
   for (int budget : {0, 1}) {
      for (int kind = 0; kind < 2; kind++) {
         allowed = budget; /* none, or the heap but no output buffer */
         EXPECT_EQ(thrownStatus([&] {
                      if (kind == 0) ASN1BEREncodeBuffer buffer;
                      else ASN1XEREncodeBuffer buffer;
                   }),
                   RTS_NO_MEMORY);
         EXPECT_EQ(blocks.size(), 0u);
      }
   }
}

}
