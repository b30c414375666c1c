// XER value decoders that read one element's collected text: booleans,
// integers, big integers, object identifiers, character strings, xerCmpText.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "rtContext.h"
#include "rtMemHeap.h"
#include "xerDecode.h"

namespace {

class XerDecTextTest : public ::testing::Test {
 protected:
   void SetUp() override {
      ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
      rtMemBufInit(&ctxt, &collected, 1024);
   }
   void TearDown() override { rtFreeContext(&ctxt); }

   // Gives the context the text the way the SAX handler does after an
   // element closes: the collected bytes as the buffer, a NUL just past them.
   void setText(const std::string& text) {
      rtMemBufReset(&collected);
      ASSERT_EQ(rtMemBufAppend(&collected, reinterpret_cast<const ASN1OCTET*>(text.data()),
                               static_cast<ASN1UINT>(text.size())),
                RTS_OK);
      ASSERT_EQ(rtMemBufPreAllocate(&collected, 1), RTS_OK);
      int len = 0;
      ASN1OCTET* data = rtMemBufGetData(&collected, &len);
      ASSERT_EQ(rtInitContextBuffer(&ctxt, data, static_cast<ASN1UINT>(len)), RTS_OK);
      ASSERT_EQ(rtMemBufSet(&collected, 0, 1), RTS_OK);
      rtErrReset(&ctxt.errInfo);
   }

   ASN1CTXT ctxt;
   ASN1MemBuf collected;
};

// ---- booleans -------------------------------------------------------------

struct BoolCase {
   const char* text;
   int status;
   ASN1BOOL value;
};

TEST_F(XerDecTextTest, BooleanNames) {
   const BoolCase cases[] = {
      {"true", RTS_OK, 1},          {"false", RTS_OK, 0},         {" \ttrue", RTS_OK, 1},
      {"TRUE", RTS_BAD_VALUE, 7},   {"true ", RTS_BAD_VALUE, 7},  {"", RTS_BAD_VALUE, 7},
      {"truex", RTS_BAD_VALUE, 7},  {"fals", RTS_BAD_VALUE, 7},   {"1", RTS_BAD_VALUE, 7},
   };
   for (const BoolCase& c : cases) {
      SCOPED_TRACE(c.text);
      setText(c.text);
      ASN1BOOL value = 7;
      EXPECT_EQ(xerDecBool(&ctxt, &value), c.status);
      EXPECT_EQ(value, c.value);
      EXPECT_EQ(ctxt.errInfo.status, c.status);
   }
}

// ---- 32-bit and 16-bit integers -------------------------------------------

struct IntCase {
   const char* text;
   int status;
   long long value;
};

TEST_F(XerDecTextTest, SignedIntegers) {
   const IntCase cases[] = {
      {"42", RTS_OK, 42},
      {" 42", RTS_OK, 42},
      {"\t\n\v\f\r 42", RTS_OK, 42},
      {"007", RTS_OK, 7},
      {"-17", RTS_OK, -17},
      {"", RTS_OK, 0},
      {"   ", RTS_OK, 0},
      {"-", RTS_OK, 0},
      {"  -", RTS_OK, 0},
      {"2147483647", RTS_OK, INT_MAX},
      {"-2147483648", RTS_OK, INT_MIN},
      // Magnitudes above INT_MAX are stored as their 32-bit pattern.
      {"2147483648", RTS_OK, INT_MIN},
      {"4294967295", RTS_OK, -1},
      {"-4294967295", RTS_OK, 1},
      {"4294967296", RTS_TOO_BIG, 0},
      {"-4294967296", RTS_TOO_BIG, 0},
      {"99999999999", RTS_TOO_BIG, 0},
      {"42 ", RTS_BAD_DIGIT, 0},
      {"4 2", RTS_BAD_DIGIT, 0},
      {"4a", RTS_BAD_DIGIT, 0},
      {"+5", RTS_BAD_DIGIT, 0},
      {"--1", RTS_BAD_DIGIT, 0},
      {"- 1", RTS_BAD_DIGIT, 0},
      {"0x10", RTS_BAD_DIGIT, 0},
      {"x", RTS_BAD_DIGIT, 0},
   };
   for (const IntCase& c : cases) {
      SCOPED_TRACE(c.text);
      setText(c.text);
      ASN1INT value = 99;
      EXPECT_EQ(xerDecInt(&ctxt, &value), c.status);
      EXPECT_EQ(value, c.value);
      EXPECT_EQ(ctxt.errInfo.status, c.status);
   }
}

TEST_F(XerDecTextTest, UnsignedIntegers) {
   const IntCase cases[] = {
      {"0", RTS_OK, 0},
      {" 12", RTS_OK, 12},
      {"", RTS_OK, 0},
      {" \n ", RTS_OK, 0},
      {"4294967295", RTS_OK, 4294967295LL},
      {"4294967296", RTS_TOO_BIG, 0},
      {"42949672950", RTS_TOO_BIG, 0},
      {"-1", RTS_BAD_DIGIT, 0},
      {"-", RTS_BAD_DIGIT, 0},
      {"12 ", RTS_BAD_DIGIT, 0},
      {"1.5", RTS_BAD_DIGIT, 0},
   };
   for (const IntCase& c : cases) {
      SCOPED_TRACE(c.text);
      setText(c.text);
      ASN1UINT value = 99;
      EXPECT_EQ(xerDecUInt(&ctxt, &value), c.status);
      EXPECT_EQ(value, static_cast<ASN1UINT>(c.value));
      EXPECT_EQ(ctxt.errInfo.status, c.status);
   }
}

TEST_F(XerDecTextTest, Unsigned16BitIntegers) {
   const IntCase cases[] = {
      {"65535", RTS_OK, 65535},     {" 80", RTS_OK, 80},
      {"", RTS_OK, 0},              {"65536", RTS_TOO_BIG, 0},
      {"4294967295", RTS_TOO_BIG, 0}, {"4294967296", RTS_TOO_BIG, 0},
      {"-1", RTS_BAD_DIGIT, 0},     {"1 ", RTS_BAD_DIGIT, 0},
   };
   for (const IntCase& c : cases) {
      SCOPED_TRACE(c.text);
      setText(c.text);
      ASN1USINT value = 99;
      EXPECT_EQ(xerDecUInt16(&ctxt, &value), c.status);
      EXPECT_EQ(value, c.value);
      EXPECT_EQ(ctxt.errInfo.status, c.status);
   }
}

TEST_F(XerDecTextTest, DecodingDoesNotMoveThePosition) {
   setText("xx123");
   ctxt.buffer.byteIndex = 2;
   ASN1INT value = 0;
   ASSERT_EQ(xerDecInt(&ctxt, &value), RTS_OK);
   EXPECT_EQ(value, 123);
   EXPECT_EQ(ctxt.buffer.byteIndex, 2u);
}

TEST_F(XerDecTextTest, FirstRecordedFailureWins) {
   setText("12 ");
   ASN1INT value = 0;
   EXPECT_EQ(xerDecInt(&ctxt, &value), RTS_BAD_DIGIT);
   ASN1USINT small = 0;
   ctxt.buffer.data[2] = 0;
   ctxt.buffer.data[0] = '9';
   ctxt.buffer.data[1] = '9';
   EXPECT_EQ(xerDecUInt16(&ctxt, &small), RTS_OK);
   EXPECT_EQ(small, 99);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_DIGIT);
}

