/* XER writer: INTEGER values of 32 bits, big integers given as text, and
   object identifiers with their check. */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_xerencode_fixture.h"

namespace {

class XerNumbersTest : public XerEncodeTest {
protected:
   void SetUp() override {
      XerEncodeTest::SetUp();
      compact();
   }
};

TEST_F(XerNumbersTest, SignedIntegers) {
   const struct {
      ASN1INT value;
      const char* name;
      std::string expected;
   } cases[] = {
      {0, nullptr, "<INTEGER>0</INTEGER>"},
      {7, "pathLen", "<pathLen>7</pathLen>"},
      {-1, "n", "<n>-1</n>"},
      {2147483647, "n", "<n>2147483647</n>"},
      {-2147483647 - 1, "n", "<n>-2147483648</n>"},
      {-100, "n", "<n>-100</n>"},
   };
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncInt(&ctxt, c.value, c.name), RTS_OK);
      EXPECT_EQ(text(), c.expected);
      EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   }
}

TEST_F(XerNumbersTest, UnsignedIntegers) {
   const struct {
      ASN1UINT value;
      const char* name;
      std::string expected;
   } cases[] = {
      {0, nullptr, "<INTEGER>0</INTEGER>"},
      {10, "n", "<n>10</n>"},
      {2147483648u, "n", "<n>2147483648</n>"},
      {4294967295u, "n", "<n>4294967295</n>"},
   };
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncUInt(&ctxt, c.value, c.name), RTS_OK);
      EXPECT_EQ(text(), c.expected);
   }
}

TEST_F(XerNumbersTest, BigIntegersToDecimal) {
   const struct {
      const char* value;
      const char* expected;
   } cases[] = {
      {"0x00FF", "255"},
      {"0x0ff", "255"},
      {"0xff", "-1"},
      {"0x080", "128"},
      {"0x80", "-128"},
      {"0x0", "0"},
      {"0x0100", "256"},
      {"0x00AB54A98CEB1F0AD2", "12345678901234567890"},
      {"0b1010", "10"},
      {"0b11111111", "-1"},
      {"-007", "-7"},
      {"000", "0"},
      {"0", "0"},
      {"-0", "-0"},
      {"42", "42"},
      {"12345678901234567890123456789", "12345678901234567890123456789"},
      {"-98765432109876543210", "-98765432109876543210"},
   };
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncBigInt(&ctxt, c.value, "serialNumber"), RTS_OK) << c.value;
      EXPECT_EQ(text(), std::string("<serialNumber>") + c.expected + "</serialNumber>") << c.value;
   }
   clear();
   ASSERT_EQ(xerEncBigInt(&ctxt, "5", nullptr), RTS_OK);
   EXPECT_EQ(text(), "<INTEGER>5</INTEGER>");
}

/* The start tag (and a sign) stay written; nothing follows. */
TEST_F(XerNumbersTest, BadBigIntegerText) {
   const struct {
      const char* value;
      std::string written;
   } cases[] = {
      {"12a", "<n>"},
      {"-12a", "<n>-"},
      {"", "<n>"},
      {"-", "<n>-"},
      {" 12", "<n>"},
      {"0xZZ", "<n>"},
      {"0x", "<n>"},
      {"0b102", "<n>"},
   };
   for (const auto& c : cases) {
      clear();
      EXPECT_EQ(xerEncBigInt(&ctxt, c.value, "n"), RTS_BAD_VALUE) << c.value;
      EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_VALUE) << c.value;
      EXPECT_EQ(text(), c.written) << c.value;
   }
   clear();
   EXPECT_EQ(xerEncBigInt(&ctxt, nullptr, "n"), RTS_BAD_VALUE);
   EXPECT_EQ(text(), "");
}

/* Decimal text of a hexadecimal digit string, by schoolbook arithmetic. */
std::string hexToDecimal(const std::string& hex) {
   std::vector<int> digits{0}; /* least significant first */
   for (char h : hex) {
      int carry = (h <= '9') ? h - '0' : h - 'A' + 10;
      for (int& d : digits) {
         int v = d * 16 + carry;
         d = v % 10;
         carry = v / 10;
      }
      for (; carry > 0; carry /= 10) digits.push_back(carry % 10);
   }
   std::string text;
   for (auto it = digits.rbegin(); it != digits.rend(); ++it) text += static_cast<char>('0' + *it);
   return text;
}

