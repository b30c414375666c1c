// The context object, its reference counting, the buffer kinds and the
// control-class base: who holds the context, when it goes, whose heap a
// value lives in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects_test_types.h"

namespace {

typedef std::vector<ASN1OCTET> Bytes;

// ---- context and reference counts ------------------------------------------

class ContextLifetime : public HeapCensusTest {};

TEST_F(ContextLifetime, CountStartsAtZeroAndTheLastReferenceFreesTheHeap) {
   ASN1Context* context = new ASN1Context();
   EXPECT_EQ(context->getRefCount(), 0u);
   const size_t heapBlocks = liveBlocks();
   EXPECT_GT(heapBlocks, 0u);
   {
      ASN1CtxtPtr first(context);
      EXPECT_EQ(context->getRefCount(), 1u);
      {
         ASN1CtxtPtr second(first);
         EXPECT_EQ(context->getRefCount(), 2u);
         ASN1CtxtPtr third;
         third = second;
         EXPECT_EQ(context->getRefCount(), 3u);
         third = context; // the same context again: no change
         EXPECT_EQ(context->getRefCount(), 3u);
         third = nullptr;
         EXPECT_EQ(context->getRefCount(), 2u);
      }
      EXPECT_EQ(context->getRefCount(), 1u);
      EXPECT_EQ(liveBlocks(), heapBlocks);
   }
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(ContextLifetime, ValueAllocatedThroughTheContextLivesWithIt) {
   ASN1CtxtPtr holder(new ASN1Context());
   void* block = ASN1MALLOC(holder->getPtr(), 40);
   ASSERT_NE(block, nullptr);
   EXPECT_TRUE(HeapCensus::holds(block));
   holder = nullptr;
   EXPECT_FALSE(HeapCensus::holds(block));
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(ContextLifetime, EachBufferOwnsOneReference) {
   ASN1BEREncodeBuffer berEncode;
   ASN1BERDecodeBuffer berDecode;
   ASN1XEREncodeBuffer xerEncode;
   ASN1XERDecodeBuffer xerDecode(reinterpret_cast<const ASN1OCTET*>("<a/>"), 4);
   ASN1MessageBufferIF* buffers[] = {&berEncode, &berDecode, &xerEncode, &xerDecode};
   for (ASN1MessageBufferIF* buffer : buffers) {
      ASN1CtxtPtr context = buffer->getContext();
      EXPECT_EQ(context->getRefCount(), 2u);
      EXPECT_EQ(context->getPtr(), buffer->getCtxtPtr());
   }
}

TEST_F(ContextLifetime, BufferDestroyedBeforeItsControlObjects) {
   ASN1INT first = 0, second = 0;
   ASN1BERDecodeBuffer* buffer = new ASN1BERDecodeBuffer();
   ASN1Context* context = buffer->getContext();
   IntCType* a = new IntCType(*buffer, first);
   IntCType* b = new IntCType(*buffer, second);
   void* value = ASN1MALLOCZ(buffer->getCtxtPtr(), 16);
   EXPECT_EQ(context->getRefCount(), 3u);
   delete buffer;
   EXPECT_EQ(context->getRefCount(), 2u);
   // The heap, and the value in it, outlives the buffer.
   EXPECT_TRUE(HeapCensus::holds(value));
   EXPECT_EQ(a->getCtxtPtr(), context->getPtr());
   delete a;
   EXPECT_EQ(context->getRefCount(), 1u);
   EXPECT_GT(liveBlocks(), 0u);
   delete b;
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(ContextLifetime, ControlObjectWithoutBufferOwnsItsContext) {
   ASN1INT value = 3;
   {
      IntCType number(value);
      ASN1CtxtPtr context = number.getContext();
      EXPECT_EQ(context->getRefCount(), 2u);
      EXPECT_EQ(number.getMsgBuf(), nullptr);
      EXPECT_EQ(number.Encode(), RTS_UNSUPPORTED);
      EXPECT_EQ(number.Decode(), RTS_UNSUPPORTED);
   }
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(ContextLifetime, PduValueKeepsItsContext) {
   struct Value : ASN1TPDU {
      const char* text = nullptr;
   };
   Value* value = new Value();
   EXPECT_EQ(value->getContext(), nullptr);
   {
      ASN1BERDecodeBuffer buffer;
      value->setContext(buffer.getContext());
      EXPECT_EQ(value->getContext()->getRefCount(), 3u); // buffer, value, temporary
      value->text = static_cast<const char*>(ASN1MALLOC(buffer.getCtxtPtr(), 8));
   }
   EXPECT_EQ(value->getContext()->getRefCount(), 2u);
   EXPECT_TRUE(HeapCensus::holds(value->text));
   delete value;
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(ContextLifetime, ConstructorFailuresThrowAndFreeWhatWasMade) {
   // No heap at all: the context itself fails.
   HeapCensus::allowed = 0;
   try {
      ASN1BEREncodeBuffer buffer;
      ADD_FAILURE() << "a context without heap must throw";
   } catch (const ASN1MessageBuffer::RTLError& e) {
      EXPECT_EQ(e.getStatus(), RTS_NO_MEMORY);
   }
   // A heap but no room for the output buffer: the buffer set-up fails and
   // the context made for it goes again.
   const int heapCreation = 1;
   for (int kind = 0; kind < 2; kind++) {
      HeapCensus::allowed = heapCreation;
      try {
         if (kind == 0) {
            ASN1BEREncodeBuffer buffer;
         } else {
            ASN1XEREncodeBuffer buffer;
         }
         ADD_FAILURE() << "buffer kind " << kind << " must throw";
      } catch (const ASN1RTLException& e) {
         EXPECT_EQ(e.getStatus(), RTS_NO_MEMORY);
      }
      EXPECT_EQ(liveBlocks(), 0u);
   }
}

TEST(Context, PrintErrorInfoPrintsTheFirstStatus) {
   ASN1CtxtPtr context(new ASN1Context());
   rtErrSetData(&context->getPtr()->errInfo, RTS_BAD_LENGTH, nullptr, 0);
   rtErrSetData(&context->getPtr()->errInfo, RTS_NOT_FOUND, nullptr, 0);
   testing::internal::CaptureStdout();
   context->PrintErrorInfo();
   EXPECT_EQ(testing::internal::GetCapturedStdout(), "ASN.1 ERROR: Status -5\n");
}

// ---- buffer kinds ------------------------------------------------------------

TEST(BufferKinds, IsAnswersOnlyForTheBuffersOwnKind) {
   ASN1BEREncodeBuffer berEncode;
   ASN1BERDecodeBuffer berDecode;
   ASN1XEREncodeBuffer xerEncode;
   ASN1XERDecodeBuffer xerDecode(reinterpret_cast<const ASN1OCTET*>("<a/>"), 4);
   struct Row {
      const char* name;
      ASN1MessageBufferIF* buffer;
      ASN1MessageBufferIF::Type kind;
   };
   const Row rows[] = {
      {"BER encode", &berEncode, ASN1MessageBufferIF::BEREncode},
      {"BER decode", &berDecode, ASN1MessageBufferIF::BERDecode},
      {"XER encode", &xerEncode, ASN1MessageBufferIF::XEREncode},
      {"XER decode", &xerDecode, ASN1MessageBufferIF::XERDecode},
   };
   const ASN1MessageBufferIF::Type kinds[] = {
      ASN1MessageBufferIF::BEREncode, ASN1MessageBufferIF::BERDecode,
      static_cast<ASN1MessageBufferIF::Type>(2), static_cast<ASN1MessageBufferIF::Type>(3),
      ASN1MessageBufferIF::XEREncode, ASN1MessageBufferIF::XERDecode};
   for (const Row& row : rows) {
      for (ASN1MessageBufferIF::Type kind : kinds) {
         SCOPED_TRACE(std::string(row.name) + " asked for kind " + std::to_string(kind));
         EXPECT_EQ(row.buffer->isA(kind), kind == row.kind);
      }
   }
   EXPECT_EQ(ASN1MessageBufferIF::BEREncode, 0);
   EXPECT_EQ(ASN1MessageBufferIF::BERDecode, 1);
   EXPECT_EQ(ASN1MessageBufferIF::XEREncode, 4);
   EXPECT_EQ(ASN1MessageBufferIF::XERDecode, 5);
}

// ---- control-class base ------------------------------------------------------

TEST(ControlBase, BaseEncodeAndDecodeDoNothing) {
   class Plain : public ASN1CType {
    public:
      explicit Plain(ASN1MessageBufferIF& buffer) : ASN1CType(buffer) {}
   };
   ASN1BEREncodeBuffer buffer;
   Plain plain(buffer);
   EXPECT_EQ(plain.Encode(), RTS_OK);
   EXPECT_EQ(plain.Decode(), RTS_OK);
   EXPECT_EQ(buffer.getMsgLen(), 0);
   EXPECT_EQ(plain.getMsgBuf(), &buffer);
}

TEST(ControlBase, WrongBufferKindIsUnsupportedAndTouchesNothing) {
   ASN1BERDecodeBuffer decodeBuffer;
   ASN1INT value = 17;
   IntCType number(decodeBuffer, value);
   EXPECT_EQ(number.Encode(), RTS_UNSUPPORTED);
   EXPECT_EQ(value, 17);
}

TEST(ControlBase, SetMsgBufTakesOverTheBuffersHeap) {
   ASN1INT value = 1;
   IntCType number(value);
   ASN1BEREncodeBuffer buffer;
   EXPECT_NE(number.getCtxtPtr()->typeMemHeap, buffer.getCtxtPtr()->typeMemHeap);
   number.setMsgBuf(buffer);
   EXPECT_EQ(number.getMsgBuf(), &buffer);
   EXPECT_EQ(number.getCtxtPtr()->typeMemHeap, buffer.getCtxtPtr()->typeMemHeap);
   // The object keeps its own context; only the heap is shared.
   EXPECT_NE(number.getCtxtPtr(), buffer.getCtxtPtr());
   EXPECT_EQ(number.Encode(), 3);
   EXPECT_EQ(Bytes(buffer.getMsgPtr(), buffer.getMsgPtr() + 3), (Bytes{0x02, 0x01, 0x01}));
}

class RoundTrip : public HeapCensusTest {};

TEST_F(RoundTrip, TwoControlObjectsOverOneValue) {
   const std::string xml = "<Pair><number>-3</number><text>R&amp;D</text></Pair>";
   ASN1XERDecodeBuffer* input = new ASN1XERDecodeBuffer(
      reinterpret_cast<const ASN1OCTET*>(xml.data()), static_cast<unsigned>(xml.size()));
   ASN1BEREncodeBuffer* output = new ASN1BEREncodeBuffer();
   // The value structure comes from the input buffer's heap, as CreateType does.
   Pair* value = static_cast<Pair*>(ASN1MALLOCZ(input->getCtxtPtr(), sizeof(Pair)));
   PairCType* decoder = new PairCType(*input, *value);
   IntCType* encoder = new IntCType(*output, value->number);

   ASSERT_EQ(decoder->Decode(), RTS_OK);
   ASSERT_STREQ(value->text, "R&D");
   ASSERT_EQ(encoder->Encode(), 3);
   EXPECT_EQ(Bytes(output->getMsgPtr(), output->getMsgPtr() + 3), (Bytes{0x02, 0x01, 0xFD}));

   // The value lives in the input context's heap: the input buffer may go
   // first while the decoder still holds that context.
   ASN1Context* inputContext = input->getContext();
   delete input;
   EXPECT_EQ(inputContext->getRefCount(), 1u);
   EXPECT_STREQ(value->text, "R&D");
   EXPECT_TRUE(HeapCensus::holds(value));
   delete encoder;
   delete output;
   delete decoder;
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(RoundTrip, CopiedControlObjectSharesContextAndBuffer) {
   class Counted : public ASN1CType {
    public:
      explicit Counted(ASN1MessageBufferIF& buffer) : ASN1CType(buffer) {}
      Counted(const Counted& other) : ASN1CType(other) {}
   };
   ASN1BEREncodeBuffer buffer;
   Counted original(buffer);
   Counted copy(original);
   EXPECT_EQ(copy.getCtxtPtr(), original.getCtxtPtr());
   EXPECT_EQ(copy.getMsgBuf(), &buffer);
   EXPECT_EQ(buffer.getContext()->getRefCount(), 4u); // buffer, two objects, temporary
}

}
