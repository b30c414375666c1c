// Output path: rtWriteBytes into caller's and dynamic buffers, and streams
// with a memory sink, buffered and unbuffered: collection, flush, close,
// read, the I/O count, failing sinks and the not-initialised cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "rtContext.h"
#include "rtMemHeap.h"
#include "rtStream.h"

namespace {

/* A sink that keeps everything in memory and counts the calls it gets. */
struct MemorySink {
   std::string written;
   std::string input;
   size_t readPos = 0;
   int writes = 0;
   int flushes = 0;
   int closes = 0;
   int failWrite = 0; /* status the write function returns when non-zero */
   int failFlush = 0;
};

MemorySink* sinkOf(ASN1STREAM* pStream) { return static_cast<MemorySink*>(pStream->pUserData); }

int sinkWrite(ASN1STREAM* pStream, const ASN1OCTET* pdata, size_t nbytes) {
   MemorySink* sink = sinkOf(pStream);
   ++sink->writes;
   if (sink->failWrite != 0) return sink->failWrite;
   sink->written.append(reinterpret_cast<const char*>(pdata), nbytes);
   return 0;
}

long sinkRead(ASN1STREAM* pStream, ASN1OCTET* pbuffer, size_t nbytes) {
   MemorySink* sink = sinkOf(pStream);
   size_t n = std::min(nbytes, sink->input.size() - sink->readPos);
   sink->input.copy(reinterpret_cast<char*>(pbuffer), n, sink->readPos);
   sink->readPos += n;
   return static_cast<long>(n);
}

int sinkFlush(ASN1STREAM* pStream) {
   ++sinkOf(pStream)->flushes;
   return sinkOf(pStream)->failFlush;
}

int sinkClose(ASN1STREAM* pStream) {
   ++sinkOf(pStream)->closes;
   return 0;
}

const ASN1OCTET* octets(const std::string& text) { return reinterpret_cast<const ASN1OCTET*>(text.data()); }

class Stream : public ::testing::Test {
protected:
   void SetUp() override { ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK); }
   void TearDown() override { rtFreeContext(&ctxt); }

   /* Connects the attached record to the memory sink with the given flags. */
   void connect(ASN1USINT flags) {
      ASN1STREAM* pStream = ctxt.stream;
      pStream->readFunc = sinkRead;
      pStream->writeFunc = sinkWrite;
      pStream->flushFunc = sinkFlush;
      pStream->closeFunc = sinkClose;
      pStream->pUserData = &sink;
      pStream->flags |= flags;
   }

   std::string collected() const {
      return std::string(reinterpret_cast<const char*>(ctxt.buffer.data), ctxt.buffer.byteIndex);
   }

   ASN1CTXT ctxt;
   MemorySink sink;
};

TEST_F(Stream, WriteBytesFillsCallersBufferThenReportsFull) {
   ASN1OCTET data[5] = {};
   ASSERT_EQ(rtInitContextBuffer(&ctxt, data, sizeof data), RTS_OK);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets("abc"), 3), RTS_OK);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets("de"), 2), RTS_OK);
   EXPECT_EQ(ctxt.buffer.byteIndex, 5u);
   EXPECT_EQ(std::string(reinterpret_cast<char*>(data), 5), "abcde");
   EXPECT_EQ(ctxt.errInfo.status, 0);

   EXPECT_EQ(rtWriteBytes(&ctxt, octets("f"), 1), RTS_BUFFER_FULL);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BUFFER_FULL);
   EXPECT_EQ(ctxt.buffer.byteIndex, 5u);
   EXPECT_EQ(ctxt.buffer.data, data);
}

TEST_F(Stream, WriteBytesGrowsDynamicBuffer) {
   ASSERT_EQ(rtInitContextBuffer(&ctxt, nullptr, 8), RTS_OK);
   const std::string first = "0123456", second(40, 'x');
   EXPECT_EQ(rtWriteBytes(&ctxt, octets(first), first.size()), RTS_OK);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets(second), second.size()), RTS_OK);
   EXPECT_EQ(collected(), first + second);
   EXPECT_GE(ctxt.buffer.size, 47u);
   EXPECT_EQ(ctxt.errInfo.status, 0);
}

