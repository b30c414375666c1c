// Codec context: heap slots and references, buffer set-up, free, flags,
// heap sharing, first-error-wins recording and the printed error line.
#include <gtest/gtest.h>

#include "codecFailure.h"
#include "rtContext.h"
#include "rtMemHeap.h"

namespace {

ASN1UINT refCount(void* slot) { return static_cast<ASN1MemHeap*>(slot)->refCount; }

TEST(Context, InitSharesOneHeapWithTwoReferences) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   EXPECT_EQ(ctxt.initMarker, CTXT_INIT_MARKER);
   ASSERT_NE(ctxt.typeMemHeap, nullptr);
   EXPECT_EQ(ctxt.typeMemHeap, ctxt.msgMemHeap);
   EXPECT_EQ(refCount(ctxt.typeMemHeap), 2u);
   EXPECT_EQ(ctxt.buffer.data, nullptr);
   EXPECT_EQ(ctxt.errInfo.status, 0);
   rtFreeContext(&ctxt);
   EXPECT_EQ(ctxt.initMarker, 0u);
   EXPECT_EQ(ctxt.msgMemHeap, nullptr);  // the last release nulls its slot
   rtFreeContext(&ctxt);  // second free does nothing
}

TEST(Context, DynamicBufferSizes) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ASSERT_EQ(rtInitContextBuffer(&ctxt, nullptr, 0), RTS_OK);
   EXPECT_EQ(ctxt.buffer.size, 16384u);
   EXPECT_EQ(ctxt.buffer.dynamic, 1);
   EXPECT_EQ(ctxt.buffer.bitOffset, 8);
   EXPECT_EQ(rtMemHeapBlockSize(ctxt.buffer.data), 16384u);
   rtFreeContext(&ctxt);

   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ASSERT_EQ(rtInitContextBuffer(&ctxt, nullptr, 100), RTS_OK);
   EXPECT_EQ(ctxt.buffer.size, 100u);
   EXPECT_EQ(rtMemHeapBlockSize(ctxt.buffer.data), 100u);
   rtFreeContext(&ctxt);
}

TEST(Context, CallerBufferIsUsedInPlace) {
   ASN1CTXT ctxt;
   ASN1OCTET data[7] = {};
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ctxt.buffer.byteIndex = 5;
   ASSERT_EQ(rtInitContextBuffer(&ctxt, data, sizeof data), RTS_OK);
   EXPECT_EQ(ctxt.buffer.data, data);
   EXPECT_EQ(ctxt.buffer.size, 7u);
   EXPECT_EQ(ctxt.buffer.byteIndex, 0u);
   EXPECT_EQ(ctxt.buffer.dynamic, 0);
   rtFreeContext(&ctxt);
}

TEST(Context, BufferOnUninitialisedContextIsRefused) {
   ASN1CTXT ctxt{};
   EXPECT_EQ(rtInitContextBuffer(&ctxt, nullptr, 0), RTS_NOT_INITIALISED);
   EXPECT_EQ(ctxt.buffer.data, nullptr);
   rtFreeContext(&ctxt);  // harmless on an uninitialised record
}

TEST(Context, FirstErrorWinsUntilReset) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   EXPECT_EQ(LOG_ASN1ERR(&ctxt, RTS_NOT_FOUND), RTS_NOT_FOUND);
   EXPECT_EQ(xu_error(&ctxt, RTS_BAD_LENGTH), RTS_BAD_LENGTH);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NOT_FOUND);
   ASN1ErrInfo copy{};
   EXPECT_EQ(rtErrCopyData(&ctxt.errInfo, &copy), RTS_NOT_FOUND);
   // Where it failed: the innermost element stays, steps go in front, and
   // a name is copied (the XML reader's names live only for one event).
   const ASN1OCTET octets[4] = {};
   rtErrSetElement(&ctxt, octets + 3);
   rtErrSetElement(&ctxt, octets);
   char name[] = "extnValue";
   rtErrAddPathStep(&ctxt, name, 0);
   rtErrAddPathStep(&ctxt, nullptr, 2);
   rtErrAddPathStep(&ctxt, "extensions", 0);
   name[0] = 'X';
   EXPECT_EQ(ctxt.errInfo.element, octets + 3);
   EXPECT_EQ(CodecFailure::pathText(ctxt.errInfo), "extensions[2].extnValue");
   EXPECT_EQ(rtErrReset(&ctxt.errInfo), 0);
   EXPECT_EQ(ctxt.errInfo.element, nullptr);
   EXPECT_EQ(CodecFailure::pathText(ctxt.errInfo), "");
   EXPECT_EQ(rtErrSetData(&ctxt.errInfo, RTS_BAD_TAG, "m", 1), RTS_BAD_TAG);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_TAG);
   EXPECT_STREQ(rtErrGetText(&ctxt), "");
   EXPECT_STREQ(xu_fmtErrMsg(&ctxt), "");
   EXPECT_EQ(xu_addErrParm(&ctxt, "pvalue->count"), 1);
   EXPECT_EQ(xu_addTagErrParm(&ctxt, 0x20000010), 1);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_TAG);
   rtFreeContext(&ctxt);
}

