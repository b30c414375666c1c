// The codec context (heaps, buffers, flags, copies, errors) and the output
// path: buffers and streams to a memory sink, failing and missing ones too.
#include "rtBuffer.h"
#include "rtStream.h"
#include "runtime_test.h"

namespace {

TEST(Context, BuffersFlagsCopiesSharedHeapsAndErrors) {
   ASN1CTXT a{}, b;
   EXPECT_EQ(RTS_NOT_INITIALISED, rtInitContextBuffer(&a, nullptr, 0));
   rtFreeContext(&a);  // harmless on an uninitialised record
   ASSERT_EQ(RTS_OK, rtInitContext(&a, nullptr) + rtInitContext(&b, nullptr));
   ASSERT_EQ(RTS_OK, rtInitContextBuffer(&a, nullptr, 0));
   EXPECT_EQ(16384u, rtMemHeapBlockSize(a.buffer.data));
   ASN1OCTET data[7] = {};
   a.buffer.byteIndex = 5;
   ASSERT_EQ(RTS_OK, rtInitContextBuffer(&a, data, sizeof data));
   EXPECT_EQ(0u, a.buffer.byteIndex + a.buffer.dynamic);
   rtCtxtSetFlag(&a, 0x10000u | CTXTF_XER_NOINDENT | CTXTF_XER_FRAGMENT);  // 16 bits kept
   rtCtxtClearFlag(&a, CTXTF_XER_FRAGMENT);
   EXPECT_EQ(RTS_NOT_FOUND, LOG_ASN1ERR(&a, RTS_NOT_FOUND));
   EXPECT_EQ(RTS_BAD_LENGTH, xu_error(&a, RTS_BAD_LENGTH));  // the first recorded wins
   void* ownHeap = b.typeMemHeap;
   rtCopyContext(&b, &a);  // the buffer and flags only
   EXPECT_EQ(data, b.buffer.data);
   EXPECT_EQ(CTXTF_XER_NOINDENT, b.flags);
   EXPECT_EQ(ownHeap, b.typeMemHeap);
   ASN1ErrInfo copy{};
   EXPECT_EQ(RTS_NOT_FOUND, rtErrCopyData(&a.errInfo, &copy) + b.errInfo.status);
   testing::internal::CaptureStdout();
   EXPECT_EQ(23, rtErrPrint(&copy));
   EXPECT_EQ("ASN.1 ERROR: Status -3\n", testing::internal::GetCapturedStdout());

   rtCtxtSetMemHeap(&b, &a);
   rtCtxtSetMemHeap(&b, &a);  // already shared: no change
   rtCtxtSetMemHeap(&b, nullptr);
   rtCtxtSetMsgMemHeap(&b, &a);
   EXPECT_EQ(4u,
             static_cast<ASN1MemHeap*>(a.typeMemHeap)->refCount);  // both slots of both contexts
   auto* value = static_cast<int*>(ASN1MALLOC(&a, sizeof(int)));
   *value = 42;
   rtFreeContext(&a);
   EXPECT_EQ(42, *value);  // still owned through b
   EXPECT_EQ(2u, static_cast<ASN1MemHeap*>(b.msgMemHeap)->refCount);
   rtFreeContext(&b);
   EXPECT_EQ(nullptr, b.msgMemHeap);
}

struct Sink {  // keeps what it is given and the calls it gets: w, f, c
   std::string written, input = "hello", calls;
   int failWrite = 0, failFlush = 0;
   static Sink& of(ASN1STREAM* s) { return *static_cast<Sink*>(s->pUserData); }
   static int write(ASN1STREAM* s, const ASN1OCTET* p, size_t n) {
      of(s).calls += "w";
      if (of(s).failWrite == 0) of(s).written.append(reinterpret_cast<const char*>(p), n);
      return of(s).failWrite;
   }
   static long read(ASN1STREAM* s, ASN1OCTET* p, size_t n) {
      const size_t count = of(s).input.copy(reinterpret_cast<char*>(p), n);
      of(s).input.erase(0, count);
      return static_cast<long>(count);
   }
   static int flush(ASN1STREAM* s) { return of(s).calls += "f", of(s).failFlush; }
   static int close(ASN1STREAM* s) { return of(s).calls += "c", 0; }
};

class Stream : public HeapProbeTest {
 protected:
   Sink sink;
   void connect(ASN1USINT flags) {
      *ctxt.stream = ASN1STREAM{Sink::read,
                                Sink::write,
                                Sink::flush,
                                Sink::close,
                                ctxt.stream->bufsize,
                                0,
                                static_cast<ASN1USINT>(ctxt.stream->flags | flags),
                                &sink};
   }
   int write(const std::string& text) {
      return rtWriteBytes(&ctxt, reinterpret_cast<const ASN1OCTET*>(text.data()), text.size());
   }
};

TEST_F(Stream, WritesIntoBuffers) {
   ASN1OCTET mine[5] = {};
   ASSERT_EQ(RTS_OK, rtInitContextBuffer(&ctxt, mine, sizeof mine));
   EXPECT_EQ(RTS_OK, rtWriteBytes(&ctxt, nullptr, 0) + write("abc") + write("de"));
   EXPECT_EQ(RTS_BUFFER_FULL, write("f"));
   EXPECT_EQ(RTS_BAD_ARGUMENT, rtWriteBytes(&ctxt, nullptr, 1));
   ASSERT_EQ(RTS_OK, rtInitContextBuffer(&ctxt, nullptr, 100));
   ctxt.buffer.byteIndex = 90;
   EXPECT_EQ(RTS_OK, rtCheckBuffer(&ctxt, 10) +
                         rtCheckBuffer(&ctxt, 11));  // grows by 16384 when 11 do not fit
   ctxt.buffer.byteIndex = ctxt.buffer.size;
   EXPECT_EQ(RTS_OK, rtCheckBuffer(&ctxt, 20000) +
                         rtCheckBuffer(&ctxt, 20001));  // by what is asked, then doubling
   EXPECT_EQ(2u * (100u + 16384u + 20000u), ctxt.buffer.size);
   failAfter(0);
   EXPECT_EQ(RTS_NO_MEMORY, rtCheckBuffer(&ctxt, ctxt.buffer.size));  // the buffer is dropped
   EXPECT_EQ(0u, ctxt.buffer.size + liveBlocks());
   for (int bits = 0; bits <= 8; bits++)
      EXPECT_EQ(bits, rtOctetBitLen(static_cast<ASN1OCTET>(0x1FF >> (9 - bits))));
}

TEST_F(Stream, BufferedStreamCollectsFlushesAndCloses) {
   ASSERT_EQ(RTS_OK, rtStreamBufInit(&ctxt));
   connect(ASN1STRM_WRITABLE);
   EXPECT_EQ(RTS_OK,
             write(std::string(1000, 'a')) + write(std::string(24, 'b')));  // exactly fills it
   EXPECT_EQ("", sink.calls);
   EXPECT_EQ(RTS_OK,
             write("c") + write(std::string(3000, 'y')));  // collected out, then passed through
   EXPECT_EQ(std::string(1000, 'a') + std::string(24, 'b') + "c" + std::string(3000, 'y'),
             sink.written);
   EXPECT_EQ(4025u, rtStreamGetIOBytes(&ctxt));
   ctxt.buffer.byteIndex = 1000;  // rtCheckBuffer flushes what does not leave room
   EXPECT_EQ(RTS_OK, rtCheckBuffer(&ctxt, 24) + rtCheckBuffer(&ctxt, 25) + rtStreamBufFlush(&ctxt));
   EXPECT_EQ("wwwwff", sink.calls);  // nothing collected: no write
   sink.failWrite = RTS_NO_MEMORY;
   EXPECT_EQ(RTS_OK, write("kept"));
   EXPECT_EQ(RTS_NO_MEMORY, rtStreamBufFlush(&ctxt));
   EXPECT_EQ(4u, ctxt.buffer.byteIndex);  // nothing lost
   EXPECT_EQ(RTS_NO_MEMORY, rtStreamBufClose(&ctxt));  // still closes, first failure returned
   EXPECT_EQ("wwwwffwwfc", sink.calls);
   EXPECT_EQ(RTS_NOT_INITIALISED, rtStreamClose(&ctxt));
}

TEST_F(Stream, UnbufferedAndMissingStreams) {
   ASN1OCTET in[10] = {};
   for (int stage = 0; stage < 3;
        stage++) {  // no stream; functions but neither flag; flags but no functions
      if (stage == 1) connect(0);
      if (stage == 2)
         *ctxt.stream = ASN1STREAM{
             nullptr, nullptr, nullptr, nullptr, 0, 0, ASN1STRM_READABLE | ASN1STRM_WRITABLE,
             nullptr};
      EXPECT_EQ(RTS_NOT_INITIALISED, rtStreamWrite(&ctxt, in, 1));
      EXPECT_EQ(RTS_NOT_INITIALISED, rtStreamRead(&ctxt, in, 1));
      EXPECT_EQ(RTS_NOT_INITIALISED, rtStreamClose(&ctxt));
      EXPECT_EQ(stage == 2 ? RTS_OK : RTS_NOT_INITIALISED, rtStreamFlush(&ctxt));
      if (stage == 0) { ASSERT_EQ(RTS_OK, rtStreamInit(&ctxt)); }
   }
   connect(ASN1STRM_READABLE | ASN1STRM_WRITABLE);
   EXPECT_EQ(5, rtStreamRead(&ctxt, in, 3) + rtStreamRead(&ctxt, in + 3, 10));
   EXPECT_EQ(RTS_OK, write("<a>") + rtStreamBufWrite(&ctxt, in, 1));
   EXPECT_EQ("<a>h", sink.written);
   EXPECT_EQ(9u, rtStreamGetIOBytes(&ctxt));  // read and written
   sink.failFlush = RTS_BAD_VALUE;
   EXPECT_EQ(RTS_BAD_VALUE, rtStreamClose(&ctxt));
   EXPECT_EQ(RTS_OK, rtStreamInit(&ctxt));  // replaces the record
   connect(ASN1STRM_READABLE);
   EXPECT_EQ(RTS_OK, rtStreamClose(&ctxt));  // a readable stream is not flushed
   EXPECT_EQ("wwfcc", sink.calls);
   EXPECT_EQ(RTS_OK, rtStreamRelease(&ctxt) + rtStreamRelease(&ctxt));
   EXPECT_EQ(0u, liveBlocks());
   ASN1CTXT blank{};
   EXPECT_EQ(RTS_NOT_INITIALISED, rtStreamBufInit(&blank));
}

}
