/* OCTET STRING, BIT STRING and character string decoders in primitive and
   segmented forms. */
#include "berdecode_test_util.h"

using namespace berdecode_test;

namespace {

TEST(BerDecodeMemcpy, CopiesAndChecksTheEnd) {
   DecodeContext ctxt(hex("41 42 43"));
   ASN1OCTET out[3] = {0};
   ASSERT_EQ(RTS_OK, xd_memcpy(ctxt.get(), out, 2));
   EXPECT_EQ(hex("41 42"), bytesOf(out, 2));
   EXPECT_EQ(2u, ctxt.pos());
   EXPECT_EQ(RTS_END_OF_DATA, xd_memcpy(ctxt.get(), out, 2));
   EXPECT_EQ(2u, ctxt.pos());

   DecodeContext outer(hex("41 42 43"));
   outer->buffer.size = 1;
   outer.setFlags(CTXTF_OUTER_INDEFINITE);
   ASSERT_EQ(RTS_OK, xd_memcpy(outer.get(), out, 3));
   EXPECT_EQ(hex("41 42 43"), bytesOf(out, 3));
}

TEST(BerDecodeConsStr, MeasuresIndefiniteSegmentedStrings) {
   struct Case {
      const char* name;
      const char* octets;
      ASN1TAG segTag;
      int status;
      int size;
      int length;
   } cases[] = {
      {"two segments", "24 80 04 02 41 42 04 01 43 00 00", ASN_ID_OCTSTR, RTS_OK, 3, 7},
      {"no segments", "24 80 00 00", ASN_ID_OCTSTR, RTS_OK, 0, 0},
      {"bit string segments", "23 80 03 02 00 AA 03 02 04 B0 00 00", ASN_ID_BITSTR, RTS_OK, 4,
       8},
      {"nested constructed", "24 80 04 01 41 24 80 04 01 43 00 00 00 00", ASN_ID_OCTSTR,
       RTS_BAD_TAG, 0, 0},
      {"wrong segment tag", "24 80 04 01 41 05 00 00 00", ASN_ID_OCTSTR, RTS_BAD_TAG, 0, 0},
      {"no end-of-contents", "24 80 04 01 41", ASN_ID_OCTSTR, RTS_END_OF_DATA, 0, 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(c.octets));
      ctxt.setPos(2);
      ctxt.setFlags(CTXTF_CONSTRUCTED);
      int size = -1, length = -1;
      EXPECT_EQ(c.status, xd_consStrIndefLenAndSize(ctxt.get(), c.segTag, &size, &length));
      if (c.status == RTS_OK) {
         EXPECT_EQ(c.size, size);
         EXPECT_EQ(c.length, length);
         EXPECT_EQ(2u, ctxt.pos());
         EXPECT_TRUE(ctxt.hasFlag(CTXTF_CONSTRUCTED));
      }
   }
}

TEST(BerDecodeOctStrSized, IntoTheCallersArray) {
   struct Case {
      const char* name;
      const char* octets;
      ASN1TagType tagging;
      bool constructed;
      int length;
      ASN1UINT capacity;
      int status;
      const char* value;
      ASN1UINT endPos;
   } cases[] = {
      {"primitive", "04 03 41 42 43", TAG_EXPLICIT, false, 0, 10, RTS_OK, "41 42 43", 5},
      {"exact capacity", "04 03 41 42 43", TAG_EXPLICIT, false, 0, 3, RTS_OK, "41 42 43", 5},
      {"too long", "04 03 41 42 43", TAG_EXPLICIT, false, 0, 2, RTS_VALUE_TOO_LONG, "", 2},
      {"empty", "04 00", TAG_EXPLICIT, false, 0, 4, RTS_OK, "", 2},
      {"constructed identifier refused", "24 05 04 03 41 42 43", TAG_EXPLICIT, false, 0, 10,
       RTS_NOT_FOUND, "", 0},
      {"segments", "04 02 41 42 04 01 43", TAG_IMPLICIT, true, 7, 3, RTS_OK, "41 42 43", 7},
      {"segments over capacity", "04 02 41 42 04 01 43", TAG_IMPLICIT, true, 7, 2,
       RTS_VALUE_TOO_LONG, "", 6},
      {"segments overrun the length", "04 02 41 42 04 01 43", TAG_IMPLICIT, true, 6, 3,
       RTS_BAD_LENGTH, "", 7},
      {"nested constructed segment", "24 03 04 01 41", TAG_IMPLICIT, true, 5, 3, RTS_NOT_FOUND,
       "", 0},
      {"negative length", "41", TAG_IMPLICIT, false, INDEFINITE_LENGTH, 3, RTS_BAD_LENGTH, "",
       0},
      {"implicit contents past end", "41", TAG_IMPLICIT, false, 2, 3, RTS_END_OF_DATA, "", 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(c.octets));
      if (c.constructed) ctxt.setFlags(CTXTF_CONSTRUCTED);
      ASN1OCTET out[16] = {0};
      ASN1UINT numocts = c.capacity;
      EXPECT_EQ(c.status, xd_octstr_s(ctxt.get(), out, &numocts, c.tagging, c.length));
      if (c.status == RTS_OK) { EXPECT_EQ(hex(c.value), bytesOf(out, numocts)); }
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeOctStr, PrimitiveAndSegmentedForms) {
   struct Case {
      const char* name;
      const char* octets;
      int status;
      const char* value;
      ASN1UINT endPos;
   } cases[] = {
      {"primitive", "04 03 41 42 43 FF", RTS_OK, "41 42 43", 5},
      {"empty", "04 00", RTS_OK, "", 2},
      {"indefinite segments", "24 80 04 02 41 42 04 01 43 00 00", RTS_OK, "41 42 43", 11},
      {"indefinite, no segments", "24 80 00 00", RTS_OK, "", 4},
      {"indefinite, empty segments", "24 80 04 00 04 00 00 00", RTS_OK, "", 8},
      {"definite segments", "24 07 04 02 41 42 04 01 43", RTS_OK, "41 42 43", 9},
      {"nested constructed segment", "24 80 04 02 41 42 24 80 04 01 43 00 00 00 00",
       RTS_BAD_TAG, "", 0},
      {"wrong segment tag", "24 80 04 02 41 42 05 00 00 00", RTS_BAD_TAG, "", 0},
      {"no end-of-contents", "24 80 04 02 41 42", RTS_END_OF_DATA, "", 0},
      {"end-of-contents in long form", "24 80 04 01 41 00 81 00", RTS_BAD_LENGTH, "", 0},
      {"wrong identifier", "02 01 00", RTS_NOT_FOUND, "", 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(c.octets));
      const ASN1OCTET* data = nullptr;
      ASN1UINT numocts = 99;
      EXPECT_EQ(c.status, xd_octstr(ctxt.get(), &data, &numocts, TAG_EXPLICIT, 0));
      if (c.status != RTS_OK) continue;
      EXPECT_EQ(hex(c.value), bytesOf(data, numocts));
      EXPECT_EQ(c.endPos, ctxt.pos());
      /* The value is a copy in the heap, or null when empty. */
      if (numocts == 0) { EXPECT_EQ(nullptr, data); }
      else { EXPECT_TRUE(data < ctxt.data() || data >= ctxt.data() + hex(c.octets).size()); }
   }
}

TEST(BerDecodeOctStr, ImplicitTakesTheCallersHeader) {
   /* [1] IMPLICIT OCTET STRING in the indefinite segmented form, header read
      by the caller. */
   DecodeContext ctxt(hex("A1 80 04 01 41 04 01 42 00 00"));
   int length = 0;
   ASSERT_EQ(RTS_OK, xd_match1(ctxt.get(), 0x81, &length));
   const ASN1OCTET* data = nullptr;
   ASN1UINT numocts = 0;
   ASSERT_EQ(RTS_OK, xd_octstr(ctxt.get(), &data, &numocts, TAG_IMPLICIT, length));
   EXPECT_EQ(hex("41 42"), bytesOf(data, numocts));
   EXPECT_EQ(10u, ctxt.pos());

   DecodeContext primitive(hex("81 80 00 00"));
   primitive.setPos(2);
   EXPECT_EQ(RTS_BAD_LENGTH,
             xd_octstr(primitive.get(), &data, &numocts, TAG_IMPLICIT, INDEFINITE_LENGTH));
}

struct BitCase {
   const char* name;
   const char* octets;
   ASN1TagType tagging;
   bool constructed;
   int length;
   ASN1UINT capacityBits;
   int status;
   ASN1UINT numbits;
   const char* value;
   ASN1UINT endPos;
};

TEST(BerDecodeBitStrSized, UnusedBitsAndCapacity) {
   const BitCase cases[] = {
      {"one bit", "03 02 07 80", TAG_EXPLICIT, false, 0, 8, RTS_OK, 1, "80", 4},
      {"zero bits", "03 01 00", TAG_EXPLICIT, false, 0, 8, RTS_OK, 0, "", 3},
      {"no contents", "03 00", TAG_EXPLICIT, false, 0, 8, RTS_OK, 0, "", 2},
      {"unused bits without data", "03 01 05", TAG_EXPLICIT, false, 0, 8, RTS_BAD_LENGTH, 0, "",
       2},
      {"unused bits above 7", "03 02 08 00", TAG_EXPLICIT, false, 0, 8, RTS_BAD_VALUE, 0, "", 2},
      {"sixteen bits in a 9-bit array", "03 03 00 FF FF", TAG_EXPLICIT, false, 0, 9, RTS_OK, 16,
       "FF FF", 5},
      {"nine bits", "03 03 07 86 80", TAG_EXPLICIT, false, 0, 9, RTS_OK, 9, "86 80", 5},
      {"over capacity", "03 03 00 FF FF", TAG_EXPLICIT, false, 0, 8, RTS_VALUE_TOO_LONG, 0, "",
       2},
      {"constructed identifier refused", "23 04 03 02 00 FF", TAG_EXPLICIT, false, 0, 8,
       RTS_NOT_FOUND, 0, "", 0},
      {"indefinite primitive", "00 00", TAG_IMPLICIT, false, INDEFINITE_LENGTH, 8,
       RTS_BAD_LENGTH, 0, "", 0},
      {"definite segments", "03 02 00 AA 03 02 04 B0", TAG_IMPLICIT, true, 8, 16, RTS_OK, 12,
       "AA B0", 8},
      {"indefinite segments stop at end-of-contents", "03 02 00 AA 03 02 04 B0 00 00",
       TAG_IMPLICIT, true, INDEFINITE_LENGTH, 16, RTS_OK, 12, "AA B0", 8},
      {"segments over capacity", "03 02 00 AA 03 02 04 B0", TAG_IMPLICIT, true, 8, 8,
       RTS_VALUE_TOO_LONG, 0, "", 7},
      {"last segment unused bits above 7", "03 02 00 AA 03 02 09 B0", TAG_IMPLICIT, true, 8, 16,
       RTS_BAD_VALUE, 0, "", 8},
      {"segments short of the length", "03 02 00 AA", TAG_IMPLICIT, true, 6, 16, RTS_BAD_LENGTH,
       0, "", 4},
   };
   for (const BitCase& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(c.octets));
      if (c.constructed) ctxt.setFlags(CTXTF_CONSTRUCTED);
      ASN1OCTET out[4] = {0};
      ASN1UINT numbits = c.capacityBits;
      EXPECT_EQ(c.status, xd_bitstr_s(ctxt.get(), out, &numbits, c.tagging, c.length));
      if (c.status == RTS_OK) {
         EXPECT_EQ(c.numbits, numbits);
         EXPECT_EQ(hex(c.value), bytesOf(out, (numbits + 7) / 8));
      }
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeBitStr, DynamicForms) {
   const BitCase cases[] = {
      {"one bit", "03 02 07 80", TAG_EXPLICIT, false, 0, 0, RTS_OK, 1, "80", 4},
      {"zero bits", "03 01 00", TAG_EXPLICIT, false, 0, 0, RTS_OK, 0, "", 3},
      {"no contents", "03 00", TAG_EXPLICIT, false, 0, 0, RTS_OK, 0, "", 2},
      {"unused bits without data", "03 01 05", TAG_EXPLICIT, false, 0, 0, RTS_BAD_LENGTH, 0, "",
       0},
      {"unused bits above 7", "03 02 08 00", TAG_EXPLICIT, false, 0, 0, RTS_BAD_VALUE, 0, "", 0},
      {"indefinite segments", "23 80 03 02 00 AA 03 02 04 B0 00 00", TAG_EXPLICIT, false, 0, 0,
       RTS_OK, 12, "AA B0", 12},
      {"indefinite, one empty segment", "23 80 03 01 00 00 00", TAG_EXPLICIT, false, 0, 0, RTS_OK,
       0, "", 7},
      {"indefinite, one segment of unused bits only", "23 80 03 01 03 00 00", TAG_EXPLICIT, false,
       0, 0, RTS_BAD_LENGTH, 0, "", 0},
      {"definite segments", "23 08 03 02 00 AA 03 02 04 B0", TAG_EXPLICIT, false, 0, 0, RTS_OK,
       12, "AA B0", 10},
      {"nested constructed segment", "23 80 03 02 00 AA 23 80 03 01 00 00 00 00 00", TAG_EXPLICIT,
       false, 0, 0, RTS_BAD_TAG, 0, "", 0},
      {"no end-of-contents", "23 80 03 02 00 AA", TAG_EXPLICIT, false, 0, 0, RTS_END_OF_DATA, 0,
       "", 0},
      {"wrong identifier", "04 01 00", TAG_EXPLICIT, false, 0, 0, RTS_NOT_FOUND, 0, "", 0},
      {"implicit primitive", "06 6E 5D C0", TAG_IMPLICIT, false, 4, 0, RTS_OK, 18, "6E 5D C0", 4},
   };
   for (const BitCase& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(c.octets));
      const ASN1OCTET* data = nullptr;
      ASN1UINT numbits = 77;
      EXPECT_EQ(c.status, xd_bitstr(ctxt.get(), &data, &numbits, c.tagging, c.length));
      if (c.status != RTS_OK) continue;
      EXPECT_EQ(c.numbits, numbits);
      EXPECT_EQ(hex(c.value), bytesOf(data, (numbits + 7) / 8));
      if (numbits == 0) { EXPECT_EQ(nullptr, data); }
      EXPECT_EQ(c.endPos, ctxt.pos());
   }
}

TEST(BerDecodeCharStr, EightBitStrings) {
   struct Case {
      const char* name;
      const char* octets;
      ASN1TAG tag;
      int status;
      const char* text;
      ASN1UINT endPos;
   } cases[] = {
      {"IA5String", "16 05 68 65 6C 6C 6F", ASN_ID_IA5String, RTS_OK, "hello", 7},
      {"empty UTF8String", "0C 00", ASN_ID_UTF8String, RTS_OK, "", 2},
      {"UTF8String octets unchanged", "0C 03 E2 82 AC", ASN_ID_UTF8String, RTS_OK,
       "\xE2\x82\xAC", 5},
      {"indefinite segments", "36 80 04 02 68 69 04 01 21 00 00", ASN_ID_IA5String, RTS_OK,
       "hi!", 11},
      {"definite segments", "33 06 04 01 41 04 01 42", ASN_ID_PrintableString, RTS_OK, "AB", 8},
      {"wrong tag", "13 02 41 42", ASN_ID_IA5String, RTS_NOT_FOUND, "", 0},
      {"segments carry the string tag", "36 80 16 01 41 00 00", ASN_ID_IA5String, RTS_BAD_TAG, "",
       0},
      {"missing end-of-contents", "36 80 04 01 41", ASN_ID_IA5String, RTS_END_OF_DATA, "", 0},
      /* A zero octet would end the held text early. */
      {"zero octet inside", "0C 05 61 62 00 63 64", ASN_ID_UTF8String, RTS_BAD_VALUE, "", 0},
      {"zero octet last", "13 02 41 00", ASN_ID_PrintableString, RTS_BAD_VALUE, "", 0},
      {"zero octet in a segment", "36 80 04 01 41 04 01 00 00 00", ASN_ID_IA5String,
       RTS_BAD_VALUE, "", 0},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      DecodeContext ctxt(hex(c.octets));
      const char* text = nullptr;
      EXPECT_EQ(c.status, xd_charstr(ctxt.get(), &text, TAG_EXPLICIT, c.tag, 0));
      if (c.status != RTS_OK) continue;
      ASSERT_NE(nullptr, text);
      EXPECT_STREQ(c.text, text);
      EXPECT_EQ(c.endPos, ctxt.pos());
   }

   DecodeContext implicit(hex("41 42"));
   const char* text = nullptr;
   ASSERT_EQ(RTS_OK, xd_charstr(implicit.get(), &text, TAG_IMPLICIT, ASN_ID_IA5String, 2));
   EXPECT_STREQ("AB", text);
}

TEST(BerDecodeWideStrings, BmpAndUniversalStrings) {
   struct Case16 {
      const char* octets;
      std::vector<ASN116BITCHAR> units;
   } bmp[] = {
      {"1E 02 20 AC", {0x20AC}},
      {"1E 04 00 41 00 42", {0x41, 0x42}},
      {"1E 03 00 41 00", {0x41}},
      {"3E 80 04 02 00 41 04 02 00 42 00 00", {0x41, 0x42}},
      {"3E 80 04 01 00 04 03 41 00 42 00 00", {0x41, 0x42}},
   };
   for (const Case16& c : bmp) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ASN116BitCharString value = {0, nullptr};
      ASSERT_EQ(RTS_OK, xd_16BitCharStr(ctxt.get(), &value, TAG_EXPLICIT, ASN_ID_BMPString, 0));
      EXPECT_EQ(c.units, std::vector<ASN116BITCHAR>(value.data, value.data + value.nchars));
      EXPECT_EQ(hex(c.octets).size(), ctxt.pos());
   }

