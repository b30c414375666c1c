// UTF-8: counting characters by lead octets, the size and encoding of one
// character, strict decoding of one character, and whole-text conversion to
// and from 32-bit characters, including cut sequences and full buffers.
#include <string>
#include <vector>

#include "heap_probe.h"
#include "rtUTF8.h"

namespace {

const ASN1OCTET* octets(const std::string& s) {
   return reinterpret_cast<const ASN1OCTET*>(s.c_str());
}

std::string bytes(const ASN1OCTET* p, int n) {
   return std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
}

TEST(UTF8, LenCountsLeadOctets) {
   struct Case {
      std::string text;
      int expected;
   };
   const Case cases[] = {
      {"", 0},
      {"abc", 3},
      {"\xE2\x82\xAC" "A", 2},
      {"\xC3\xA9", 1},
      {"\xF0\x9F\x98\x80", 1},
      {"\xF8\x88\x80\x80\x80", 1},
      {"\xFC\x84\x80\x80\x80\x80" "x", 2},
      {"A\xE2\x82", 2},                 // cut off by the terminator
      {"\xE2\x41\x42\x43", 2},          // continuation octets are not inspected
      {"\xFF", RTS_BAD_UTF8},
      {"\xFE", RTS_BAD_UTF8},
      {"a\x80", RTS_BAD_UTF8},          // a continuation octet where a lead belongs
      {"\xC3\xA9\xBF", RTS_BAD_UTF8},
   };
   for (const Case& tc : cases) {
      SCOPED_TRACE(testing::PrintToString(tc.text));
      EXPECT_EQ(rtUTF8Len(octets(tc.text)), tc.expected);
   }
   EXPECT_EQ(rtUTF8Len(nullptr), 0);
}

TEST(UTF8, LenBytesStopsAtTheTerminator) {
   EXPECT_EQ(rtUTF8LenBytes(nullptr), 0u);
   EXPECT_EQ(rtUTF8LenBytes(octets("")), 0u);
   EXPECT_EQ(rtUTF8LenBytes(octets("\xE2\x82\xAC" "A")), 4u);
}

struct CharCase {
   ASN132BITCHAR wc;
   std::string utf8;
};

const CharCase kCharCases[] = {
   {0x00, std::string(1, '\0')},
   {0x41, "A"},
   {0x7F, "\x7F"},
   {0x80, "\xC2\x80"},
   {0xE9, "\xC3\xA9"},
   {0x7FF, "\xDF\xBF"},
   {0x800, "\xE0\xA0\x80"},
   {0x20AC, "\xE2\x82\xAC"},
   {0xFFFF, "\xEF\xBF\xBF"},
   {0x10000, "\xF0\x90\x80\x80"},
   {0x1F600, "\xF0\x9F\x98\x80"},
   {0x1FFFFF, "\xF7\xBF\xBF\xBF"},
   {0x200000, "\xF8\x88\x80\x80\x80"},
   {0x3FFFFFF, "\xFB\xBF\xBF\xBF\xBF"},
   {0x4000000, "\xFC\x84\x80\x80\x80\x80"},
   {0x7FFFFFFF, "\xFD\xBF\xBF\xBF\xBF\xBF"},
};

TEST(UTF8, CharSizeEncodeAndDecodeAgree) {
   for (const CharCase& tc : kCharCases) {
      SCOPED_TRACE(tc.wc);
      const int size = static_cast<int>(tc.utf8.size());
      EXPECT_EQ(rtUTF8CharSize(tc.wc), size);

      ASN1OCTET buf[8];
      ASSERT_EQ(rtUTF8EncodeChar(tc.wc, buf, size), size);
      EXPECT_EQ(bytes(buf, size), tc.utf8);

      int len = 8;
      ASN1OCTET in[8] = {};
      tc.utf8.copy(reinterpret_cast<char*>(in), tc.utf8.size());
      EXPECT_EQ(rtUTF8DecodeChar(nullptr, in, &len), static_cast<int>(tc.wc));
      EXPECT_EQ(len, size);
   }
   EXPECT_EQ(rtUTF8CharSize(0x80000000u), 6);
}

TEST(UTF8, EncodeCharRefusesShortBuffersWithoutWriting) {
   struct Case {
      ASN132BITCHAR wc;
      int capacity;
      int expected;
   };
   const Case cases[] = {
      {0x20AC, 2, -1}, {0x20AC, 0, -1}, {0x41, 0, -1}, {0x41, -1, -1},
      {0x7FFFFFFF, 5, -1}, {0x80000000u, 6, RTS_BAD_UTF8},
   };
   for (const Case& tc : cases) {
      SCOPED_TRACE(tc.wc);
      ASN1OCTET buf[8] = {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA};
      EXPECT_EQ(rtUTF8EncodeChar(tc.wc, buf, tc.capacity), tc.expected);
      EXPECT_EQ(bytes(buf, 8), std::string(8, '\xAA'));
   }
}

TEST(UTF8, DecodeCharRejectsBadAndShortSequences) {
   struct Case {
      std::string in;
      int available;
      int expected;
      int consumed;  // the length afterwards; unchanged on failure
   };
   const Case cases[] = {
      {"\xC3\xA9", 2, 0xE9, 2},
      {"\xC3\xA9", 1, RTS_BAD_UTF8, 1},
      {"AB", 2, 0x41, 1},
      {"A", 0, RTS_BAD_UTF8, 0},
      {"\xE2\x82\xAC\x41", 4, 0x20AC, 3},
      {"\xE2\x82", 2, RTS_BAD_UTF8, 2},
      {"\xE2\x41\xAC", 3, RTS_BAD_UTF8, 3},
      {"\xE2\x82\xEC", 3, RTS_BAD_UTF8, 3},
      {"\x80", 1, RTS_BAD_UTF8, 1},
      {"\xFE", 1, RTS_BAD_UTF8, 1},
      {"\xFF", 1, RTS_BAD_UTF8, 1},
      {std::string("\xC0\x80", 2), 2, 0, 2},  // overlong form accepted
      {"\xED\xA0\x80", 3, 0xD800, 3},          // surrogate accepted
   };
   for (const Case& tc : cases) {
      SCOPED_TRACE(testing::PrintToString(tc.in));
      int len = tc.available;
      EXPECT_EQ(rtUTF8DecodeChar(nullptr, octets(tc.in), &len), tc.expected);
      EXPECT_EQ(len, tc.consumed);
   }
   int len = 1;
   EXPECT_EQ(rtUTF8DecodeChar(nullptr, nullptr, &len), RTS_BAD_UTF8);
   EXPECT_EQ(rtUTF8DecodeChar(nullptr, octets("A"), nullptr), RTS_BAD_UTF8);
}

class UTF8Text : public HeapProbeTest {};

TEST_F(UTF8Text, ToWCSDecodesWholeText) {
   struct Case {
      std::string text;
      ASN1UINT capacity;
      int expected;
      std::vector<ASN132BITCHAR> chars;
   };
   const Case cases[] = {
      {"A\xE2\x82\xAC\xC3\xA9", 3, 3, {0x41, 0x20AC, 0xE9}},
      {"A\xE2\x82\xAC\xC3\xA9", 8, 3, {0x41, 0x20AC, 0xE9}},
      {"A\xE2\x82\xAC\xC3\xA9", 2, -1, {0x41, 0x20AC}},
      {"", 0, 0, {}},
      {"A", 0, -1, {}},
      {"A\xE2\x82", 4, 2, {0x41, 0x82}},          // cut: the bits read so far
      {"\xF0\x9F", 4, 1, {0x1F}},
      {"\xFD\xBF\xBF\xBF\xBF\xBF", 1, 1, {0x7FFFFFFF}},
   };
   for (const Case& tc : cases) {
      SCOPED_TRACE(testing::PrintToString(tc.text));
      std::vector<ASN132BITCHAR> out(8, 0xDEAD);
      EXPECT_EQ(rtUTF8ToWCS(&ctxt, octets(tc.text), out.data(), tc.capacity), tc.expected);
      out.resize(tc.chars.size());
      EXPECT_EQ(out, tc.chars);
   }
   EXPECT_EQ(ctxt.errInfo.status, 0);
   EXPECT_EQ(rtUTF8ToWCS(&ctxt, nullptr, nullptr, 0), 0);
}

TEST_F(UTF8Text, ToWCSRecordsBadOctets) {
   for (const char* text : {"ab\xFF", "\xC3\x41", "\x80"}) {
      SCOPED_TRACE(text);
      ASN132BITCHAR out[4];
      rtErrReset(&ctxt.errInfo);
      EXPECT_EQ(rtUTF8ToWCS(&ctxt, octets(text), out, 4), RTS_BAD_UTF8);
      EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_UTF8);
   }
   ASN132BITCHAR out[1];
   EXPECT_EQ(rtUTF8ToWCS(nullptr, octets("\xFF"), out, 1), RTS_BAD_UTF8);
}