TEST(Context, ErrorLineIsPrintedToStandardOutput) {
   ASN1ErrInfo info{RTS_NOT_FOUND, nullptr, nullptr};
   testing::internal::CaptureStdout();
   int count = rtErrPrint(&info);
   std::string printed = testing::internal::GetCapturedStdout();
   EXPECT_EQ(printed, "ASN.1 ERROR: Status -3\n");
   EXPECT_EQ(count, static_cast<int>(printed.size()));
}

TEST(Context, FlagsKeepLowSixteenBits) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   rtCtxtSetFlag(&ctxt, 0x10000u | CTXTF_XER_NOINDENT);
   EXPECT_EQ(ctxt.flags, CTXTF_XER_NOINDENT);
   rtCtxtSetFlag(&ctxt, CTXTF_XER_FRAGMENT);
   EXPECT_EQ(ctxt.flags, CTXTF_XER_NOINDENT | CTXTF_XER_FRAGMENT);
   rtFreeContext(&ctxt);
}

TEST(Context, CopyTakesBufferAndFlagsOnly) {
   ASN1CTXT a, b;
   ASSERT_EQ(rtInitContext(&a, nullptr), RTS_OK);
   ASSERT_EQ(rtInitContext(&b, nullptr), RTS_OK);
   ASN1OCTET data[4] = {1, 2, 3, 4};
   rtInitContextBuffer(&a, data, 4);
   a.buffer.byteIndex = 2;
   a.flags = CTXTF_CONSTRUCTED;
   a.errInfo.status = RTS_BAD_VALUE;
   void* heapB = b.typeMemHeap;
   rtCopyContext(&b, &a);
   EXPECT_EQ(b.buffer.data, data);
   EXPECT_EQ(b.buffer.byteIndex, 2u);
   EXPECT_EQ(b.buffer.size, 4u);
   EXPECT_EQ(b.flags, CTXTF_CONSTRUCTED);
   EXPECT_EQ(b.errInfo.status, 0);
   EXPECT_EQ(b.typeMemHeap, heapB);
   rtFreeContext(&a);
   rtFreeContext(&b);
}

TEST(Context, SharedMemoryHeapOutlivesItsCreator) {
   ASN1CTXT a, b;
   ASSERT_EQ(rtInitContext(&a, nullptr), RTS_OK);
   ASSERT_EQ(rtInitContext(&b, nullptr), RTS_OK);
   rtCtxtSetMemHeap(&b, &a);
   EXPECT_EQ(b.typeMemHeap, a.typeMemHeap);
   EXPECT_EQ(refCount(a.typeMemHeap), 3u);  // a's two slots and b's memory slot
   EXPECT_EQ(refCount(b.msgMemHeap), 1u);   // b's own heap keeps only its message slot
   rtCtxtSetMemHeap(&b, &a);                // already shared: no change
   EXPECT_EQ(refCount(a.typeMemHeap), 3u);
   rtCtxtSetMemHeap(&b, nullptr);
   auto* value = static_cast<int*>(ASN1MALLOC(&a, sizeof(int)));
   *value = 42;
   rtFreeContext(&a);
   EXPECT_EQ(*value, 42);  // still owned through b
   rtFreeContext(&b);
}

TEST(Context, SharedMessageHeap) {
   ASN1CTXT a, b;
   ASSERT_EQ(rtInitContext(&a, nullptr), RTS_OK);
   ASSERT_EQ(rtInitContext(&b, nullptr), RTS_OK);
   rtCtxtSetMsgMemHeap(&b, &a);
   EXPECT_EQ(b.msgMemHeap, a.msgMemHeap);
   EXPECT_EQ(refCount(a.msgMemHeap), 3u);
   rtFreeContext(&b);
   EXPECT_EQ(refCount(a.msgMemHeap), 2u);
   rtFreeContext(&a);
}

TEST(Context, SaveAndRestoreClearReservedBit) {
   ASN1CTXT ctxt;
   ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
   ctxt.buffer.byteIndex = 9;
   ctxt.buffer.bitOffset = 3;
   ctxt.flags = CTXTF_CONSTRUCTED | CTXTF_RESERVED_1000;
   ASN1BUFSAVE slot;
   xu_SaveBufferState(&ctxt, &slot);
   xu_SaveBufferState(&ctxt, nullptr);
   EXPECT_EQ(ctxt.savedState.byteIndex, 9u);
   ctxt.buffer.byteIndex = 20;
   ctxt.flags = 0;
   xu_RestoreBufferState(&ctxt, &slot);
   EXPECT_EQ(ctxt.buffer.byteIndex, 9u);
   EXPECT_EQ(ctxt.buffer.bitOffset, 3);
   EXPECT_EQ(ctxt.flags, CTXTF_CONSTRUCTED);
   ctxt.buffer.byteIndex = 0;
   xu_RestoreBufferState(&ctxt, nullptr);
   EXPECT_EQ(ctxt.buffer.byteIndex, 9u);
   rtFreeContext(&ctxt);
}

}
