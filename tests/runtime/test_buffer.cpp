// Output-buffer growth: room at the position, growth of a dynamic buffer by
// max(n, 16384), a full caller's buffer, a failed growth, flushing an
// attached stream; and the bit length of an octet.
#include <string>

#include "heap_probe.h"
#include "rtBuffer.h"
#include "rtStream.h"

namespace {

class CheckBufferTest : public HeapProbeTest {};

TEST_F(CheckBufferTest, DynamicBufferGrowsByAtLeast16384AndDoubles) {
   ASSERT_EQ(rtInitContextBuffer(&ctxt, nullptr, 100), RTS_OK);
   for (int i = 0; i < 100; i++) ctxt.buffer.data[i] = static_cast<ASN1OCTET>(i);
   ctxt.buffer.byteIndex = 90;
   const ASN1OCTET* before = ctxt.buffer.data;
   EXPECT_EQ(rtCheckBuffer(&ctxt, 10), RTS_OK);  // exactly fits: no growth
   EXPECT_EQ(ctxt.buffer.data, before);
   EXPECT_EQ(ctxt.buffer.size, 100u);

   EXPECT_EQ(rtCheckBuffer(&ctxt, 11), RTS_OK);
   EXPECT_EQ(ctxt.buffer.size, 100u + 16384u);
   EXPECT_EQ(rtMemHeapBlockSize(ctxt.buffer.data), 100u + 16384u);
   EXPECT_EQ(ctxt.buffer.byteIndex, 90u);
   EXPECT_EQ(ctxt.buffer.data[0], 0);
   EXPECT_EQ(ctxt.buffer.data[99], 99);

   ctxt.buffer.byteIndex = ctxt.buffer.size;
   EXPECT_EQ(rtCheckBuffer(&ctxt, 20000), RTS_OK);
   EXPECT_EQ(ctxt.buffer.size, 100u + 16384u + 20000u);
   EXPECT_EQ(ctxt.buffer.data[99], 99);

   // Past 16384 octets the buffer doubles: a long document is copied a
   // bounded number of times.
   ctxt.buffer.byteIndex = ctxt.buffer.size;
   EXPECT_EQ(rtCheckBuffer(&ctxt, 1), RTS_OK);
   EXPECT_EQ(ctxt.buffer.size, 2u * (100u + 16384u + 20000u));
   EXPECT_EQ(ctxt.buffer.data[99], 99);
   EXPECT_EQ(liveBlocks(), 1u);  // the old blocks were given back
   EXPECT_EQ(ctxt.errInfo.status, 0);
}

TEST_F(CheckBufferTest, CallersBufferThatIsFullIsRecorded) {
   ASN1OCTET mine[8] = {};
   ASSERT_EQ(rtInitContextBuffer(&ctxt, mine, sizeof(mine)), RTS_OK);
   ctxt.buffer.byteIndex = 6;
   EXPECT_EQ(rtCheckBuffer(&ctxt, 2), RTS_OK);
   EXPECT_EQ(ctxt.errInfo.status, 0);
   EXPECT_EQ(rtCheckBuffer(&ctxt, 3), RTS_BUFFER_FULL);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BUFFER_FULL);
   EXPECT_EQ(ctxt.buffer.data, mine);
   EXPECT_EQ(ctxt.buffer.size, 8u);
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(CheckBufferTest, FailedGrowthDropsTheBuffer) {
   ASSERT_EQ(rtInitContextBuffer(&ctxt, nullptr, 16), RTS_OK);
   ctxt.buffer.byteIndex = 16;
   failAfter(0);
   EXPECT_EQ(rtCheckBuffer(&ctxt, 1), RTS_NO_MEMORY);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NO_MEMORY);
   EXPECT_EQ(ctxt.buffer.data, nullptr);
   EXPECT_EQ(ctxt.buffer.size, 0u);
   EXPECT_EQ(liveBlocks(), 0u);
   failAfter(-1);
   EXPECT_EQ(rtCheckBuffer(&ctxt, 1), RTS_NO_MEMORY);  // and stays unusable
   EXPECT_EQ(liveBlocks(), 0u);
}

// A sink that keeps what is written to it, or refuses it.
struct Sink {
   std::string written;
   int flushes = 0;
   static int write(ASN1STREAM* stream, const ASN1OCTET* data, size_t n) {
      static_cast<Sink*>(stream->pUserData)->written.append(reinterpret_cast<const char*>(data), n);
      return 0;
   }
   static int flush(ASN1STREAM* stream) {
      static_cast<Sink*>(stream->pUserData)->flushes++;
      return 0;
   }
};

TEST_F(CheckBufferTest, AttachedStreamIsFlushedFirst) {
   Sink sink;
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);
   ctxt.stream->writeFunc = Sink::write;
   ctxt.stream->flushFunc = Sink::flush;
   ctxt.stream->flags |= ASN1STRM_WRITABLE;
   ctxt.stream->pUserData = &sink;
   ASSERT_EQ(ctxt.buffer.size, 1024u);
   ASSERT_EQ(rtStreamBufWrite(&ctxt, reinterpret_cast<const ASN1OCTET*>("<a>"), 3), RTS_OK);
   ctxt.buffer.byteIndex = 1000;  // as if 997 more octets had been collected

   EXPECT_EQ(rtCheckBuffer(&ctxt, 24), RTS_OK);  // fits: nothing flushed
   EXPECT_EQ(sink.written, "");
   EXPECT_EQ(rtCheckBuffer(&ctxt, 25), RTS_OK);
   EXPECT_EQ(sink.written.size(), 1000u);
   EXPECT_EQ(sink.written.substr(0, 3), "<a>");
   EXPECT_EQ(sink.flushes, 1);
   EXPECT_EQ(ctxt.buffer.byteIndex, 0u);
   EXPECT_EQ(ctxt.buffer.size, 1024u);
   EXPECT_EQ(ctxt.errInfo.status, 0);
}

TEST_F(CheckBufferTest, StreamThatCannotFlushStopsTheCheck) {
   ASSERT_EQ(rtStreamBufInit(&ctxt), RTS_OK);  // buffered, but no write function
   ctxt.buffer.byteIndex = 1024;
   EXPECT_EQ(rtCheckBuffer(&ctxt, 1), RTS_NOT_INITIALISED);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NOT_INITIALISED);
   EXPECT_EQ(ctxt.buffer.size, 1024u);
}

TEST(OctetBitLen, HighestSetBit) {
   const struct {
      ASN1OCTET octet;
      int bits;
   } cases[] = {{0x00, 0}, {0x01, 1}, {0x02, 2}, {0x03, 2}, {0x10, 5},
                {0x1F, 5}, {0x7F, 7}, {0x80, 8}, {0xFF, 8}};
   for (const auto& tc : cases) EXPECT_EQ(rtOctetBitLen(tc.octet), tc.bits) << int(tc.octet);
}

}
