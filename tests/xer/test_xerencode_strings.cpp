/* XER writer: the escaping table, 8-bit character strings, and BMPString
   and UniversalString values converted to UTF-8. */
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "test_xerencode_fixture.h"

namespace {

class XerStringsTest : public XerEncodeTest {
protected:
   void SetUp() override {
      XerEncodeTest::SetUp();
      compact();
   }
};

const std::map<unsigned char, std::string> kEscaped = {
   {0x08, "\\b"},    {0x09, "\\t"},   {0x0A, "\\n"},    {0x0C, "\\f"}, {0x0D, "\\r"},
   {'"', "&quot;"}, {'&', "&amp;"}, {'\'', "&apos;"}, {'<', "&lt;"}, {'>', "&gt;"},
};

/* Every byte value alone: the ten replacements, everything else as is. */
TEST_F(XerStringsTest, EscapingTableByteByByte) {
   for (int b = 0; b < 256; b++) {
      clear();
      char c = static_cast<char>(b);
      ASSERT_EQ(xerPutCharStr(&ctxt, &c, 1), RTS_OK);
      auto it = kEscaped.find(static_cast<unsigned char>(b));
      EXPECT_EQ(text(), it == kEscaped.end() ? std::string(1, c) : it->second) << "byte " << b;
   }
}

TEST_F(XerStringsTest, EscapingInsideText) {
   const struct {
      std::string value;
      std::string expected;
   } cases[] = {
      {"a<b & \"c\"", "a&lt;b &amp; &quot;c&quot;"},
      {"col1\tcol2", "col1\\tcol2"},
      {"line\r\nnext\f\b", "line\\r\\nnext\\f\\b"},
      {"it's <x>", "it&apos;s &lt;x&gt;"},
      {"plain", "plain"},
      {"\xc3\xa9\xe2\x82\xac", "\xc3\xa9\xe2\x82\xac"},
   };
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncAscCharStr(&ctxt, c.value.c_str(), "commonName"), RTS_OK);
      EXPECT_EQ(text(), "<commonName>" + c.expected + "</commonName>");
      EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   }
}

/* The text as the table says it is written. */
std::string escaped(const std::string& value) {
   std::string out;
   for (char c : value) {
      auto it = kEscaped.find(static_cast<unsigned char>(c));
      out += it == kEscaped.end() ? std::string(1, c) : it->second;
   }
   return out;
}

/* Replacements that straddle the 80-byte work area, and long text. */
TEST_F(XerStringsTest, LongTextWithReplacements) {
   std::string value;
   for (int i = 0; i < 700; i++) value += "abcdefg<hij&klmnop\"qrs\ttuvwxyz>"[i % 31];
   for (size_t cut : {size_t{78}, size_t{79}, size_t{80}, size_t{81}, size_t{700}}) {
      clear();
      std::string part = value.substr(0, cut);
      ASSERT_EQ(xerPutCharStr(&ctxt, part.data(), static_cast<int>(part.size())), RTS_OK);
      EXPECT_EQ(text(), escaped(part)) << cut;
   }
   clear();
   ASSERT_EQ(xerEncAscCharStr(&ctxt, value.c_str(), "t"), RTS_OK);
   EXPECT_EQ(text(), "<t>" + escaped(value) + "</t>");
}

TEST_F(XerStringsTest, PutCharStrLengthBelowOneWritesNothing) {
   ASSERT_EQ(xerPutCharStr(&ctxt, "abc", 0), RTS_OK);
   ASSERT_EQ(xerPutCharStr(&ctxt, "abc", -4), RTS_OK);
   ASSERT_EQ(xerPutCharStr(&ctxt, nullptr, 0), RTS_OK);
   EXPECT_EQ(text(), "");
   ASSERT_EQ(xerPutCharStr(&ctxt, "a<c", 2), RTS_OK);
   EXPECT_EQ(text(), "a&lt;");
}

TEST_F(XerStringsTest, AscCharStrArguments) {
   EXPECT_EQ(xerEncAscCharStr(&ctxt, "x", nullptr), RTS_BAD_ARGUMENT);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_ARGUMENT);
   EXPECT_EQ(text(), "");
   clear();
   EXPECT_EQ(xerEncAscCharStr(&ctxt, nullptr, "x"), RTS_BAD_VALUE);
   EXPECT_EQ(text(), "");
   clear();
   ASSERT_EQ(xerEncAscCharStr(&ctxt, "", "utcTime"), RTS_OK);
   EXPECT_EQ(text(), "<utcTime></utcTime>");
   clear();
   ASSERT_EQ(xerEncAscCharStr(&ctxt, "a&b", ""), RTS_OK);
   EXPECT_EQ(text(), "a&amp;b");
}

