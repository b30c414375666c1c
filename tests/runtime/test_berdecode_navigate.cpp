/* Searching for tags, skipping elements, end-of-contents handling and
   element counting. */
#include "berdecode_test_util.h"

using namespace berdecode_test;

namespace {

/* SEQUENCE { [0] { INTEGER 7 }, OCTET STRING AA BB, [1] FF }
   offsets:  0 30, 2 A0, 4 02, 7 04, 11 81, end 14 */
const char kSequence[] = "30 0C A0 03 02 01 07 04 02 AA BB 81 01 FF";

TEST(BerDecodeMatch, SearchModes) {
   struct Case {
      const char* name;
      ASN1UINT startPos;
      ASN1TAG tag;
      ASN1OCTET mode;
      int status;
      int length;
      ASN1UINT endPos;
   } cases[] = {
      {"peek matches next header", 0, 0x20000010, 0, RTS_OK, 12, 0},
      {"constructed bit ignored, advance", 0, 0x00000010, XD_MODE_ADVANCE, RTS_OK, 12, 2},
      {"peek mismatch restores", 0, 0x04, 0, RTS_NOT_FOUND, 0, 0},
      {"seek enters constructed", 0, 0x04, XD_MODE_SEEK, RTS_OK, 2, 7},
      {"seek finds nested integer", 0, 0x02, XD_MODE_SEEK, RTS_OK, 1, 4},
      {"seek and advance", 0, 0x80000001, XD_MODE_SEEK | XD_MODE_ADVANCE, RTS_OK, 1, 13},
      {"seek runs out of data", 0, 0x05, XD_MODE_SEEK, RTS_NOT_FOUND, 0, 0},
      {"skip enters the outer element", 0, 0xA0000000, XD_MODE_SKIP | XD_MODE_SEEK, RTS_OK, 3,
       2},
      {"skip steps over a primitive", 7, 0x80000001, XD_MODE_SKIP | XD_MODE_SEEK, RTS_OK, 1, 11},
      {"skipped element is not found, position after it", 7, 0x04, XD_MODE_SKIP | XD_MODE_SEEK,
       RTS_NOT_FOUND, 0, 11},
      {"skip at the end of the buffer", 14, 0x04, XD_MODE_SKIP | XD_MODE_SEEK, RTS_NOT_FOUND, 0,
       14},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(kSequence));
      ctxt.setPos(c.startPos);
      int length = -1;
      EXPECT_EQ(c.status, xd_match(ctxt.get(), c.tag, &length, c.mode));
      /* Running out of data is reported as the mismatch it is. */
      EXPECT_EQ(c.status, ctxt.errorStatus());
      if (c.status == RTS_OK) { EXPECT_EQ(c.length, length); }
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeMatch, OtherHeaderErrorsPassThrough) {
   DecodeContext ctxt(hex("30 04 04 80 00 00"));
   EXPECT_EQ(RTS_BAD_LENGTH, xd_match(ctxt.get(), 0x05, nullptr, XD_MODE_SEEK));
}

TEST(BerDecodeMatch, SearchThroughIndefiniteLengths) {
   DecodeContext ctxt(hex("30 80 A1 80 04 01 AA 00 00 06 01 2A 00 00"));
   int length = 0;
   ASSERT_EQ(RTS_OK, xd_match(ctxt.get(), 0x06, &length, XD_MODE_SEEK));
   EXPECT_EQ(9u, ctxt.pos());
   EXPECT_EQ(1, length);
}

TEST(BerDecodeNextElement, SkipsDefiniteAndIndefiniteElements) {
   struct Case {
      const char* octets;
      int status;
      ASN1UINT endPos;
   } cases[] = {
      {"02 01 05 04 00", RTS_OK, 3},
      {"30 03 02 01 05 FF", RTS_OK, 5},
      {"30 80 02 01 05 00 00 04 00", RTS_OK, 7},
      {"30 80 30 80 00 00 00 00 05 00", RTS_OK, 8},
      {"30 80 24 80 04 01 41 00 00 02 01 05 00 00", RTS_OK, 14},
      {"30 80 02 01 05", RTS_END_OF_DATA, 5},
      {"", RTS_END_OF_DATA, 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      EXPECT_EQ(c.status, xd_NextElement(ctxt.get()));
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeMovePastEOC, StopsAfterTheClosingEndOfContents) {
   /* From inside an indefinite level: an element, a nested level, then the
      end-of-contents that closes the current level. */
   DecodeContext ctxt(hex("02 01 05 30 80 00 00 00 00 FF"));
   ASSERT_EQ(RTS_OK, xd_MovePastEOC(ctxt.get()));
   EXPECT_EQ(9u, ctxt.pos());

   DecodeContext open(hex("02 01 05 30 80 00 00"));
   EXPECT_EQ(RTS_END_OF_DATA, xd_MovePastEOC(open.get()));
}

TEST(BerDecodeCount, CountsWithoutMoving) {
   struct Case {
      const char* name;
      const char* octets;
      ASN1UINT startPos;
      int length;
      int count;
   } cases[] = {
      {"definite SEQUENCE contents", "30 06 02 01 01 02 01 02", 2, 6, 2},
      {"definite, buffer ends first", "02 01 01 02 01 02", 0, 100, 2},
      {"definite, length ends first", "02 01 01 02 01 02", 0, 3, 1},
      {"empty", "30 00", 2, 0, 0},
      {"indefinite up to end-of-contents", "30 80 02 01 01 30 80 00 00 04 00 00 00 05 00", 2,
       INDEFINITE_LENGTH, 3},
      {"indefinite without end-of-contents", "02 01 01 04 00", 0, INDEFINITE_LENGTH, 2},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(c.octets));
      ctxt.setPos(c.startPos);
      const ASN1BUFFER before = ctxt->buffer;
      int count = -1;
      ASSERT_EQ(RTS_OK, xd_count(ctxt.get(), c.length, &count));
      EXPECT_EQ(c.count, count);
      EXPECT_EQ(before.byteIndex, ctxt->buffer.byteIndex);
      EXPECT_EQ(before.size, ctxt->buffer.size);
      EXPECT_EQ(before.data, ctxt->buffer.data);
   }
}

TEST(BerDecodeCount, SkipErrorIsReturned) {
   DecodeContext ctxt(hex("02 01 01 02 05 01"));
   int count = -1;
   EXPECT_EQ(RTS_BAD_LENGTH, xd_count(ctxt.get(), 6, &count));
   EXPECT_EQ(-1, count);
}

TEST(BerDecodeIndefLen, MeasuresIndefiniteElements) {
   struct Case {
      const char* name;
      const char* octets;
      int maxlen;
      int result;
   } cases[] = {
      {"flat", "30 80 02 01 05 00 00", 7, 7},
      {"trailing octets", "30 80 02 01 05 00 00 FF FF FF", 10, 7},
      {"nested levels", "30 80 24 80 04 01 41 00 00 00 00", 11, 11},
      {"limit below five", "30 80 00 00", 4, 0},
      {"definite outer length", "30 03 02 01 05", 5, RTS_BAD_LENGTH},
      {"missing end-of-contents", "30 80 02 01 05 00", 6, RTS_END_OF_DATA},
      {"limit cuts the element", "30 80 02 01 05 00 00", 6, RTS_END_OF_DATA},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      const Octets msg = hex(c.octets);
      EXPECT_EQ(c.result, xd_indeflen_ex(msg.data(), c.maxlen));
   }
}

}