TEST_F(XerNumbersTest, BigIntegersAroundTheStackLimit) {
   /* 400 octets stay below 1001 digits, 600 octets go beyond. */
   for (size_t octets : {size_t{8}, size_t{400}, size_t{600}}) {
      std::string hex = "7F";
      for (size_t i = 1; i < octets; i++) hex += (i % 3 == 0) ? "A5" : "3C";
      clear();
      ASSERT_EQ(xerEncBigInt(&ctxt, ("0x" + hex).c_str(), "n"), RTS_OK);
      EXPECT_EQ(text(), "<n>" + hexToDecimal(hex) + "</n>") << octets;
   }
   std::string negative = "0xFF" + std::string(1198, '0');
   clear();
   ASSERT_EQ(xerEncBigInt(&ctxt, negative.c_str(), "n"), RTS_OK);
   /* FF followed by 599 zero octets is -(2^4792). */
   EXPECT_EQ(text(), "<n>-" + hexToDecimal("1" + std::string(1198, '0')) + "</n>");
}

ASN1OBJID oid(std::initializer_list<ASN1UINT> arcs) {
   ASN1OBJID value{};
   for (ASN1UINT arc : arcs) value.arcs[value.numarcs++] = arc;
   return value;
}

// Digits are written in pairs: every power of ten and its neighbours, as
// an INTEGER and as an arc, against the standard library's formatting.
TEST_F(XerNumbersTest, DigitCountBoundaries) {
   std::vector<ASN1UINT> values = {0, 4294967295u};
   for (uint64_t power = 10; power <= 1000000000u; power *= 10) {
      values.push_back(static_cast<ASN1UINT>(power - 1));
      values.push_back(static_cast<ASN1UINT>(power));
      values.push_back(static_cast<ASN1UINT>(power + 1));
   }
   for (ASN1UINT value : values) {
      clear();
      ASSERT_EQ(xerEncUInt(&ctxt, value, "n"), RTS_OK);
      EXPECT_EQ(text(), "<n>" + std::to_string(value) + "</n>");
      clear();
      const ASN1OBJID arcs = oid({2, value, value});
      ASSERT_EQ(xerEncObjId(&ctxt, &arcs, "o"), RTS_OK);
      const std::string digits = std::to_string(value);
      EXPECT_EQ(text(), "<o>2." + digits + "." + digits + "</o>");
   }
}

TEST_F(XerNumbersTest, ObjectIdentifiersAccepted) {
   const struct {
      ASN1OBJID value;
      std::string expected;
   } cases[] = {
      {oid({1, 2, 840, 113549, 1, 1, 11}), "1.2.840.113549.1.1.11"},
      {oid({2, 999, 1}), "2.999.1"},
      {oid({0, 39}), "0.39"},
      {oid({1, 39}), "1.39"},
      {oid({2, 4294967295u}), "2.4294967295"},
      {oid({1, 3, 4294967295u, 0}), "1.3.4294967295.0"},
   };
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncObjId(&ctxt, &c.value, "algorithm"), RTS_OK);
      EXPECT_EQ(text(), "<algorithm>" + c.expected + "</algorithm>");
   }
   ASN1OBJID longest{};
   std::string expected;
   for (ASN1UINT i = 0; i < MAX_OID_ARCS; i++) {
      longest.arcs[longest.numarcs++] = i == 0 ? 2 : 4000000000u + i;
      expected += (i ? "." : "") + std::to_string(longest.arcs[i]);
   }
   clear();
   ASSERT_EQ(xerEncObjId(&ctxt, &longest, nullptr), RTS_OK);
   EXPECT_EQ(text(), "<OBJECT_IDENTIFIER>" + expected + "</OBJECT_IDENTIFIER>");
}

TEST_F(XerNumbersTest, ObjectIdentifiersRefusedWithoutRecording) {
   ASN1OBJID tooMany = oid({1, 2});
   tooMany.numarcs = MAX_OID_ARCS + 1;
   const ASN1OBJID cases[] = {
      oid({}), oid({1}), oid({3, 1}), oid({1, 40}), oid({0, 40}), oid({4294967295u, 1}), tooMany,
   };
   for (const auto& value : cases) {
      clear();
      EXPECT_EQ(xerEncObjId(&ctxt, &value, "algorithm"), RTS_BAD_OID);
      EXPECT_EQ(text(), "");
      EXPECT_EQ(ctxt.errInfo.status, RTS_OK);
   }
   EXPECT_EQ(xerEncObjId(&ctxt, nullptr, "algorithm"), RTS_BAD_OID);
   EXPECT_EQ(ctxt.errInfo.status, RTS_OK);
}

}
