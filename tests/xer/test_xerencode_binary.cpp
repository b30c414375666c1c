/* XER writer: OCTET STRING in upper-case hexadecimal, BIT STRING in binary
   and hexadecimal form. */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "test_xerencode_fixture.h"

namespace {

const ASN1OCTET* bytes(const std::string& s) {
   return reinterpret_cast<const ASN1OCTET*>(s.data());
}

TEST_F(XerEncodeTest, EmptyOctetStringOnItsOwnLine) {
   ctxt.xerIndentLevel = 1;
   ASSERT_EQ(xerEncOctStr(&ctxt, 0, nullptr), RTS_OK);
   ASSERT_EQ(xerEncOctStr(&ctxt, 0, nullptr, "keyIdentifier"), RTS_OK);
   EXPECT_EQ(text(), "\n   <OCTET_STRING/>\n   <keyIdentifier/>");
   EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
}

TEST_F(XerEncodeTest, OctetStringsInUpperCaseHex) {
   std::string all;
   for (int b = 0; b < 256; b++) all += static_cast<char>(b);
   const std::string cases[] = {
      std::string("\x00\x1f\xab\xff", 4),
      all,
      std::string(100, '\x5a'),
      std::string(40, '\x01'),  /* exactly one 80-digit work area */
      std::string(41, '\x02'),  /* one digit pair beyond it */
      std::string(3000, '\xc3'), /* longer than any single write of the caller */
   };
   compact();
   for (const auto& value : cases) {
      clear();
      ASSERT_EQ(xerEncOctStr(&ctxt, static_cast<ASN1UINT>(value.size()), bytes(value), "v"), RTS_OK);
      EXPECT_EQ(text(), "<v>" + testsupport::toHex(value) + "</v>") << value.size() << " octets";
      EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   }
   clear();
   ASSERT_EQ(xerEncOctStr(&ctxt, 4, bytes(cases[0])), RTS_OK);
   EXPECT_EQ(text(), "<OCTET_STRING>001FABFF</OCTET_STRING>");
}

TEST_F(XerEncodeTest, HundredOctetsOnOneLine) {
   std::string value(100, '\x0f');
   ctxt.xerIndentLevel = 1;
   ASSERT_EQ(xerEncOctStr(&ctxt, 100, bytes(value), "sig"), RTS_OK);
   EXPECT_EQ(text(), "\n   <sig>" + testsupport::toHex(value) + "</sig>");
}

/* With an empty name only the digits are written (the -includeEncoded text). */
TEST_F(XerEncodeTest, OctetStringWithEmptyNameIsDigitsOnly) {
   ctxt.xerIndentLevel = 2;
   ASSERT_EQ(xerEncOctStr(&ctxt, 3, bytes("\x30\x03\xa0"), ""), RTS_OK);
   EXPECT_EQ(text(), "3003A0");
   clear();
   ASSERT_EQ(xerEncOctStr(&ctxt, 0, nullptr, ""), RTS_OK);
   EXPECT_EQ(text(), "");
}

TEST_F(XerEncodeTest, OctetStringWithoutData) {
   EXPECT_EQ(xerEncOctStr(&ctxt, 2, nullptr, "v"), RTS_BAD_VALUE);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_VALUE);
   EXPECT_EQ(text(), "");
}

TEST_F(XerEncodeTest, HexAndBinaryValuesWithoutMarkup) {
   ctxt.xerIndentLevel = 3;
   ASSERT_EQ(xerEncHexStrValue(&ctxt, 2, bytes("\xbe\xef")), RTS_OK);
   EXPECT_EQ(ctxt.xerState, XERSTATE_CONTENT);
   ctxt.xerState = XERSTATE_END_TAG;
   ASSERT_EQ(xerEncBinStrValue(&ctxt, 10, bytes("\xbe\xef")), RTS_OK);
   EXPECT_EQ(ctxt.xerState, XERSTATE_CONTENT);
   ASSERT_EQ(xerEncHexStrValue(&ctxt, 0, nullptr), RTS_OK);
   ASSERT_EQ(xerEncBinStrValue(&ctxt, 0, nullptr), RTS_OK);
   EXPECT_EQ(text(), "BEEF1011111011");
}