TEST_F(UTF8Text, WCSToUTF8EncodesWholeText) {
   const ASN132BITCHAR chars[] = {0x41, 0x20AC, 0xE9};
   struct Case {
      ASN1UINT count;
      ASN1UINT capacity;
      int expected;
      std::string out;
   };
   const Case cases[] = {
      {3, 6, 6, "A\xE2\x82\xAC\xC3\xA9"},
      {3, 64, 6, "A\xE2\x82\xAC\xC3\xA9"},
      {3, 5, -1, "A\xE2\x82\xAC"},   // the last character does not fit
      {3, 3, -1, "A"},
      {0, 0, 0, ""},
   };
   for (const Case& tc : cases) {
      SCOPED_TRACE(tc.capacity);
      ASN1OCTET buf[64];
      EXPECT_EQ(rtWCSToUTF8(&ctxt, chars, tc.count, buf, tc.capacity), tc.expected);
      EXPECT_EQ(bytes(buf, static_cast<int>(tc.out.size())), tc.out);
   }
   EXPECT_EQ(ctxt.errInfo.status, 0);

   const ASN132BITCHAR bad[] = {0x41, 0x80000000u};
   ASN1OCTET buf[16];
   EXPECT_EQ(rtWCSToUTF8(&ctxt, bad, 2, buf, sizeof(buf)), RTS_BAD_UTF8);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_UTF8);
}