// ---- big integers ----------------------------------------------------------

struct BigIntCase {
   std::string text;
   int radix;
   int status;
   const char* value;
};

TEST_F(XerDecTextTest, BigIntegers) {
   const std::vector<BigIntCase> cases = {
      // Hexadecimal text is a two's-complement pattern: a positive value whose
      // top bit is set keeps a leading 00 octet so that it reads back positive.
      {"255", 16, RTS_OK, "0x00ff"},
      {"-1", 16, RTS_OK, "0xff"},
      {"0", 16, RTS_OK, "0x00"},
      {"127", 16, RTS_OK, "0x7f"},
      {"-129", 16, RTS_OK, "0xff7f"},
      {"12345678901234567890", 16, RTS_OK, "0x00ab54a98ceb1f0ad2"},
      {"  127\n", 16, RTS_OK, "0x7f"},
      {"127 and the rest", 16, RTS_OK, "0x7f"},
      // Tokens of 512 characters or more use a heap work area.
      {std::string(600, '0') + "255", 16, RTS_OK, "0x00ff"},
      {"5", 2, RTS_OK, "0b00000101"},
      {"-2", 2, RTS_OK, "0b11111110"},
      {"", 16, RTS_BAD_VALUE, nullptr},
      {"   ", 16, RTS_BAD_VALUE, nullptr},
      {"12a", 16, RTS_BAD_VALUE, nullptr},
      {"-", 16, RTS_BAD_VALUE, nullptr},
      {"  -42 ", 10, RTS_OK, "-42"},
      {"007", 10, RTS_OK, "007"},
      {"123456789012345678901234567890", 10, RTS_OK, "123456789012345678901234567890"},
      {"12x", 10, RTS_BAD_VALUE, nullptr},
      {"+1", 10, RTS_BAD_VALUE, nullptr},
      {"1-", 10, RTS_BAD_VALUE, nullptr},
      {"", 10, RTS_BAD_VALUE, nullptr},
      {"5", 7, RTS_BAD_ARGUMENT, nullptr},
   };
   for (const BigIntCase& c : cases) {
      SCOPED_TRACE(c.text.substr(0, 40) + " radix " + std::to_string(c.radix));
      setText(c.text);
      const char* value = "unchanged";
      EXPECT_EQ(xerDecBigInt(&ctxt, &value, c.radix), c.status);
      EXPECT_EQ(ctxt.errInfo.status, c.status);
      if (c.value == nullptr) {
         EXPECT_EQ(value, nullptr);
      } else {
         ASSERT_NE(value, nullptr);
         EXPECT_STREQ(value, c.value);
      }
   }
}