TEST_F(Stream, WriteBytesOfNothingDoesNothing) {
   ASN1OCTET data[1] = {};
   ASSERT_EQ(rtInitContextBuffer(&ctxt, data, 0), RTS_OK);
   EXPECT_EQ(rtWriteBytes(&ctxt, nullptr, 0), RTS_OK);
   EXPECT_EQ(ctxt.buffer.byteIndex, 0u);
   EXPECT_EQ(rtWriteBytes(&ctxt, nullptr, 1), RTS_BAD_ARGUMENT);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_ARGUMENT);
}

TEST_F(Stream, UnbufferedStreamWritesStraightThrough) {
   ASSERT_EQ(rtStreamInit(&ctxt), RTS_OK);
   ASSERT_NE(ctxt.stream, nullptr);
   EXPECT_EQ(ctxt.stream->flags, 0u);
   EXPECT_EQ(ctxt.stream->bufsize, 0u);
   connect(ASN1STRM_WRITABLE);

   EXPECT_EQ(rtWriteBytes(&ctxt, octets("<a>"), 3), RTS_OK);
   EXPECT_EQ(rtStreamBufWrite(&ctxt, octets("x"), 1), RTS_OK);
   EXPECT_EQ(rtStreamWrite(&ctxt, octets("</a>"), 4), RTS_OK);
   EXPECT_EQ(sink.written, "<a>x</a>");
   EXPECT_EQ(sink.writes, 3);
   EXPECT_EQ(rtStreamGetIOBytes(&ctxt), 8u);
   EXPECT_EQ(ctxt.buffer.data, nullptr);
}

TEST_F(Stream, BufferedStreamCollectsUntilTheBufferIsFull) {
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   EXPECT_EQ(ctxt.stream->bufsize, 1024u);
   EXPECT_EQ(ctxt.stream->flags, ASN1STRM_BUFFERED);
   EXPECT_EQ(ctxt.buffer.size, 1024u);
   EXPECT_EQ(ctxt.buffer.dynamic, 1);
   connect(ASN1STRM_WRITABLE);

   const std::string a(1000, 'a'), b(24, 'b'), c(1, 'c');
   EXPECT_EQ(rtWriteBytes(&ctxt, octets(a), a.size()), RTS_OK);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets(b), b.size()), RTS_OK);  // exactly fills it
   EXPECT_EQ(sink.writes, 0);
   EXPECT_EQ(ctxt.buffer.byteIndex, 1024u);

   EXPECT_EQ(rtWriteBytes(&ctxt, octets(c), c.size()), RTS_OK);  // no room: out go 1024
   EXPECT_EQ(sink.writes, 1);
   EXPECT_EQ(sink.written, a + b);
   EXPECT_EQ(collected(), c);
   EXPECT_EQ(rtStreamGetIOBytes(&ctxt), 1024u);
}

TEST_F(Stream, BufferedStreamPassesLargeDataThrough) {
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   connect(ASN1STRM_WRITABLE);
   const std::string head = "head", big(1024, 'z'), bigger(3000, 'y'), tail = "tail";

   EXPECT_EQ(rtStreamBufWrite(&ctxt, octets(head), head.size()), RTS_OK);
   EXPECT_EQ(rtStreamBufWrite(&ctxt, octets(big), big.size()), RTS_OK);
   EXPECT_EQ(sink.writes, 2);  // the collected head first, then the data itself
   EXPECT_EQ(ctxt.buffer.byteIndex, 0u);

   EXPECT_EQ(rtStreamBufWrite(&ctxt, octets(bigger), bigger.size()), RTS_OK);
   EXPECT_EQ(sink.writes, 3);  // nothing collected, so one write
   EXPECT_EQ(rtStreamBufWrite(&ctxt, octets(tail), tail.size()), RTS_OK);
   EXPECT_EQ(sink.written, head + big + bigger);
   EXPECT_EQ(collected(), tail);
   EXPECT_EQ(rtStreamGetIOBytes(&ctxt), head.size() + big.size() + bigger.size());
}