TEST_F(UTF8Text, TextRoundTripsThroughWideCharacters) {
   std::string text;
   for (const CharCase& tc : kCharCases)
      if (tc.wc != 0) text += tc.utf8;
   std::vector<ASN132BITCHAR> wide(32);
   const int nchars = rtUTF8ToWCS(&ctxt, octets(text), wide.data(), 32);
   ASSERT_EQ(nchars, rtUTF8Len(octets(text)));
   ASN1OCTET back[128];
   const int nbytes =
      rtWCSToUTF8(&ctxt, wide.data(), static_cast<ASN1UINT>(nchars), back, sizeof(back));
   EXPECT_EQ(bytes(back, nbytes), text);
}

TEST_F(UTF8Text, StrdupCopiesIntoTheHeap) {
   const std::string text = "caf\xC3\xA9";
   ASN1OCTET* copy = rtUTF8Strdup(&ctxt, octets(text));
   ASSERT_NE(copy, nullptr);
   EXPECT_NE(copy, octets(text));
   EXPECT_EQ(bytes(copy, 6), text + '\0');
   EXPECT_EQ(rtMemHeapBlockSize(copy), 6u);
   EXPECT_EQ(liveBlocks(), 1u);
   ASN1MEMFREEPTR(&ctxt, copy);

   EXPECT_EQ(rtUTF8Strdup(&ctxt, nullptr), nullptr);
   failAfter(0);
   EXPECT_EQ(rtUTF8Strdup(&ctxt, octets(text)), nullptr);
   EXPECT_EQ(liveBlocks(), 0u);
}

}
