/* Identifier and length octets, the message start and header peeking. */
#include <climits>

#include "berdecode_test_util.h"

using namespace berdecode_test;

namespace {

struct TagCase {
   const char* octets;
   int status;
   ASN1TAG tag;
   ASN1UINT endPos;
};

TEST(BerDecodeTag, ShortAndLongTagNumbers) {
   const Octets nineNumberOctets = hex("1F") + repeat(0x80, 8) + hex("05");
   const TagCase cases[] = {
      {"02", RTS_OK, 0x00000002, 1},
      {"30", RTS_OK, 0x20000010, 1},
      {"A3", RTS_OK, 0xA0000003, 1},
      {"C1", RTS_OK, 0xC0000001, 1},
      {"9E", RTS_OK, 0x8000001E, 1},
      {"5F 1F", RTS_OK, 0x4000001F, 2},
      {"1F 81 00", RTS_OK, 0x00000080, 3},
      {"BF 81 FF FF FF 7F", RTS_OK, 0xBFFFFFFF, 6},
      {"1F 82 80 80 80 00", RTS_BAD_TAG, 0, 6},
      {"1F 81", RTS_BAD_TAG, 0, 2},
      {"", RTS_END_OF_DATA, 0, 0},
   };
   for (const TagCase& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ASN1TAG tag = 0;
      EXPECT_EQ(c.status, xd_tag(ctxt.get(), &tag));
      EXPECT_EQ(c.status, ctxt.errorStatus());
      if (c.status == RTS_OK) { EXPECT_EQ(c.tag, tag); }
      EXPECT_EQ(c.endPos, ctxt.pos());
   }

   DecodeContext nine(nineNumberOctets);
   ASN1TAG tag = 0;
   EXPECT_EQ(RTS_OK, xd_tag(nine.get(), &tag));
   EXPECT_EQ(5u, tag);
   EXPECT_EQ(10u, nine.pos());

   /* The tenth number octet is refused even when it ends the number. */
   DecodeContext ten(hex("1F") + repeat(0x80, 9) + hex("01 00"));
   EXPECT_EQ(RTS_BAD_TAG, xd_tag(ten.get(), &tag));
   EXPECT_EQ(11u, ten.pos());
   DecodeContext tenOpen(hex("1F") + repeat(0x80, 10));
   EXPECT_EQ(RTS_BAD_TAG, xd_tag(tenOpen.get(), &tag));
}

TEST(BerDecodeTag, ConstructedFlagFollowsIdentifier) {
   DecodeContext ctxt(hex("30 02"));
   ASN1TAG tag;
   ASSERT_EQ(RTS_OK, xd_tag(ctxt.get(), &tag));
   EXPECT_TRUE(ctxt.hasFlag(CTXTF_CONSTRUCTED));
   ASSERT_EQ(RTS_OK, xd_tag(ctxt.get(), &tag));
   EXPECT_FALSE(ctxt.hasFlag(CTXTF_CONSTRUCTED));
}

struct LengthCase {
   const char* name;
   Octets octets;
   int status;
   int length;
   ASN1UINT endPos;
};

TEST(BerDecodeLength, ShortLongAndIndefiniteForms) {
   const LengthCase cases[] = {
      {"zero", hex("00"), RTS_OK, 0, 1},
      {"short", hex("05") + repeat(0xAA, 5), RTS_OK, 5, 1},
      {"short beyond data", hex("05 01"), RTS_BAD_LENGTH, 0, 1},
      {"long one octet", hex("81 80") + repeat(0, 128), RTS_OK, 128, 2},
      {"long non-minimal", hex("84 00 00 01 00") + repeat(0, 256), RTS_OK, 256, 5},
      {"long four octets beyond data", hex("84 00 00 01 00") + repeat(0, 255), RTS_BAD_LENGTH, 0,
       5},
      {"five length octets", hex("85 00 00 00 00 01 00"), RTS_BAD_LENGTH, 0, 1},
      {"reserved FF", hex("FF"), RTS_BAD_LENGTH, 0, 1},
      {"above INT_MAX", hex("84 80 00 00 00"), RTS_BAD_LENGTH, 0, 5},
      {"indefinite", hex("80"), RTS_OK, INDEFINITE_LENGTH, 1},
      {"length octets past end", hex("82 01"), RTS_END_OF_DATA, 0, 1},
      {"nothing", hex(""), RTS_END_OF_DATA, 0, 0},
   };
   for (const LengthCase& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(c.octets);
      int length = -1;
      EXPECT_EQ(c.status, xd_len(ctxt.get(), &length));
      if (c.status == RTS_OK) { EXPECT_EQ(c.length, length); }
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeLength, FlagsRelaxTheEndChecks) {
   int length = 0;
   DecodeContext lax(hex("05 01"));
   lax.setFlags(CTXTF_LAX_LENGTH);
   EXPECT_EQ(RTS_OK, xd_len(lax.get(), &length));
   EXPECT_EQ(5, length);

   /* Under an indefinite outer length the missing length octets leave no
      room for any length. */
   DecodeContext outer(hex("82 01"));
   outer.setFlags(CTXTF_OUTER_INDEFINITE);
   EXPECT_EQ(RTS_BAD_LENGTH, xd_len(outer.get(), &length));
}

TEST(BerDecodeTagLen, PeekRestoresAndAdvanceMoves) {
   DecodeContext ctxt(hex("30 03 02 01 05"));
   ASN1TAG tag = 0;
   int length = 0;
   ASSERT_EQ(RTS_OK, xd_tag_len(ctxt.get(), &tag, &length, 0));
   EXPECT_EQ(0x20000010u, tag);
   EXPECT_EQ(3, length);
   EXPECT_EQ(0u, ctxt.pos());
   EXPECT_FALSE(ctxt.hasFlag(CTXTF_CONSTRUCTED));

   ASSERT_EQ(RTS_OK, xd_tag_len(ctxt.get(), &tag, &length, XD_MODE_ADVANCE));
   EXPECT_EQ(2u, ctxt.pos());
   EXPECT_TRUE(ctxt.hasFlag(CTXTF_CONSTRUCTED));
   EXPECT_EQ(0u, ctxt->savedState.byteIndex);

   ASSERT_EQ(RTS_OK, xd_tag_len(ctxt.get(), &tag, &length, XD_MODE_ADVANCE));
   EXPECT_EQ(0x02u, tag);
   EXPECT_EQ(1, length);
   EXPECT_EQ(4u, ctxt.pos());
   EXPECT_EQ(2u, ctxt->savedState.byteIndex);
   EXPECT_FALSE(ctxt.hasFlag(CTXTF_CONSTRUCTED));
}

TEST(BerDecodeTagLen, Refusals) {
   struct Case {
      const char* octets;
      ASN1OCTET mode;
      int status;
      ASN1UINT endPos;
   } cases[] = {
      {"04 80 00 00", XD_MODE_ADVANCE, RTS_BAD_LENGTH, 2},
      {"04 80 00 00", 0, RTS_BAD_LENGTH, 0},
      {"24 80 00 00", XD_MODE_ADVANCE, RTS_OK, 2},
      {"30", XD_MODE_ADVANCE, RTS_END_OF_DATA, 1},
      {"30", 0, RTS_END_OF_DATA, 0},
      {"", XD_MODE_ADVANCE, RTS_END_OF_DATA, 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.octets) + " mode " + std::to_string(c.mode));
      DecodeContext ctxt(hex(c.octets));
      ASN1TAG tag;
      int length;
      EXPECT_EQ(c.status, xd_tag_len(ctxt.get(), &tag, &length, c.mode));
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeTagLen, ReservedFlagWithOuterIndefiniteReportsEnd) {
   DecodeContext ctxt(hex("02 01 05"));
   ctxt.setFlags(CTXTF_RESERVED_1000 | CTXTF_OUTER_INDEFINITE);
   ASN1TAG tag;
   int length;
   EXPECT_EQ(RTS_END_OF_DATA, xd_tag_len(ctxt.get(), &tag, &length, XD_MODE_ADVANCE));
   EXPECT_EQ(0u, ctxt.pos());
}

TEST(BerDecodeMatch1, ComparesOneIdentifierOctetInEitherForm) {
   struct Case {
      const char* octets;
      ASN1OCTET tag;
      bool wantLength;
      int status;
      int length;
      bool constructed;
      ASN1UINT endPos;
   } cases[] = {
      {"30 03 02 01 05", 0x10, true, RTS_OK, 3, true, 2},
      {"30 03 02 01 05", 0x30, true, RTS_OK, 3, true, 2},
      {"04 01 AA", 0x24, true, RTS_OK, 1, false, 2},
      {"A0 80 00 00", 0x80, true, RTS_OK, INDEFINITE_LENGTH, true, 2},
      {"31 00", 0x10, true, RTS_NOT_FOUND, 0, false, 0},
      {"04 80 00 00", 0x04, true, RTS_BAD_LENGTH, 0, false, 2},
      {"04 80 00 00", 0x04, false, RTS_OK, 0, false, 2},
      {"30", 0x10, true, RTS_END_OF_DATA, 0, true, 1},
      {"", 0x10, true, RTS_END_OF_DATA, 0, false, 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      int length = 0;
      EXPECT_EQ(c.status, xd_match1(ctxt.get(), c.tag, c.wantLength ? &length : nullptr));
      EXPECT_EQ(c.status, ctxt.errorStatus());
      if (c.status == RTS_OK && c.wantLength) { EXPECT_EQ(c.length, length); }
      EXPECT_EQ(c.constructed, ctxt.hasFlag(CTXTF_CONSTRUCTED));
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeMatch1, Tag1AndLenSkipsTheComparison) {
   DecodeContext ctxt(hex("A5 03 02 01 05"));
   int length = 0;
   ASSERT_EQ(RTS_OK, xd_Tag1AndLen(ctxt.get(), &length));
   EXPECT_EQ(3, length);
   EXPECT_EQ(2u, ctxt.pos());
   EXPECT_TRUE(ctxt.hasFlag(CTXTF_CONSTRUCTED));

   DecodeContext primitive(hex("85 80"));
   EXPECT_EQ(RTS_BAD_LENGTH, xd_Tag1AndLen(primitive.get(), &length));

   DecodeContext cut(hex("85"));
   EXPECT_EQ(RTS_END_OF_DATA, xd_Tag1AndLen(cut.get(), &length));
}

TEST(BerDecodeMatchUniversal, ExactIdentifierClearsConstructed) {
   DecodeContext ctxt(hex("04 01 AA"));
   ctxt.setFlags(CTXTF_CONSTRUCTED);
   EXPECT_EQ(RTS_OK, xd_matchUniversal(ctxt.get(), 0x04));
   EXPECT_EQ(1u, ctxt.pos());
   EXPECT_FALSE(ctxt.hasFlag(CTXTF_CONSTRUCTED));

   DecodeContext constructed(hex("24 00"));
   EXPECT_EQ(RTS_NOT_FOUND, xd_matchUniversal(constructed.get(), 0x04));
   EXPECT_EQ(0u, constructed.pos());

   DecodeContext noLength(hex("04"));
   EXPECT_EQ(RTS_END_OF_DATA, xd_matchUniversal(noLength.get(), 0x04));
}

TEST(BerDecodeSetp, DefiniteOuterLengthNarrowsTheBuffer) {
   struct Case {
      const char* name;
      Octets octets;
      int msglen;
      int status;
      int total;
      ASN1UINT size;
   } cases[] = {
      {"exact", hex("30 03 02 01 05"), 5, RTS_OK, 5, 5},
      {"trailing octets", hex("30 03 02 01 05 FF FF"), 7, RTS_OK, 5, 5},
      {"unknown message length", hex("30 03 02 01 05 FF FF"), 0, RTS_OK, 5, 5},
      {"long form outer length", hex("30 81 03 02 01 05"), 6, RTS_OK, 6, 6},
      {"outer length beyond message", hex("30 64") + repeat(0, 48), 50, RTS_BAD_LENGTH, 0, 50},
      {"header cut short", hex("30"), 1, RTS_END_OF_DATA, 0, 1},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(""));
      ASN1TAG tag = 0;
      int total = 0;
      /* The message stays alive for the whole case. */
      const Octets& msg = c.octets;
      EXPECT_EQ(c.status, xd_setp(ctxt.get(), msg.data(), c.msglen, &tag, &total));
      EXPECT_EQ(msg.data(), ctxt->buffer.data);
      EXPECT_EQ(c.size, ctxt->buffer.size);
      if (c.status == RTS_OK) {
         EXPECT_EQ(0x20000010u, tag);
         EXPECT_EQ(c.total, total);
         EXPECT_EQ(0u, ctxt.pos());
         EXPECT_FALSE(ctxt.hasFlag(CTXTF_OUTER_INDEFINITE));
      }
      if (c.status == RTS_BAD_LENGTH) { EXPECT_EQ(0u, ctxt.pos()); }
   }
}

TEST(BerDecodeSetp, IndefiniteOuterLength) {
   const Octets msg = hex("30 80 02 01 05 00 00");
   DecodeContext ctxt(hex(""));
   ASN1TAG tag = 0;
   int total = 0;
   ASSERT_EQ(RTS_OK, xd_setp(ctxt.get(), msg.data(), 7, &tag, &total));
   EXPECT_EQ(INDEFINITE_LENGTH, total);
   EXPECT_TRUE(ctxt.hasFlag(CTXTF_OUTER_INDEFINITE));
   EXPECT_EQ(7u, ctxt->buffer.size);
   EXPECT_EQ(0u, ctxt.pos());

   /* The next message starts without the flag. */
   const Octets definite = hex("02 01 05");
   ASSERT_EQ(RTS_OK, xd_setp(ctxt.get(), definite.data(), 3));
   EXPECT_FALSE(ctxt.hasFlag(CTXTF_OUTER_INDEFINITE));

   /* Unknown message length: the end is the largest size. */
   ASSERT_EQ(RTS_OK, xd_setp(ctxt.get(), msg.data(), -1, nullptr, &total));
   EXPECT_EQ(0x7FFFFFFFu, ctxt->buffer.size);
}

TEST(BerDecodeSetp, LaxLengthKeepsTheMessageSize) {
   const Octets msg = hex("30 10 02 01 05");
   DecodeContext ctxt(hex(""));
   ctxt.setFlags(CTXTF_LAX_LENGTH);
   int total = 0;
   ASSERT_EQ(RTS_OK, xd_setp(ctxt.get(), msg.data(), 5, nullptr, &total));
   EXPECT_EQ(18, total);
   EXPECT_EQ(5u, ctxt->buffer.size);
}

TEST(BerDecodeSetp, NullMessageIsRefused) {
   DecodeContext ctxt(hex(""));
   EXPECT_EQ(RTS_BAD_ARGUMENT, xd_setp(ctxt.get(), nullptr, 5));
}

}
