/* INTEGER from big-integer text: decimal through the big-integer module,
   0x and 0b bit patterns converted digit by digit, malformed text. */
#include <gtest/gtest.h>

#include <string>

#include "berencode_fixture.h"

namespace {

struct BigCase {
   const char* text;
   const char* contents;
};

void expectContents(const BigCase& c) {
   EncodeContext enc;
   std::string contents = H(c.contents);
   int n = static_cast<int>(contents.size() / 2);
   EXPECT_EQ(xe_bigint(enc.get(), c.text, TAG_EXPLICIT), n + 2) << c.text;
   char header[5];
   std::snprintf(header, sizeof(header), "02%02X", static_cast<unsigned>(n));
   EXPECT_EQ(enc.hex(), header + contents) << c.text;
}

TEST(BerEncodeBigInt, DecimalText) {
   const BigCase cases[] = {
      {"0", "00"},
      {"1", "01"},
      {"-1", "FF"},
      {"127", "7F"},
      {"128", "00 80"},
      {"-128", "80"},
      {"-129", "FF 7F"},
      {"-0", "00"},
      {"  42", "2A"},
      {"000255", "00 FF"},
      {"-8388609", "FF 7F FF FF"},
      {"12345678901234567890", "00 AB 54 A9 8C EB 1F 0A D2"},
      {"-12345678901234567890", "FF 54 AB 56 73 14 E0 F5 2E"},
   };
   for (const auto& c : cases) expectContents(c);
}

TEST(BerEncodeBigInt, HexadecimalPatterns) {
   const BigCase cases[] = {
      {"0x7f", "7F"},
      {"0x80", "80"},           /* even digit count, top bit set: negative */
      {"0x080", "00 80"},       /* leading zero keeps it positive */
      {"0xff", "FF"},
      {"0xff7f", "FF 7F"},
      {"0xff80", "80"},         /* redundant sign octet dropped */
      {"0xffff", "FF"},
      {"0x0000", "00"},
      {"0x0", "00"},
      {"0xfff", "0F FF"},       /* odd digit count: positive, short first octet */
      {"0x8", "08"},
      {"0x00ff80", "00 FF 80"},
      {"0x1234", "12 34"},
      {"0xAbCd", "AB CD"},
      {"0x0f80", "0F 80"},
   };
   for (const auto& c : cases) expectContents(c);
}

TEST(BerEncodeBigInt, BinaryPatterns) {
   const BigCase cases[] = {
      {"0b0", "00"},
      {"0b1", "01"},
      {"0b10000000", "80"},
      {"0b010000000", "00 80"},
      {"0b11111111", "FF"},
      {"0b1111111101111111", "FF 7F"},
      {"0b1111111110000000", "80"},
      {"0b110000000", "01 80"},
      {"0b00000000", "00"},
   };
   for (const auto& c : cases) expectContents(c);
}

TEST(BerEncodeBigInt, ImplicitWritesContentsOnly) {
   EncodeContext enc;
   EXPECT_EQ(xe_bigint(enc.get(), "0x080", TAG_IMPLICIT), 2);
   EXPECT_EQ(enc.hex(), "0080");
}

TEST(BerEncodeBigInt, MalformedTextIsBadValue) {
   const char* cases[] = {"", "0x", "0xg1", "0x12 ", "0b102", "12a", "-", "0o"};
   for (const char* text : cases) {
      EncodeContext enc;
      EXPECT_EQ(xe_bigint(enc.get(), text, TAG_EXPLICIT), RTS_BAD_VALUE) << text;
      EXPECT_EQ(enc.ctxt.errInfo.status, RTS_BAD_VALUE) << text;
   }
   EncodeContext enc;
   EXPECT_EQ(xe_bigint(enc.get(), nullptr, TAG_EXPLICIT), RTS_BAD_VALUE);
}

/* Multiplies a decimal digit string by a small factor. */
std::string timesDecimal(const std::string& digits, unsigned factor) {
   std::string out(digits.size(), '0');
   unsigned carry = 0;
   for (size_t i = digits.size(); i-- > 0;) {
      unsigned v = static_cast<unsigned>(digits[i] - '0') * factor + carry;
      out[i] = static_cast<char>('0' + v % 10);
      carry = v / 10;
   }
   while (carry != 0) {
      out.insert(out.begin(), static_cast<char>('0' + carry % 10));
      carry /= 10;
   }
   return out;
}

TEST(BerEncodeBigInt, DecimalBeyondTheWorkArea) {
   /* 256^600 needs 601 octets, more than the 512 lent to the module. */
   std::string text = "1";
   for (int i = 0; i < 600; i++) text = timesDecimal(text, 256);
   EncodeContext enc;
   EXPECT_EQ(xe_bigint(enc.get(), text.c_str(), TAG_IMPLICIT), 601);
   EXPECT_EQ(enc.hex(), "01" + std::string(1200, '0'));

   EncodeContext negative;
   std::string minus = "-" + text;
   EXPECT_EQ(xe_bigint(negative.get(), minus.c_str(), TAG_IMPLICIT), 601);
   EXPECT_EQ(negative.hex(), "FF" + std::string(1200, '0'));
}

TEST(BerEncodeBigInt, LongHexPatternGrowsTheBuffer) {
   /* 20000 octets of 0x5A: more than the 16384-octet initial buffer. */
   std::string text = "0x";
   for (int i = 0; i < 20000; i++) text += "5a";
   EncodeContext enc;
   EXPECT_EQ(xe_bigint(enc.get(), text.c_str(), TAG_EXPLICIT), 20000 + 4);
   std::string hex = enc.hex();
   EXPECT_EQ(hex.substr(0, 8), "02824E20");
   EXPECT_EQ(hex.find_first_not_of("5A", 8), std::string::npos);
}

}