TEST_F(Stream, BufFlushWritesCollectedOctetsThenFlushesSink) {
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   connect(ASN1STRM_WRITABLE);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets("<doc/>"), 6), RTS_OK);
   EXPECT_EQ(sink.written, "");

   EXPECT_EQ(rtStreamBufFlush(&ctxt), RTS_OK);
   EXPECT_EQ(sink.written, "<doc/>");
   EXPECT_EQ(sink.flushes, 1);
   EXPECT_EQ(ctxt.buffer.byteIndex, 0u);

   EXPECT_EQ(rtStreamBufFlush(&ctxt), RTS_OK);  // nothing collected: no write
   EXPECT_EQ(sink.writes, 1);
   EXPECT_EQ(sink.flushes, 2);
   EXPECT_EQ(rtStreamGetIOBytes(&ctxt), 6u);
}

TEST_F(Stream, FlushWithoutFlushFunctionSucceeds) {
   ASSERT_EQ(rtStreamInit(&ctxt), RTS_OK);
   connect(ASN1STRM_WRITABLE);
   ctxt.stream->flushFunc = nullptr;
   EXPECT_EQ(rtStreamFlush(&ctxt), RTS_OK);
   EXPECT_EQ(rtStreamBufFlush(&ctxt), RTS_OK);
   EXPECT_EQ(ctxt.errInfo.status, 0);
}

TEST_F(Stream, BufCloseWritesCollectedOctetsFlushesAndCloses) {
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   connect(ASN1STRM_WRITABLE);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets("last"), 4), RTS_OK);

   EXPECT_EQ(rtStreamBufClose(&ctxt), RTS_OK);
   EXPECT_EQ(sink.written, "last");
   EXPECT_EQ(sink.flushes, 1);
   EXPECT_EQ(sink.closes, 1);
   EXPECT_EQ(ctxt.stream->flags, 0u);

   EXPECT_EQ(rtStreamWrite(&ctxt, octets("more"), 4), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamClose(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(sink.closes, 1);
}

TEST_F(Stream, CloseOfReadableStreamDoesNotFlush) {
   ASSERT_EQ(rtStreamInit(&ctxt), RTS_OK);
   connect(ASN1STRM_READABLE);
   EXPECT_EQ(rtStreamClose(&ctxt), RTS_OK);
   EXPECT_EQ(sink.flushes, 0);
   EXPECT_EQ(sink.closes, 1);
   EXPECT_EQ(ctxt.stream->flags, 0u);
}

TEST_F(Stream, ReadCountsOctetsMoved) {
   ASSERT_EQ(rtStreamInit(&ctxt), RTS_OK);
   connect(ASN1STRM_READABLE | ASN1STRM_WRITABLE);
   sink.input = "hello";
   ASN1OCTET in[10] = {};
   EXPECT_EQ(rtStreamRead(&ctxt, in, 3), 3);
   EXPECT_EQ(std::string(reinterpret_cast<char*>(in), 3), "hel");
   EXPECT_EQ(rtStreamRead(&ctxt, in, sizeof in), 2);
   EXPECT_EQ(std::string(reinterpret_cast<char*>(in), 2), "lo");
   EXPECT_EQ(rtStreamRead(&ctxt, in, sizeof in), 0);
   EXPECT_EQ(rtStreamWrite(&ctxt, octets("abc"), 3), RTS_OK);
   EXPECT_EQ(rtStreamGetIOBytes(&ctxt), 8u);
}

TEST_F(Stream, FailingSinkStatusIsReturnedAndRecorded) {
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   connect(ASN1STRM_WRITABLE);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets("kept"), 4), RTS_OK);
   sink.failWrite = RTS_NO_MEMORY;

   EXPECT_EQ(rtStreamBufFlush(&ctxt), RTS_NO_MEMORY);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NO_MEMORY);
   EXPECT_EQ(collected(), "kept");  // still collected: nothing was lost
   EXPECT_EQ(sink.flushes, 0);
   EXPECT_EQ(rtStreamGetIOBytes(&ctxt), 0u);

   /* Closing still closes the sink and returns the first failure. */
   EXPECT_EQ(rtStreamBufClose(&ctxt), RTS_NO_MEMORY);
   EXPECT_EQ(sink.closes, 1);
   EXPECT_EQ(ctxt.stream->flags, 0u);
}