TEST_F(XerStringsTest, CharToUtf8AtEveryLength) {
   const struct {
      ASN132BITCHAR value;
      std::string expected;
   } cases[] = {
      {0x41, "A"},
      {0x3C, "&lt;"},
      {0x0A, "\\n"},
      {0x00, std::string(1, '\0')},
      {0x7F, "\x7f"},
      {0x80, "\xc2\x80"},
      {0xE9, "\xc3\xa9"},
      {0x7FF, "\xdf\xbf"},
      {0x800, "\xe0\xa0\x80"},
      {0x20AC, "\xe2\x82\xac"},
      {0xFFFF, "\xef\xbf\xbf"},
      {0x10000, "\xf0\x90\x80\x80"},
      {0x1F600, "\xf0\x9f\x98\x80"},
      {0x1FFFFF, "\xf7\xbf\xbf\xbf"},
      {0x200000, "\xf8\x88\x80\x80\x80"},
      {0x3FFFFFF, "\xfb\xbf\xbf\xbf\xbf"},
      {0x4000000, "\xfc\x84\x80\x80\x80\x80"},
      {0x7FFFFFFF, "\xfd\xbf\xbf\xbf\xbf\xbf"},
   };
   for (const auto& c : cases) {
      clear();
      ASSERT_EQ(xerEncChar(&ctxt, c.value), RTS_OK) << std::hex << c.value;
      EXPECT_EQ(text(), c.expected) << std::hex << c.value;
   }
}

TEST_F(XerStringsTest, BMPStringsToUtf8) {
   std::vector<ASN116BITCHAR> chars = {0x41, 0xE9, 0x20AC, 0x3C, 0x26, 0xD83D, 0xDE00, 0x09};
   ASN116BitCharString value{static_cast<ASN1UINT>(chars.size()), chars.data()};
   ASSERT_EQ(xerEncBMPStr(&ctxt, &value, "organizationName"), RTS_OK);
   /* Surrogate units are written one by one, three octets each. */
   EXPECT_EQ(text(),
             "<organizationName>A\xc3\xa9\xe2\x82\xac&lt;&amp;\xed\xa0\xbd\xed\xb8\x80\\t"
             "</organizationName>");
   EXPECT_EQ(ctxt.xerState, XERSTATE_END_TAG);
   clear();
   ASN116BitCharString empty{0, nullptr};
   ASSERT_EQ(xerEncBMPStr(&ctxt, &empty), RTS_OK);
   EXPECT_EQ(text(), "<BMPString></BMPString>");
   clear();
   EXPECT_EQ(xerEncBMPStr(&ctxt, nullptr), RTS_BAD_VALUE);
   EXPECT_EQ(text(), "");
}

TEST_F(XerStringsTest, LongBMPString) {
   std::vector<ASN116BITCHAR> chars;
   std::string expected;
   for (int i = 0; i < 600; i++) {
      chars.push_back(i % 2 ? 0x20AC : '>');
      expected += i % 2 ? "\xe2\x82\xac" : "&gt;";
   }
   ASN116BitCharString value{static_cast<ASN1UINT>(chars.size()), chars.data()};
   ASSERT_EQ(xerEncBMPStr(&ctxt, &value, "s"), RTS_OK);
   EXPECT_EQ(text(), "<s>" + expected + "</s>");
}

TEST_F(XerStringsTest, UniversalStringsToUtf8) {
   std::vector<ASN132BITCHAR> chars = {0x61, 0x1F600, 0x22, 0x7FFFFFFF};
   ASN132BitCharString value{static_cast<ASN1UINT>(chars.size()), chars.data()};
   ASSERT_EQ(xerEncUnivStr(&ctxt, &value), RTS_OK);
   EXPECT_EQ(text(),
             "<UniversalString>a\xf0\x9f\x98\x80&quot;\xfd\xbf\xbf\xbf\xbf\xbf</UniversalString>");
   clear();
   ASN132BitCharString empty{0, nullptr};
   ASSERT_EQ(xerEncUnivStr(&ctxt, &empty, "u"), RTS_OK);
   EXPECT_EQ(text(), "<u></u>");
}

/* A character with the top bit set stops the string; not recorded. */
TEST_F(XerStringsTest, UniversalStringTopBitRefused) {
   std::vector<ASN132BITCHAR> chars = {0x62, 0x80000000u, 0x63};
   ASN132BitCharString value{static_cast<ASN1UINT>(chars.size()), chars.data()};
   EXPECT_EQ(xerEncUnivStr(&ctxt, &value, "u"), RTS_BAD_UTF8);
   EXPECT_EQ(text(), "<u>b");
   EXPECT_EQ(ctxt.errInfo.status, RTS_OK);
   clear();
   EXPECT_EQ(xerEncChar(&ctxt, 0xFFFFFFFFu), RTS_BAD_UTF8);
   EXPECT_EQ(text(), "");
   EXPECT_EQ(ctxt.errInfo.status, RTS_OK);
}

}