TEST_F(XerEncodeTest, BitStringsInBinaryForm) {
   const struct {
      ASN1UINT nbits;
      std::string data;
      std::string expected;
   } cases[] = {
      {3, "\xa0", "101"},
      {3, "\xff", "111"}, /* unused trailing bits are not written */
      {1, "\x80", "1"},
      {8, "\x81", "10000001"},
      {12, "\xa5\xff", "101001011111"},
      {12, "\xa5\xf0", "101001011111"},
      {16, std::string("\x00\x01", 2), "0000000000000001"},
      {41, std::string(5, '\x0f') + "\x80",
       "0000111100001111000011110000111100001111" "1"},
   };
   compact();
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncBitStr(&ctxt, c.nbits, bytes(c.data), "keyUsage"), RTS_OK);
      EXPECT_EQ(text(), "<keyUsage>" + c.expected + "</keyUsage>") << c.nbits << " bits";
      EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   }
   clear();
   ASSERT_EQ(xerEncBitStr(&ctxt, 2, bytes("\x40"), nullptr, XER_BITSTR_BINARY), RTS_OK);
   EXPECT_EQ(text(), "<BIT_STRING>01</BIT_STRING>");
}

TEST_F(XerEncodeTest, LongBitStringInBinaryForm) {
   std::string data(257, '\x00');
   std::string expected;
   for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<char>(i * 37);
   const ASN1UINT nbits = 2053;
   for (ASN1UINT i = 0; i < nbits; i++)
      expected += (static_cast<unsigned char>(data[i / 8]) >> (7 - i % 8)) & 1 ? '1' : '0';
   ASSERT_EQ(xerEncBitStr(&ctxt, nbits, bytes(data), "signature"), RTS_OK);
   EXPECT_EQ(text(), "\n<signature>" + expected + "</signature>");
}

TEST_F(XerEncodeTest, BitStringsInHexForm) {
   const struct {
      ASN1UINT nbits;
      std::string data;
      std::string expected;
   } cases[] = {
      {12, "\xa5\xf0", "A5F0"},
      {12, "\xa5\xff", "A5FF"}, /* the last octet as stored */
      {1, "\x80", "80"},
      {16, "\x12\x34", "1234"},
      {17, "\x12\x34\x80", "123480"},
   };
   compact();
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncBitStr(&ctxt, c.nbits, bytes(c.data), "b", XER_BITSTR_HEX), RTS_OK);
      EXPECT_EQ(text(), "<b form=\"hex\">" + c.expected + "</b>") << c.nbits << " bits";
   }
}

TEST_F(XerEncodeTest, EmptyBitStrings) {
   ctxt.xerIndentLevel = 1;
   ASSERT_EQ(xerEncBitStr(&ctxt, 0, nullptr), RTS_OK);
   EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   ASSERT_EQ(xerEncBitStr(&ctxt, 0, nullptr, "u", XER_BITSTR_HEX), RTS_OK);
   EXPECT_EQ(text(), "\n   <BIT_STRING/>\n   <u form=\"hex\"/>");
}

TEST_F(XerEncodeTest, BitStringBadForm) {
   compact();
   EXPECT_EQ(xerEncBitStr(&ctxt, 4, bytes("\xf0"), "b", 2), RTS_BAD_ARGUMENT);
   EXPECT_EQ(text(), "<b>");
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_ARGUMENT);
   clear();
   EXPECT_EQ(xerEncBitStr(&ctxt, 0, nullptr, "b", -1), RTS_BAD_ARGUMENT);
   EXPECT_EQ(text(), "");
   clear();
   EXPECT_EQ(xerEncBitStr(&ctxt, 9, nullptr, "b"), RTS_BAD_VALUE);
   EXPECT_EQ(text(), "");
}

}