// ---- object identifiers ----------------------------------------------------

struct OidCase {
   const char* text;
   int status;
   int recorded; // status expected in errInfo
   std::vector<ASN1UINT> arcs;
};

TEST_F(XerDecTextTest, ObjectIdentifiers) {
   const std::vector<OidCase> cases = {
      {" 1.2.840.113549 ", RTS_OK, RTS_OK, {1, 2, 840, 113549}},
      {"\n\t2.5.4.3\r\n", RTS_OK, RTS_OK, {2, 5, 4, 3}},
      {"2.100", RTS_OK, RTS_OK, {2, 100}},
      {"0.39", RTS_OK, RTS_OK, {0, 39}},
      {"1.2.0840", RTS_OK, RTS_OK, {1, 2, 840}},
      {"2.4294967295", RTS_OK, RTS_OK, {2, 4294967295u}},
      {"1.2.00000000000000000000001", RTS_OK, RTS_OK, {1, 2, 1}},
      // Malformed text is recorded.
      {"1..2", RTS_BAD_OID, RTS_BAD_OID, {}},
      {"1.2.", RTS_BAD_OID, RTS_BAD_OID, {}},
      {"1.2a", RTS_BAD_OID, RTS_BAD_OID, {}},
      {"1. 2", RTS_BAD_OID, RTS_BAD_OID, {}},
      {"1 .2", RTS_BAD_OID, RTS_BAD_OID, {}},
      {"1.2 3", RTS_BAD_OID, RTS_BAD_OID, {}},
      {"abc", RTS_BAD_OID, RTS_BAD_OID, {}},
      // An arc above 32 bits is refused, never read modulo 2^32.
      {"2.5.29.4294967315", RTS_BAD_OID, RTS_BAD_OID, {}},
      {"4294967296.1", RTS_BAD_OID, RTS_BAD_OID, {}},
      {"1.2.99999999999999999999999", RTS_BAD_OID, RTS_BAD_OID, {}},
      // Well-formed text that is not a valid value is only returned.
      {"1.40", RTS_BAD_OID, RTS_OK, {}},
      {"0.40", RTS_BAD_OID, RTS_OK, {}},
      {"3.1", RTS_BAD_OID, RTS_OK, {}},
      {"1", RTS_BAD_OID, RTS_OK, {}},
      {"", RTS_BAD_OID, RTS_OK, {}},
      {"  ", RTS_BAD_OID, RTS_OK, {}},
   };
   for (const OidCase& c : cases) {
      SCOPED_TRACE(c.text);
      setText(c.text);
      ASN1OBJID oid;
      EXPECT_EQ(xerDecObjId(&ctxt, &oid), c.status);
      EXPECT_EQ(ctxt.errInfo.status, c.recorded);
      if (c.status != RTS_OK) continue;
      ASSERT_EQ(oid.numarcs, c.arcs.size());
      for (size_t i = 0; i < c.arcs.size(); ++i) EXPECT_EQ(oid.arcs[i], c.arcs[i]);
   }
}

TEST_F(XerDecTextTest, ObjectIdentifierArcLimit) {
   std::string text = "1.2";
   for (int i = 2; i < MAX_OID_ARCS; ++i) text += "." + std::to_string(i);
   setText(text);
   ASN1OBJID oid;
   ASSERT_EQ(xerDecObjId(&ctxt, &oid), RTS_OK);
   ASSERT_EQ(oid.numarcs, 128u);
   EXPECT_EQ(oid.arcs[127], 127u);

   setText(text + ".128");
   EXPECT_EQ(xerDecObjId(&ctxt, &oid), RTS_BAD_OID);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_OID);

   setText(text + ".128.129");
   EXPECT_EQ(xerDecObjId(&ctxt, &oid), RTS_BAD_OID);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_OID);
}

TEST_F(XerDecTextTest, ObjectIdentifierWithoutOutputIsRefusedUnrecorded) {
   setText("1.2");
   EXPECT_EQ(xerDecObjId(&ctxt, nullptr), RTS_BAD_OID);
   EXPECT_EQ(ctxt.errInfo.status, RTS_OK);
}

