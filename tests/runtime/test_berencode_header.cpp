/* Identifier and length octets: minimal lengths, short and long tags,
   base-128 identifiers and the combined header writer. */
#include <gtest/gtest.h>

#include <climits>

#include "berencode_fixture.h"

namespace {

struct LengthCase {
   int length;
   const char* octets;
};

TEST(BerEncodeHeader, LengthsAreMinimal) {
   const LengthCase cases[] = {
      {0, "00"},
      {1, "01"},
      {127, "7F"},
      {128, "81 80"},
      {255, "81 FF"},
      {256, "82 01 00"},
      {65535, "82 FF FF"},
      {65536, "83 01 00 00"},
      {16777215, "83 FF FF FF"},
      {16777216, "84 01 00 00 00"},
      {INT_MAX, "84 7F FF FF FF"},
      {INDEFINITE_LENGTH, "80"},
   };
   for (const auto& c : cases) {
      EncodeContext enc;
      int written = xe_len(enc.get(), c.length);
      std::string expected = H(c.octets);
      EXPECT_EQ(written, static_cast<int>(expected.size() / 2)) << c.length;
      EXPECT_EQ(enc.hex(), expected) << c.length;
   }
}

TEST(BerEncodeHeader, OtherNegativeLengthWritesNothing) {
   EncodeContext enc;
   EXPECT_EQ(xe_len(enc.get(), -1), 0);
   EXPECT_EQ(xe_len(enc.get(), RTS_BAD_VALUE), 0);
   EXPECT_EQ(enc.length(), 0u);
}

struct TagCase {
   ASN1TAG tag;
   const char* octets;
};

TEST(BerEncodeHeader, ShortAndLongTags) {
   const TagCase cases[] = {
      {0x00000002, "02"},          /* universal INTEGER */
      {0x20000010, "30"},          /* universal constructed SEQUENCE */
      {0x20000011, "31"},          /* SET */
      {0x80000001, "81"},          /* context primitive [1] */
      {0xA0000000, "A0"},          /* context constructed [0] */
      {0x4000001E, "5E"},          /* application primitive [30] */
      {0xC0000000, "C0"},          /* private [0] */
      {0x0000001F, "1F 1F"},       /* first number that needs the long form */
      {0xA000001F, "BF 1F"},
      {0x8000007F, "9F 7F"},
      {0x80000080, "9F 81 00"},
      {0xC0003FFF, "DF FF 7F"},
      {0xE0004000, "FF 81 80 00"},
      {0x1FFFFFFF, "1F 81 FF FF FF 7F"}, /* largest number a tag word holds */
   };
   for (const auto& c : cases) {
      EncodeContext enc;
      int written = xe_tag(enc.get(), c.tag);
      std::string expected = H(c.octets);
      EXPECT_EQ(written, static_cast<int>(expected.size() / 2)) << std::hex << c.tag;
      EXPECT_EQ(enc.hex(), expected) << std::hex << c.tag;
   }
}

TEST(BerEncodeHeader, IdentifiersInBase128) {
   const struct {
      ASN1UINT value;
      const char* octets;
   } cases[] = {
      {0, "00"},           {127, "7F"},          {128, "81 00"},
      {16383, "FF 7F"},    {16384, "81 80 00"},  {113549, "86 F7 0D"},
      {0x0FFFFFFF, "FF FF FF 7F"},               {0xFFFFFFFF, "8F FF FF FF 7F"},
   };
   for (const auto& c : cases) {
      EncodeContext enc;
      std::string expected = H(c.octets);
      EXPECT_EQ(xe_identifier(enc.get(), c.value), static_cast<int>(expected.size() / 2));
      EXPECT_EQ(enc.hex(), expected) << c.value;
   }
}

TEST(BerEncodeHeader, TagLenWrapsContentsAlreadyWritten) {
   EncodeContext enc;
   const ASN1OCTET contents[] = {0x02, 0x01, 0x05};
   ASSERT_EQ(xe_memcpy(enc.get(), contents, sizeof(contents)), 3);
   EXPECT_EQ(xe_tag_len(enc.get(), 0x20000010, 3), 5);
   EXPECT_EQ(enc.hex(), H("30 03 02 01 05"));
}

TEST(BerEncodeHeader, TagLenWithLongTagAndLongLength) {
   EncodeContext enc;
   std::string contents(300, 'x');
   ASSERT_EQ(xe_memcpy(enc.get(), reinterpret_cast<const ASN1OCTET*>(contents.data()), 300), 300);
   EXPECT_EQ(xe_tag_len(enc.get(), 0xA0000080u, 300), 300 + 3 + 3);
   EXPECT_EQ(enc.hex().substr(0, 12), H("BF 81 00 82 01 2C"));
}

TEST(BerEncodeHeader, TagLenIndefiniteReturnsHeaderOnly) {
   EncodeContext enc;
   const ASN1OCTET eoc[] = {0x00, 0x00};
   ASSERT_EQ(xe_memcpy(enc.get(), eoc, 2), 2);
   EXPECT_EQ(xe_tag_len(enc.get(), 0x20000010, INDEFINITE_LENGTH), 2);
   EXPECT_EQ(enc.hex(), H("30 80 00 00"));
}

TEST(BerEncodeHeader, TagLenPassesContentStatusThrough) {
   EncodeContext enc;
   EXPECT_EQ(xe_tag_len(enc.get(), 0x20000010, RTS_BAD_OID), RTS_BAD_OID);
   EXPECT_EQ(xe_tag_len(enc.get(), 0x20000010, RTS_BUFFER_FULL), RTS_BUFFER_FULL);
   EXPECT_EQ(enc.length(), 0u);
}

}