   struct Case32 {
      const char* octets;
      std::vector<ASN132BITCHAR> chars;
   } universal[] = {
      {"1C 04 00 01 F6 00", {0x1F600}},
      {"1C 08 00 00 00 41 00 00 20 AC", {0x41, 0x20AC}},
      {"1C 06 00 00 00 41 00 00", {0x41}},
   };
   for (const Case32& c : universal) {
      SCOPED_TRACE(c.octets);
      DecodeContext ctxt(hex(c.octets));
      ASN132BitCharString value = {0, nullptr};
      ASSERT_EQ(RTS_OK,
                xd_32BitCharStr(ctxt.get(), &value, TAG_EXPLICIT, ASN_ID_UniversalString, 0));
      EXPECT_EQ(c.chars, std::vector<ASN132BITCHAR>(value.data, value.data + value.nchars));
   }
}

TEST(BerDecodeWideStrings, EmptyAndErrors) {
   const char* empties[] = {"1E 00", "1E 01 41", "3E 80 00 00"};
   for (const char* octets : empties) {
      SCOPED_TRACE(octets);
      DecodeContext ctxt(hex(octets));
      ASN116BitCharString value = {5, nullptr};
      ASSERT_EQ(RTS_OK, xd_16BitCharStr(ctxt.get(), &value, TAG_EXPLICIT, ASN_ID_BMPString, 0));
      EXPECT_EQ(0u, value.nchars);
      EXPECT_EQ(nullptr, value.data);
   }
   ASN132BitCharString value = {0, nullptr};
   DecodeContext wrongTag(hex("1E 04 00 00 00 41"));
   EXPECT_EQ(RTS_NOT_FOUND,
             xd_32BitCharStr(wrongTag.get(), &value, TAG_EXPLICIT, ASN_ID_UniversalString, 0));
   DecodeContext noEoc(hex("3C 80 04 04 00 00 00 41"));
   EXPECT_EQ(RTS_END_OF_DATA,
             xd_32BitCharStr(noEoc.get(), &value, TAG_EXPLICIT, ASN_ID_UniversalString, 0));
}

}
