/* OBJECT IDENTIFIER, OCTET STRING, BIT STRING and character string
   encoders. */
#include <gtest/gtest.h>

#include <initializer_list>

#include "berencode_fixture.h"

namespace {

ASN1OBJID oid(std::initializer_list<ASN1UINT> arcs) {
   ASN1OBJID value{};
   for (ASN1UINT arc : arcs) value.arcs[value.numarcs++] = arc;
   return value;
}

TEST(BerEncodeObjId, FirstTwoArcsCombineAndLargeArcs) {
   const struct {
      ASN1OBJID value;
      const char* octets;
   } cases[] = {
      {oid({1, 2, 840, 113549}), "06 06 2A 86 48 86 F7 0D"},
      {oid({2, 999}), "06 02 88 37"},
      {oid({0, 0}), "06 01 00"},
      {oid({1, 39}), "06 01 4F"},
      {oid({2, 40}), "06 01 78"},
      {oid({2, 47}), "06 01 7F"},
      {oid({2, 48}), "06 02 81 00"},
      {oid({1, 2, 0}), "06 02 2A 00"},
      {oid({1, 2, 128}), "06 03 2A 81 00"},
      {oid({1, 2, 0xFFFFFFFF}), "06 06 2A 8F FF FF FF 7F"},
      {oid({2, 0xFFFFFFFF}), "06 05 90 80 80 80 4F"}, /* 80 + arc needs 33 bits */
      {oid({1, 3, 6, 1, 5, 5, 7, 48, 1}), "06 08 2B 06 01 05 05 07 30 01"},
   };
   for (const auto& c : cases) {
      EncodeContext enc;
      std::string expected = H(c.octets);
      EXPECT_EQ(xe_objid(enc.get(), &c.value, TAG_EXPLICIT), static_cast<int>(expected.size() / 2));
      EXPECT_EQ(enc.hex(), expected);
   }
}

TEST(BerEncodeObjId, AllArcsUsed) {
   ASN1OBJID value{};
   value.numarcs = MAX_OID_ARCS;
   value.arcs[0] = 1;
   value.arcs[1] = 2;
   for (ASN1UINT i = 2; i < MAX_OID_ARCS; i++) value.arcs[i] = 200; /* 81 48 each */
   EncodeContext enc;
   EXPECT_EQ(xe_objid(enc.get(), &value, TAG_IMPLICIT), 1 + 2 * (MAX_OID_ARCS - 2));
   std::string expected = "2A";
   for (ASN1UINT i = 2; i < MAX_OID_ARCS; i++) expected += "8148";
   EXPECT_EQ(enc.hex(), expected);
}

TEST(BerEncodeObjId, BadArcsAreRefused) {
   ASN1OBJID tooMany = oid({1, 2});
   tooMany.numarcs = MAX_OID_ARCS + 1;
   const ASN1OBJID cases[] = {
      oid({3, 1}), oid({0, 40}), oid({1, 40}), oid({1}), oid({}), tooMany,
   };
   for (const auto& value : cases) {
      EncodeContext enc;
      EXPECT_EQ(xe_objid(enc.get(), &value, TAG_EXPLICIT), RTS_BAD_OID);
      EXPECT_EQ(enc.ctxt.errInfo.status, RTS_BAD_OID);
      EXPECT_EQ(enc.length(), 0u);
   }
   EncodeContext enc;
   EXPECT_EQ(xe_objid(enc.get(), nullptr, TAG_EXPLICIT), RTS_BAD_OID);
}

TEST(BerEncodeOctStr, ContentsAndEmptyForms) {
   const ASN1OCTET data[] = {0x01, 0x02, 0x03};
   {
      EncodeContext enc;
      EXPECT_EQ(xe_octstr(enc.get(), data, 3, TAG_EXPLICIT), 5);
      EXPECT_EQ(enc.hex(), H("04 03 01 02 03"));
   }
   {
      EncodeContext enc;
      EXPECT_EQ(xe_octstr(enc.get(), data, 3, TAG_IMPLICIT), 3);
      EXPECT_EQ(enc.hex(), H("01 02 03"));
   }
   {
      EncodeContext enc;
      EXPECT_EQ(xe_octstr(enc.get(), data, 0, TAG_EXPLICIT), 2);
      EXPECT_EQ(enc.hex(), H("04 00"));
   }
   {
      EncodeContext enc; /* a null data pointer writes no octets */
      EXPECT_EQ(xe_octstr(enc.get(), nullptr, 5, TAG_EXPLICIT), 2);
      EXPECT_EQ(enc.hex(), H("04 00"));
   }
}

TEST(BerEncodeBitStr, UnusedBitCounts) {
   const struct {
      ASN1UINT numbits;
      ASN1OCTET data[2];
      const char* octets;
   } cases[] = {
      {0, {0x00, 0x00}, "03 01 00"},
      {1, {0x80, 0x00}, "03 02 07 80"},
      {7, {0xFE, 0x00}, "03 02 01 FE"},
      {8, {0xA5, 0x00}, "03 02 00 A5"},
      {9, {0xFF, 0x80}, "03 03 07 FF 80"},
      {12, {0xAB, 0xCD}, "03 03 04 AB CD"}, /* bits past numbits stay as stored */
      {16, {0xAB, 0xCD}, "03 03 00 AB CD"},
   };
   for (const auto& c : cases) {
      EncodeContext enc;
      std::string expected = H(c.octets);
      EXPECT_EQ(xe_bitstr(enc.get(), c.data, c.numbits, TAG_EXPLICIT),
                static_cast<int>(expected.size() / 2)) << c.numbits;
      EXPECT_EQ(enc.hex(), expected) << c.numbits;
   }
   EncodeContext enc;
   const ASN1OCTET one = 0x80;
   EXPECT_EQ(xe_bitstr(enc.get(), &one, 1, TAG_IMPLICIT), 2);
   EXPECT_EQ(enc.hex(), "0780");
}

TEST(BerEncodeBitStr, MissingDataIsBadValue) {
   EncodeContext enc;
   EXPECT_EQ(xe_bitstr(enc.get(), nullptr, 3, TAG_EXPLICIT), RTS_BAD_VALUE);
   EXPECT_EQ(enc.length(), 0u);
}

TEST(BerEncodeCharStr, EightBitTextUnderGivenTag) {
   {
      EncodeContext enc;
      EXPECT_EQ(xe_charstr(enc.get(), "abc", TAG_EXPLICIT, ASN_ID_PrintableString), 5);
      EXPECT_EQ(enc.hex(), H("13 03 61 62 63"));
   }
   {
      EncodeContext enc;
      EXPECT_EQ(xe_charstr(enc.get(), "", TAG_EXPLICIT, ASN_ID_UTF8String), 2);
      EXPECT_EQ(enc.hex(), H("0C 00"));
   }
   {
      EncodeContext enc;
      EXPECT_EQ(xe_charstr(enc.get(), "\xC3\xA9", TAG_IMPLICIT, ASN_ID_UTF8String), 2);
      EXPECT_EQ(enc.hex(), H("C3 A9"));
   }
   EncodeContext enc;
   EXPECT_EQ(xe_charstr(enc.get(), nullptr, TAG_EXPLICIT, ASN_ID_IA5String), RTS_BAD_VALUE);
}

TEST(BerEncodeCharStr, BmpAndUniversalUnitsMostSignificantFirst) {
   ASN116BITCHAR bmp[] = {0x20AC, 0x0041, 0xFFFD};
   ASN116BitCharString bmpValue{3, bmp};
   {
      EncodeContext enc;
      EXPECT_EQ(xe_16BitCharStr(enc.get(), &bmpValue, TAG_EXPLICIT, ASN_ID_BMPString), 8);
      EXPECT_EQ(enc.hex(), H("1E 06 20 AC 00 41 FF FD"));
   }
   ASN132BITCHAR wide[] = {0x1F600, 0x41};
   ASN132BitCharString wideValue{2, wide};
   {
      EncodeContext enc;
      EXPECT_EQ(xe_32BitCharStr(enc.get(), &wideValue, TAG_EXPLICIT, ASN_ID_UniversalString), 10);
      EXPECT_EQ(enc.hex(), H("1C 08 00 01 F6 00 00 00 00 41"));
   }
   {
      EncodeContext enc;
      ASN116BitCharString empty{0, nullptr};
      EXPECT_EQ(xe_16BitCharStr(enc.get(), &empty, TAG_EXPLICIT, ASN_ID_BMPString), 2);
      EXPECT_EQ(enc.hex(), H("1E 00"));
      EXPECT_EQ(xe_16BitCharStr(enc.get(), &empty, TAG_IMPLICIT, ASN_ID_BMPString), 0);
   }
   EncodeContext enc;
   ASN116BitCharString missing{2, nullptr};
   EXPECT_EQ(xe_16BitCharStr(enc.get(), nullptr, TAG_EXPLICIT, ASN_ID_BMPString), RTS_BAD_VALUE);
   EXPECT_EQ(xe_16BitCharStr(enc.get(), &missing, TAG_EXPLICIT, ASN_ID_BMPString), RTS_BAD_VALUE);
   EXPECT_EQ(xe_32BitCharStr(enc.get(), nullptr, TAG_EXPLICIT, ASN_ID_UniversalString),
             RTS_BAD_VALUE);
}

}
