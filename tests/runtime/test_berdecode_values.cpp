/* BOOLEAN, INTEGER (32-bit, unsigned, 16-bit, big), ENUMERATED, NULL and
   OBJECT IDENTIFIER decoders. */
#include <climits>

#include "berdecode_test_util.h"
#include "rtMemHeap.h"

using namespace berdecode_test;

namespace {

struct Case {
   const char* octets;
   int status;
   long long value;
   ASN1UINT endPos;
};

TEST(BerDecodeBoolean, ExplicitAndImplicit) {
   const Case cases[] = {
      {"01 01 FF", RTS_OK, 0xFF, 3},
      {"01 01 00", RTS_OK, 0, 3},
      {"01 01 05", RTS_OK, 5, 3},
      {"01 02 FF FF", RTS_BAD_LENGTH, 0, 2},
      {"01 81 01 FF", RTS_BAD_LENGTH, 0, 2},
      {"02 01 FF", RTS_NOT_FOUND, 0, 0},
      {"01 01", RTS_END_OF_DATA, 0, 2},
      {"01", RTS_END_OF_DATA, 0, 1},
      {"", RTS_END_OF_DATA, 0, 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ctxt.setFlags(CTXTF_CONSTRUCTED);
      ASN1BOOL value = 0xEE;
      EXPECT_EQ(c.status, xd_boolean(ctxt.get(), &value, TAG_EXPLICIT, 0));
      EXPECT_EQ(c.status, ctxt.errorStatus());
      if (c.status == RTS_OK) {
         EXPECT_EQ(c.value, value);
         EXPECT_FALSE(ctxt.hasFlag(CTXTF_CONSTRUCTED));
      }
      EXPECT_EQ(c.endPos, ctxt.pos());
   }

   DecodeContext implicit(hex("FF"));
   ASN1BOOL value = 0;
   EXPECT_EQ(RTS_OK, xd_boolean(implicit.get(), &value, TAG_IMPLICIT, 1));
   EXPECT_EQ(0xFF, value);
   DecodeContext twoOctets(hex("FF FF"));
   EXPECT_EQ(RTS_BAD_LENGTH, xd_boolean(twoOctets.get(), &value, TAG_IMPLICIT, 2));
}

TEST(BerDecodeInteger, ExtremesAndErrors) {
   const Case cases[] = {
      {"02 01 00", RTS_OK, 0, 3},
      {"02 01 7F", RTS_OK, 127, 3},
      {"02 01 FF", RTS_OK, -1, 3},
      {"02 01 80", RTS_OK, -128, 3},
      {"02 02 00 80", RTS_OK, 128, 4},
      {"02 02 FF 7F", RTS_OK, -129, 4},
      {"02 03 01 00 00", RTS_OK, 65536, 5},
      {"02 04 7F FF FF FF", RTS_OK, INT_MAX, 6},
      {"02 04 80 00 00 00", RTS_OK, INT_MIN, 6},
      {"02 81 01 05", RTS_OK, 5, 4},
      {"02 05 00 FF FF FF FF", RTS_TOO_BIG, 0, 2},
      {"02 00", RTS_BAD_LENGTH, 0, 2},
      {"02 80 05 00 00", RTS_BAD_LENGTH, 0, 2},
      {"02 02 01", RTS_BAD_LENGTH, 0, 2},
      {"04 01 00", RTS_NOT_FOUND, 0, 0},
      {"02", RTS_END_OF_DATA, 0, 1},
      {"", RTS_END_OF_DATA, 0, 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ASN1INT value = 12345;
      EXPECT_EQ(c.status, xd_integer(ctxt.get(), &value, TAG_EXPLICIT, 0));
      EXPECT_EQ(c.status == RTS_OK ? c.value : 12345, value);
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeInteger, ImplicitContentsPastTheEnd) {
   ASN1INT value = 0;
   DecodeContext ctxt(hex("01"));
   EXPECT_EQ(RTS_END_OF_DATA, xd_integer(ctxt.get(), &value, TAG_IMPLICIT, 2));

   /* With an indefinite outer length the end of the message is not known;
      octets that exist beyond the recorded size are read. */
   DecodeContext outer(hex("01 02"));
   outer->buffer.size = 1;
   outer.setFlags(CTXTF_OUTER_INDEFINITE);
   EXPECT_EQ(RTS_OK, xd_integer(outer.get(), &value, TAG_IMPLICIT, 2));
   EXPECT_EQ(0x0102, value);
}

TEST(BerDecodeEnum, UniversalTenThenInteger) {
   const Case cases[] = {
      {"0A 01 03", RTS_OK, 3, 3},
      {"0A 02 FF 00", RTS_OK, -256, 4},
      {"02 01 03", RTS_NOT_FOUND, 0, 0},
      {"0A", RTS_END_OF_DATA, 0, 1},
      {"0A 05 00 00 00 00 01", RTS_TOO_BIG, 0, 2},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ASN1ENUM value = 99;
      EXPECT_EQ(c.status, xd_enum(ctxt.get(), &value, TAG_EXPLICIT, 0));
      if (c.status == RTS_OK) { EXPECT_EQ(c.value, value); }
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeUnsigned, FiveOctetsOnlyWithLeadingZero) {
   const Case cases[] = {
      {"02 05 00 FF FF FF FF", RTS_OK, 4294967295LL, 7},
      {"02 04 FF FF FF FF", RTS_OK, 4294967295LL, 6},
      {"02 01 FF", RTS_OK, 255, 3},
      {"02 02 01 00", RTS_OK, 256, 4},
      {"02 00", RTS_OK, 0, 2},
      {"02 05 01 00 00 00 00", RTS_TOO_BIG, 0, 2},
      {"02 06 00 00 00 00 00 01", RTS_TOO_BIG, 0, 2},
      {"04 01 00", RTS_NOT_FOUND, 0, 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ASN1UINT value = 7;
      EXPECT_EQ(c.status, xd_unsigned(ctxt.get(), &value, TAG_EXPLICIT, 0));
      EXPECT_EQ(c.status == RTS_OK ? c.value : 7, value);
      EXPECT_EQ(c.endPos, ctxt.pos());
   }

   ASN1UINT value = 0;
   DecodeContext implicit(hex("00 80 00 00 00"));
   EXPECT_EQ(RTS_OK, xd_unsigned(implicit.get(), &value, TAG_IMPLICIT, 5));
   EXPECT_EQ(0x80000000u, value);
   DecodeContext cut(hex("01"));
   EXPECT_EQ(RTS_END_OF_DATA, xd_unsigned(cut.get(), &value, TAG_IMPLICIT, 2));
}

TEST(BerDecodeUint16, SixteenBitForms) {
   const Case cases[] = {
      {"02 01 05", RTS_OK, 5, 3},
      {"02 02 01 00", RTS_OK, 256, 4},
      {"02 02 FF FF", RTS_OK, 65535, 4},
      {"02 03 00 FF FF", RTS_OK, 65535, 5},
      {"02 03 01 00 00", RTS_TOO_BIG, 0, 2},
      {"02 04 00 00 00 01", RTS_TOO_BIG, 0, 2},
      {"02 81 01 05", RTS_TOO_BIG, 0, 2},
      {"04 01 05", RTS_NOT_FOUND, 0, 0},
      {"02 00", RTS_BAD_LENGTH, 0, 2},
      {"02 00 05", RTS_BAD_LENGTH, 0, 2},
      {"02 01", RTS_END_OF_DATA, 0, 2},
      {"02", RTS_END_OF_DATA, 0, 1},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ASN1USINT value = 3;
      EXPECT_EQ(c.status, xd_uint16(ctxt.get(), &value, TAG_EXPLICIT, 0));
      EXPECT_EQ(c.status == RTS_OK ? c.value : 3, value);
      EXPECT_EQ(c.endPos, ctxt.pos());
   }

   ASN1USINT value = 0;
   DecodeContext empty(hex("05"));
   EXPECT_EQ(RTS_BAD_LENGTH, xd_uint16(empty.get(), &value, TAG_IMPLICIT, 0));
   EXPECT_EQ(0u, empty.pos());
}

TEST(BerDecodeNull, ExplicitReadsHeaderImplicitReadsNothing) {
   const Case cases[] = {
      {"05 00", RTS_OK, 0, 2},
      {"05 01 00", RTS_BAD_LENGTH, 0, 2},
      {"04 00", RTS_NOT_FOUND, 0, 0},
      {"05", RTS_END_OF_DATA, 0, 1},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      EXPECT_EQ(c.status, xd_null(ctxt.get(), TAG_EXPLICIT));
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
   DecodeContext implicit(hex("05 00"));
   EXPECT_EQ(RTS_OK, xd_null(implicit.get(), TAG_IMPLICIT));
   EXPECT_EQ(0u, implicit.pos());
}

TEST(BerDecodeBigInt, HexadecimalText) {
   struct TextCase {
      const char* contents;
      const char* text;
   } cases[] = {
      {"00", "0x0"},
      {"00 00 00", "0x0"},
      {"00 80", "0x080"},
      {"00 FF", "0x0ff"},
      {"00 7F", "0x7f"},
      {"00 00 81 02", "0x08102"},
      {"FF", "0xff"},
      {"80", "0x80"},
      {"FF 7F", "0xff7f"},
      {"01 00", "0x0100"},
      {"7F FF FF FF FF FF FF FF FF", "0x7fffffffffffffffff"},
      {"00 AB 54 A9 8C EB 1F 0A D2", "0x0ab54a98ceb1f0ad2"},
   };
   for (const TextCase& c : cases) {
      SCOPED_TRACE(c.contents);
      const Octets contents = hex(c.contents);
      const Octets octets = hex("02") + Octets{static_cast<ASN1OCTET>(contents.size())} + contents;
      DecodeContext ctxt(octets);
      const char* text = nullptr;
      ASSERT_EQ(RTS_OK, xd_bigint(ctxt.get(), &text, TAG_EXPLICIT, 0));
      EXPECT_STREQ(c.text, text);
      EXPECT_EQ(octets.size(), ctxt.pos());
   }
}

TEST(BerDecodeBigInt, BlockSizeAndErrors) {
   DecodeContext ctxt(hex("02 03 00 00 80"));
   const char* text = nullptr;
   ASSERT_EQ(RTS_OK, xd_bigint(ctxt.get(), &text, TAG_EXPLICIT, 0));
   /* One octet left after the zeros: (1 + 2) * 2 octets. */
   EXPECT_EQ(6u, rtMemHeapBlockSize(text));

   DecodeContext wrongTag(hex("04 01 00"));
   EXPECT_EQ(RTS_NOT_FOUND, xd_bigint(wrongTag.get(), &text, TAG_EXPLICIT, 0));
   /* No contents octets is no number at all, not zero. */
   DecodeContext empty(hex("02 00 02 01 00"));
   EXPECT_EQ(RTS_BAD_LENGTH, xd_bigint(empty.get(), &text, TAG_EXPLICIT, 0));
   EXPECT_EQ(RTS_BAD_LENGTH, empty.errorStatus());
   DecodeContext emptyImplicit(hex("05"));
   EXPECT_EQ(RTS_BAD_LENGTH, xd_bigint(emptyImplicit.get(), &text, TAG_IMPLICIT, 0));
   DecodeContext cut(hex("01 02"));
   EXPECT_EQ(RTS_END_OF_DATA, xd_bigint(cut.get(), &text, TAG_IMPLICIT, 3));
   DecodeContext implicit(hex("FF 01"));
   ASSERT_EQ(RTS_OK, xd_bigint(implicit.get(), &text, TAG_IMPLICIT, 2));
   EXPECT_STREQ("0xff01", text);
}

std::vector<ASN1UINT> arcsOf(const ASN1OBJID& oid) {
   return std::vector<ASN1UINT>(oid.arcs, oid.arcs + oid.numarcs);
}

TEST(BerDecodeObjId, ArcRules) {
   struct OidCase {
      const char* octets;
      std::vector<ASN1UINT> arcs;
   } cases[] = {
      {"06 03 2A 86 48", {1, 2, 840}},
      {"06 09 2A 86 48 86 F7 0D 01 01 01", {1, 2, 840, 113549, 1, 1, 1}},
      {"06 01 00", {0, 0}},
      {"06 01 27", {0, 39}},
      {"06 01 28", {1, 0}},
      {"06 01 4F", {1, 39}},
      {"06 01 50", {2, 0}},
      {"06 02 88 37", {2, 999}},
      {"06 06 2A 8F FF FF FF 7F", {1, 2, 4294967295u}},
      {"06 05 90 80 80 80 4F", {2, 4294967295u}},
      {"06 03 2A 00 7F", {1, 2, 0, 127}},
   };
   for (const OidCase& c : cases) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ASN1OBJID oid;
      ASSERT_EQ(RTS_OK, xd_objid(ctxt.get(), &oid, TAG_EXPLICIT, 0));
      EXPECT_EQ(c.arcs, arcsOf(oid));
      EXPECT_EQ(hex(c.octets).size(), ctxt.pos());
   }
}

TEST(BerDecodeObjId, ArcLimitAndErrors) {
   /* The first subidentifier gives two arcs; 126 more make 128. */
   const Octets full = hex("06 7F 2A") + repeat(0x01, 126);
   DecodeContext ctxt(full);
   ASN1OBJID oid;
   ASSERT_EQ(RTS_OK, xd_objid(ctxt.get(), &oid, TAG_EXPLICIT, 0));
   EXPECT_EQ(128u, oid.numarcs);
   EXPECT_EQ(1u, oid.arcs[127]);

   DecodeContext tooMany(hex("06 81 80 2A") + repeat(0x01, 127));
   EXPECT_EQ(RTS_BAD_OID, xd_objid(tooMany.get(), &oid, TAG_EXPLICIT, 0));
   EXPECT_EQ(RTS_BAD_OID, tooMany.errorStatus());

   /* Arcs that would wrap, non-minimal and cut subidentifiers: another
      identifier could be shown in their place. */
   for (const char* octets : {"06 06 2A 90 80 80 80 01", "06 05 90 80 80 80 50",
                              "06 06 80 80 80 80 80 01", "06 04 2A 80 86 48", "06 02 80 2A",
                              "06 02 2A 86", "06 0C 2A FF FF FF FF FF FF FF FF FF FF 7F"}) {
      SCOPED_TRACE(octets);
      DecodeContext bad(hex(octets));
      EXPECT_EQ(RTS_BAD_OID, xd_objid(bad.get(), &oid, TAG_EXPLICIT, 0));
      EXPECT_EQ(RTS_BAD_OID, bad.errorStatus());
   }

   DecodeContext empty(hex("06 00"));
   EXPECT_EQ(RTS_BAD_LENGTH, xd_objid(empty.get(), &oid, TAG_EXPLICIT, 0));
   DecodeContext wrongTag(hex("04 01 2A"));
   EXPECT_EQ(RTS_NOT_FOUND, xd_objid(wrongTag.get(), &oid, TAG_EXPLICIT, 0));
   DecodeContext cut(hex("2A 86"));
   EXPECT_EQ(RTS_END_OF_DATA, xd_objid(cut.get(), &oid, TAG_IMPLICIT, 3));
   DecodeContext implicit(hex("55 04 03"));
   ASSERT_EQ(RTS_OK, xd_objid(implicit.get(), &oid, TAG_IMPLICIT, 3));
   EXPECT_EQ((std::vector<ASN1UINT>{2, 5, 4, 3}), arcsOf(oid));
}

}