// ---- character strings -----------------------------------------------------

struct StringCase {
   std::string text;
   int status;
   std::string value;
};

TEST_F(XerDecTextTest, EightBitStringsKeepTheLowByte) {
   const std::vector<StringCase> cases = {
      {"abc", RTS_OK, "abc"},
      {"", RTS_OK, ""},
      {"a\\nb", RTS_OK, "a\\nb"},          // no backslash forms
      {"caf\xC3\xA9", RTS_OK, "caf\xE9"},  // U+00E9
      {"\xC3\xBF!", RTS_OK, "\xFF!"},      // U+00FF
      {"\xE2\x82\xAC", RTS_OK, "\xAC"},    // U+20AC keeps its low byte
      {" x ", RTS_OK, " x "},
      {"\xFF", RTS_BAD_UTF8, ""},
      {"ok\x80", RTS_BAD_UTF8, ""},
      {"\xC3", RTS_BAD_UTF8, ""},          // cut-off sequence
      {"\xC3(", RTS_BAD_UTF8, ""},         // bad continuation octet
   };
   for (const StringCase& c : cases) {
      SCOPED_TRACE(testing::PrintToString(c.text));
      setText(c.text);
      const char* value = nullptr;
      EXPECT_EQ(xerDecDynAscCharStr(&ctxt, &value), c.status);
      EXPECT_EQ(ctxt.errInfo.status, c.status);
      if (c.status != RTS_OK) continue;
      ASSERT_NE(value, nullptr);
      EXPECT_EQ(std::string(value), c.value);
   }
}

TEST_F(XerDecTextTest, Utf8StringsKeepTheBytes) {
   const std::vector<std::string> texts = {"abc", "", "caf\xC3\xA9 \xE2\x82\xAC", "\xFF\xFE",
                                           "a\\tb"};
   for (const std::string& text : texts) {
      SCOPED_TRACE(testing::PrintToString(text));
      setText(text);
      const char* value = nullptr;
      ASSERT_EQ(xerDecDynUTF8Str(&ctxt, &value), RTS_OK);
      ASSERT_NE(value, nullptr);
      EXPECT_EQ(std::string(value), text);
      EXPECT_NE(static_cast<const void*>(value), static_cast<const void*>(ctxt.buffer.data));
   }
}

TEST_F(XerDecTextTest, BmpStrings) {
   setText("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
   ASN116BitCharString value{99, nullptr};
   ASSERT_EQ(xerDecBMPStr(&ctxt, &value), RTS_OK);
   ASSERT_EQ(value.nchars, 4u);
   EXPECT_EQ(value.data[0], 0x41);
   EXPECT_EQ(value.data[1], 0xE9);
   EXPECT_EQ(value.data[2], 0x20AC);
   EXPECT_EQ(value.data[3], 0xF600); // U+1F600 keeps its low 16 bits

   setText("");
   ASSERT_EQ(xerDecBMPStr(&ctxt, &value), RTS_OK);
   EXPECT_EQ(value.nchars, 0u);

   setText("a\xFF");
   EXPECT_EQ(xerDecBMPStr(&ctxt, &value), RTS_BAD_UTF8);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_UTF8);
}

TEST_F(XerDecTextTest, UniversalStrings) {
   setText("A\xE2\x82\xAC\xF0\x9F\x98\x80");
   ASN132BitCharString value{99, nullptr};
   ASSERT_EQ(xerDecUnivStr(&ctxt, &value), RTS_OK);
   ASSERT_EQ(value.nchars, 3u);
   EXPECT_EQ(value.data[0], 0x41u);
   EXPECT_EQ(value.data[1], 0x20ACu);
   EXPECT_EQ(value.data[2], 0x1F600u);

   setText("");
   ASSERT_EQ(xerDecUnivStr(&ctxt, &value), RTS_OK);
   EXPECT_EQ(value.nchars, 0u);

   setText("\xE2\x82");
   EXPECT_EQ(xerDecUnivStr(&ctxt, &value), RTS_BAD_UTF8);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_UTF8);
}

// ---- text comparison --------------------------------------------------------

TEST(XerCmpText, EqualOnlyWhenBothPresentAndIdentical) {
   struct Case {
      const char* a;
      const char* b;
      int result;
   };
   const Case cases[] = {
      {"Extension", "Extension", 1}, {"", "", 1},        {"Extension", "extension", 0},
      {"ab", "a", 0},                {"a", "ab", 0},     {nullptr, "a", 0},
      {"a", nullptr, 0},             {nullptr, nullptr, 0},
   };
   for (const Case& c : cases) EXPECT_EQ(xerCmpText(c.a, c.b), c.result);
}

}