TEST_F(Stream, FailingFlushIsReturnedByClose) {
   ASSERT_EQ(rtStreamInit(&ctxt), RTS_OK);
   connect(ASN1STRM_WRITABLE);
   sink.failFlush = RTS_BAD_VALUE;
   EXPECT_EQ(rtStreamFlush(&ctxt), RTS_BAD_VALUE);
   EXPECT_EQ(rtStreamClose(&ctxt), RTS_BAD_VALUE);
   EXPECT_EQ(sink.flushes, 2);
   EXPECT_EQ(sink.closes, 1);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_VALUE);
}

TEST_F(Stream, OperationsWithoutAnOpenStreamAreRefused) {
   ASN1OCTET in[4];
   /* No stream attached at all. */
   EXPECT_EQ(rtStreamWrite(&ctxt, octets("a"), 1), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamRead(&ctxt, in, 1), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamFlush(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamBufWrite(&ctxt, octets("a"), 1), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamBufFlush(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamClose(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamBufClose(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamGetIOBytes(&ctxt), 0u);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NOT_INITIALISED);

   /* Attached, with functions, but neither readable nor writable. */
   ASSERT_EQ(rtStreamInit(&ctxt), RTS_OK);
   connect(0);
   EXPECT_EQ(rtStreamWrite(&ctxt, octets("a"), 1), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamRead(&ctxt, in, 1), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamFlush(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamClose(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamBufFlush(&ctxt), RTS_BAD_ARGUMENT);
   EXPECT_EQ(sink.writes + sink.flushes + sink.closes, 0);

   /* Readable and writable, but without the functions to do either. */
   ctxt.stream->flags = ASN1STRM_READABLE | ASN1STRM_WRITABLE;
   ctxt.stream->writeFunc = nullptr;
   ctxt.stream->readFunc = nullptr;
   ctxt.stream->closeFunc = nullptr;
   EXPECT_EQ(rtStreamWrite(&ctxt, octets("a"), 1), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamRead(&ctxt, in, 1), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamClose(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(sink.flushes, 0);  // refused before flushing
   EXPECT_EQ(rtStreamGetIOBytes(&ctxt), 0u);
}

TEST_F(Stream, BufferedStreamWithoutWriteFunctionCannotFlush) {
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets("abc"), 3), RTS_OK);  // collected only
   EXPECT_EQ(rtStreamBufFlush(&ctxt), RTS_NOT_INITIALISED);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NOT_INITIALISED);
   EXPECT_EQ(collected(), "abc");
}

TEST_F(Stream, InitOnUninitialisedContextIsRefused) {
   ASN1CTXT blank{};
   EXPECT_EQ(rtStreamInit(&blank), RTS_NOT_INITIALISED);
   EXPECT_EQ(rtStreamBufInit(&blank), RTS_NOT_INITIALISED);
   EXPECT_EQ(blank.stream, nullptr);
   EXPECT_EQ(blank.buffer.data, nullptr);
}

TEST_F(Stream, RecordLivesInTheMessageHeapUntilReleased) {
   auto heapEmpty = [this] { return static_cast<ASN1MemHeap*>(ctxt.msgMemHeap)->head == nullptr; };
   ASSERT_EQ(rtStreamInit(&ctxt), RTS_OK);
   EXPECT_FALSE(heapEmpty());
   ASN1STREAM* first = ctxt.stream;
   EXPECT_EQ(rtMemHeapBlockSize(first), sizeof(ASN1STREAM));

   ASSERT_EQ(rtStreamInit(&ctxt), RTS_OK);  // replaces the first record
   ASSERT_NE(ctxt.stream, nullptr);
   EXPECT_EQ(rtStreamRelease(&ctxt), RTS_OK);
   EXPECT_EQ(ctxt.stream, nullptr);
   EXPECT_TRUE(heapEmpty());
   EXPECT_EQ(rtStreamRelease(&ctxt), RTS_OK);  // nothing attached: no effect
}

TEST_F(Stream, FreeContextReleasesAttachedStream) {
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   connect(ASN1STRM_WRITABLE);
   EXPECT_EQ(rtWriteBytes(&ctxt, octets("unflushed"), 9), RTS_OK);
   rtFreeContext(&ctxt);
   EXPECT_EQ(ctxt.stream, nullptr);
   EXPECT_EQ(sink.writes, 0);  // releasing does not write
}

}
