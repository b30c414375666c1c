// OCTET STRING and BIT STRING text converted piece by piece as character-data
// events arrive, then copied out into dynamic and fixed-size values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rtContext.h"
#include "rtMemHeap.h"
#include "xerDecode.h"

namespace {

using Bytes = std::vector<unsigned>;

class XerDecChunkedTest : public ::testing::Test {
 protected:
   void SetUp() override {
      ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
      rtMemBufInit(&ctxt, &accumulated, 1024);
   }
   void TearDown() override { rtFreeContext(&ctxt); }

   int feedHex(const std::string& piece, ASN1BOOL skip = 1) {
      return xerDecOctStrMemBuf(&accumulated, piece.data(), static_cast<int>(piece.size()), skip);
   }
   int feedBits(const std::string& piece, ASN1BOOL skip = 1) {
      return xerDecBitStrMemBuf(&accumulated, piece.data(), static_cast<int>(piece.size()), skip);
   }

   // Hands the accumulated octets to the context as the handler does when
   // the element closes.
   void finishElement() {
      ASSERT_EQ(rtMemBufPreAllocate(&accumulated, 1), RTS_OK);
      int len = 0;
      ASN1OCTET* data = rtMemBufGetData(&accumulated, &len);
      ASSERT_EQ(rtInitContextBuffer(&ctxt, data, static_cast<ASN1UINT>(len)), RTS_OK);
      ASSERT_EQ(rtMemBufSet(&accumulated, 0, 1), RTS_OK);
   }

   static Bytes bytes(const ASN1OCTET* data, ASN1UINT count) {
      return Bytes(data, data + count);
   }

   ASN1CTXT ctxt;
   ASN1MemBuf accumulated;
};

// ---- octet strings -----------------------------------------------------------

struct HexCase {
   std::vector<std::string> pieces;
   Bytes octets;
};

TEST_F(XerDecChunkedTest, HexPiecesJoinIntoOctets) {
   const std::vector<HexCase> cases = {
      {{"0a", " ", "1B"}, {0x0A, 0x1B}},
      {{"ABC"}, {0x0A, 0xBC}},
      {{"A", "B", "C"}, {0x0A, 0xBC}},
      {{"a", "bc", "d"}, {0xAB, 0xCD}},
      {{"0", "a1", "b"}, {0x0A, 0x1B}},
      {{" 0 a\n", "1\tb\r\n"}, {0x0A, 0x1B}},
      {{"fF", "00", "7"}, {0x0F, 0xF0, 0x07}},
      {{""}, {}},
      {{"  \n "}, {}},
   };
   for (const HexCase& c : cases) {
      SCOPED_TRACE(testing::PrintToString(c.pieces));
      rtMemBufReset(&accumulated);
      for (const std::string& piece : c.pieces) ASSERT_EQ(feedHex(piece), RTS_OK);
      int bitOffset = static_cast<int>(accumulated.bitOffset);
      finishElement();
      ASN1TDynOctStr value{99, nullptr};
      ASSERT_EQ(xerDecCopyDynOctStr(&ctxt, &value, bitOffset), RTS_OK);
      EXPECT_EQ(bytes(value.data, value.numocts), c.octets);
   }
}

TEST_F(XerDecChunkedTest, HexBitOffsetTracksTheOpenNibble) {
   ASSERT_EQ(feedHex("A"), RTS_OK);
   EXPECT_EQ(accumulated.usedcnt, 1u);
   EXPECT_EQ(accumulated.bitOffset, 4u);
   EXPECT_EQ(accumulated.buffer[0], 0xA0);
   ASSERT_EQ(feedHex("B"), RTS_OK);
   EXPECT_EQ(accumulated.usedcnt, 1u);
   EXPECT_EQ(accumulated.bitOffset, 0u);
   EXPECT_EQ(accumulated.buffer[0], 0xAB);
   ASSERT_EQ(feedHex("cde"), RTS_OK);
   EXPECT_EQ(accumulated.usedcnt, 3u);
   EXPECT_EQ(accumulated.bitOffset, 4u);
   EXPECT_EQ(bytes(accumulated.buffer, 3), (Bytes{0xAB, 0xCD, 0xE0}));
}

TEST_F(XerDecChunkedTest, BadHexTextAppendsNothing) {
   ASSERT_EQ(feedHex("ab"), RTS_OK);
   EXPECT_EQ(feedHex("cG"), RTS_BAD_HEX_TEXT);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_HEX_TEXT);
   EXPECT_EQ(accumulated.usedcnt, 1u);
   EXPECT_EQ(accumulated.bitOffset, 0u);

   rtErrReset(&ctxt.errInfo);
   EXPECT_EQ(feedHex("AG"), RTS_BAD_HEX_TEXT);
   EXPECT_EQ(feedHex("0a 1b", 0), RTS_BAD_HEX_TEXT);
   EXPECT_EQ(feedHex("-1"), RTS_BAD_HEX_TEXT);
   EXPECT_EQ(accumulated.usedcnt, 1u);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_HEX_TEXT);
}

