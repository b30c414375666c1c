/* BOOLEAN, INTEGER, unsigned, 16-bit, ENUMERATED and NULL encoders:
   minimal two's complement, explicit and implicit tagging, null values. */
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "berencode_fixture.h"

namespace {

struct IntCase {
   ASN1INT value;
   const char* contents;
};

const IntCase kIntCases[] = {
   {0, "00"},
   {1, "01"},
   {-1, "FF"},
   {127, "7F"},
   {128, "00 80"},
   {-128, "80"},
   {-129, "FF 7F"},
   {255, "00 FF"},
   {256, "01 00"},
   {32767, "7F FF"},
   {32768, "00 80 00"},
   {-32768, "80 00"},
   {-32769, "FF 7F FF"},
   {8388608, "00 80 00 00"},
   {-8388609, "FF 7F FF FF"},
   {INT_MAX, "7F FF FF FF"},
   {INT_MIN, "80 00 00 00"},
};

/* "02 <len> <contents>" for contents given as spaced hex. */
std::string tlv(const char* tag, const char* contents) {
   std::string body = H(contents);
   char len[3];
   std::snprintf(len, sizeof(len), "%02X", static_cast<unsigned>(body.size() / 2));
   return H(tag) + len + body;
}

TEST(BerEncodeInteger, MinimalTwosComplementExplicit) {
   for (const auto& c : kIntCases) {
      EncodeContext enc;
      std::string expected = tlv("02", c.contents);
      EXPECT_EQ(xe_integer(enc.get(), &c.value, TAG_EXPLICIT),
                static_cast<int>(expected.size() / 2)) << c.value;
      EXPECT_EQ(enc.hex(), expected) << c.value;
   }
}

TEST(BerEncodeInteger, ImplicitWritesContentsOnly) {
   for (const auto& c : kIntCases) {
      EncodeContext enc;
      std::string expected = H(c.contents);
      EXPECT_EQ(xe_integer(enc.get(), &c.value, TAG_IMPLICIT),
                static_cast<int>(expected.size() / 2)) << c.value;
      EXPECT_EQ(enc.hex(), expected) << c.value;
   }
}

TEST(BerEncodeInteger, EnumeratedUsesTagTen) {
   for (const auto& c : kIntCases) {
      EncodeContext enc;
      ASN1ENUM value = c.value;
      std::string expected = tlv("0A", c.contents);
      EXPECT_GT(xe_enum(enc.get(), &value, TAG_EXPLICIT), 0);
      EXPECT_EQ(enc.hex(), expected) << c.value;
   }
}

TEST(BerEncodeInteger, UnsignedKeepsValuePositive) {
   const struct {
      ASN1UINT value;
      const char* contents;
   } cases[] = {
      {0, "00"},          {127, "7F"},          {128, "00 80"},
      {65536, "01 00 00"}, {0x7FFFFFFF, "7F FF FF FF"},
      {0x80000000u, "00 80 00 00 00"},          {4294967295u, "00 FF FF FF FF"},
   };
   for (const auto& c : cases) {
      EncodeContext enc;
      EXPECT_GT(xe_unsigned(enc.get(), &c.value, TAG_EXPLICIT), 0);
      EXPECT_EQ(enc.hex(), tlv("02", c.contents)) << c.value;
   }
}

TEST(BerEncodeInteger, Uint16) {
   const struct {
      ASN1USINT value;
      const char* contents;
   } cases[] = {
      {0, "00"}, {127, "7F"}, {255, "00 FF"}, {256, "01 00"}, {32767, "7F FF"}, {65535, "00 FF FF"},
   };
   for (const auto& c : cases) {
      EncodeContext enc;
      EXPECT_GT(xe_uint16(enc.get(), &c.value, TAG_EXPLICIT), 0);
      EXPECT_EQ(enc.hex(), tlv("02", c.contents)) << c.value;
   }
}

TEST(BerEncodeInteger, BooleanTrueIsAllOnes) {
   const struct {
      ASN1BOOL value;
      const char* octets;
   } cases[] = {{0, "01 01 00"}, {1, "01 01 FF"}, {0x7A, "01 01 FF"}, {0xFF, "01 01 FF"}};
   for (const auto& c : cases) {
      EncodeContext enc;
      EXPECT_EQ(xe_boolean(enc.get(), &c.value, TAG_EXPLICIT), 3);
      EXPECT_EQ(enc.hex(), H(c.octets)) << int(c.value);
   }
   EncodeContext enc;
   ASN1BOOL yes = 1;
   EXPECT_EQ(xe_boolean(enc.get(), &yes, TAG_IMPLICIT), 1);
   EXPECT_EQ(enc.hex(), "FF");
}

TEST(BerEncodeInteger, NullExplicitAndImplicit) {
   EncodeContext enc;
   EXPECT_EQ(xe_null(enc.get(), TAG_IMPLICIT), 0);
   EXPECT_EQ(enc.length(), 0u);
   EXPECT_EQ(xe_null(enc.get(), TAG_EXPLICIT), 2);
   EXPECT_EQ(enc.hex(), "0500");
}

TEST(BerEncodeInteger, NullValuePointersAreBadValue) {
   EncodeContext enc;
   EXPECT_EQ(xe_boolean(enc.get(), nullptr, TAG_EXPLICIT), RTS_BAD_VALUE);
   EXPECT_EQ(enc.ctxt.errInfo.status, RTS_BAD_VALUE);
   EXPECT_EQ(xe_integer(enc.get(), nullptr, TAG_EXPLICIT), RTS_BAD_VALUE);
   EXPECT_EQ(xe_unsigned(enc.get(), nullptr, TAG_IMPLICIT), RTS_BAD_VALUE);
   EXPECT_EQ(xe_uint16(enc.get(), nullptr, TAG_EXPLICIT), RTS_BAD_VALUE);
   EXPECT_EQ(xe_enum(enc.get(), nullptr, TAG_EXPLICIT), RTS_BAD_VALUE);
   EXPECT_EQ(enc.length(), 0u);
}

}