TEST_F(XerDecChunkedTest, LongHexTextInOddPiecesCrossesSegments) {
   std::string hex;
   Bytes expected;
   for (int i = 0; i < 3000; ++i) {
      static const char digits[] = "0123456789abcdef";
      hex += digits[(i * 7) % 16];
      hex += digits[(i * 5 + 3) % 16];
      expected.push_back(static_cast<unsigned>(((i * 7) % 16) * 16 + (i * 5 + 3) % 16));
   }
   for (size_t pos = 0; pos < hex.size(); pos += 7) ASSERT_EQ(feedHex(hex.substr(pos, 7)), RTS_OK);
   EXPECT_EQ(accumulated.usedcnt, 3000u);
   EXPECT_EQ(accumulated.bufsize, 3072u);
   int bitOffset = static_cast<int>(accumulated.bitOffset);
   finishElement();
   ASN1TDynOctStr value{0, nullptr};
   ASSERT_EQ(xerDecCopyDynOctStr(&ctxt, &value, bitOffset), RTS_OK);
   EXPECT_EQ(bytes(value.data, value.numocts), expected);
}

TEST_F(XerDecChunkedTest, FixedSizeOctetCopy) {
   ASSERT_EQ(feedHex("ABC"), RTS_OK);
   int bitOffset = static_cast<int>(accumulated.bitOffset);
   finishElement();
   ASN1OCTET fixed[4] = {0xEE, 0xEE, 0xEE, 0xEE};
   ASN1UINT count = 99;
   ASSERT_EQ(xerDecCopyOctStr(&ctxt, fixed, &count, 2, bitOffset), RTS_OK);
   EXPECT_EQ(count, 2u);
   EXPECT_EQ(bytes(fixed, 4), (Bytes{0x0A, 0xBC, 0xEE, 0xEE}));

   rtMemBufReset(&accumulated);
   ASSERT_EQ(feedHex("010203"), RTS_OK);
   finishElement();
   count = 99;
   EXPECT_EQ(xerDecCopyOctStr(&ctxt, fixed, &count, 2, 0), RTS_VALUE_TOO_LONG);
   EXPECT_EQ(ctxt.errInfo.status, RTS_VALUE_TOO_LONG);
   EXPECT_EQ(count, 99u);
   ASSERT_EQ(xerDecCopyOctStr(&ctxt, fixed, &count, 3, 0), RTS_OK);
   EXPECT_EQ(count, 3u);
   EXPECT_EQ(bytes(fixed, 4), (Bytes{0x01, 0x02, 0x03, 0xEE}));
}

// ---- bit strings ---------------------------------------------------------------

struct BitCase {
   std::vector<std::string> pieces;
   Bytes octets;
   ASN1UINT numbits;
};

TEST_F(XerDecChunkedTest, BinaryPiecesJoinIntoBits) {
   const std::vector<BitCase> cases = {
      {{"101"}, {0xA0}, 3},
      {{"11111111", "1"}, {0xFF, 0x80}, 9},
      {{"1", "1"}, {0xC0}, 2},
      {{"1", "0", "1", "1", "0", "0", "1", "1", "1"}, {0xB3, 0x80}, 9},
      {{"10000001"}, {0x81}, 8},
      {{"1 0\n", "1\t"}, {0xA0}, 3},
      {{"0000", "0000", "0000", "0001"}, {0x00, 0x01}, 16},
      {{""}, {}, 0},
   };
   for (const BitCase& c : cases) {
      SCOPED_TRACE(testing::PrintToString(c.pieces));
      rtMemBufReset(&accumulated);
      for (const std::string& piece : c.pieces) ASSERT_EQ(feedBits(piece), RTS_OK);
      int bitOffset = static_cast<int>(accumulated.bitOffset);
      finishElement();
      ASN1TDynBitStr value{99, nullptr};
      ASSERT_EQ(xerDecCopyDynBitStr(&ctxt, &value, bitOffset), RTS_OK);
      EXPECT_EQ(value.numbits, c.numbits);
      EXPECT_EQ(bytes(value.data, (value.numbits + 7) / 8), c.octets);
   }
}

TEST_F(XerDecChunkedTest, BadBitTextAppendsNothing) {
   ASSERT_EQ(feedBits("101"), RTS_OK);
   EXPECT_EQ(feedBits("102"), RTS_BAD_BIT_TEXT);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_BIT_TEXT);
   EXPECT_EQ(feedBits("1 1", 0), RTS_BAD_BIT_TEXT);
   EXPECT_EQ(feedBits("A"), RTS_BAD_BIT_TEXT);
   EXPECT_EQ(accumulated.usedcnt, 1u);
   EXPECT_EQ(accumulated.bitOffset, 3u);
   EXPECT_EQ(accumulated.buffer[0], 0xA0);
}

TEST_F(XerDecChunkedTest, FixedSizeBitCopy) {
   ASSERT_EQ(feedBits("1111000011"), RTS_OK);
   int bitOffset = static_cast<int>(accumulated.bitOffset);
   EXPECT_EQ(bitOffset, 2);
   finishElement();
   ASN1OCTET fixed[3] = {0xEE, 0xEE, 0xEE};
   ASN1UINT nbits = 99;
   EXPECT_EQ(xerDecCopyBitStr(&ctxt, fixed, &nbits, 1, bitOffset), RTS_VALUE_TOO_LONG);
   EXPECT_EQ(ctxt.errInfo.status, RTS_VALUE_TOO_LONG);
   EXPECT_EQ(nbits, 99u);
   ASSERT_EQ(xerDecCopyBitStr(&ctxt, fixed, &nbits, 2, bitOffset), RTS_OK);
   EXPECT_EQ(nbits, 10u);
   EXPECT_EQ(bytes(fixed, 3), (Bytes{0xF0, 0xC0, 0xEE}));

   rtMemBufReset(&accumulated);
   finishElement();
   ASSERT_EQ(xerDecCopyBitStr(&ctxt, fixed, &nbits, 0, 0), RTS_OK);
   EXPECT_EQ(nbits, 0u);
}

}
