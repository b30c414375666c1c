// BIT STRING text is converted eight digits at a time wherever a whole
// octet of digits lies ahead: every split of the text into two character
// events, blanks at every position and a bad character at every position
// must give what a one-digit-at-a-time reference gives.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "rtContext.h"
#include "rtMemHeap.h"
#include "xerDecode.h"

namespace {

struct Bits {
   std::vector<unsigned> octets;
   unsigned bitOffset = 0; /* bits used in the last octet, 0 when full */
};

/* Reference: digits packed high bit first, blanks skipped. */
Bits referenceBits(const std::string& text) {
   Bits bits;
   unsigned count = 0;
   for (char c : text) {
      if (c != '0' && c != '1') continue;
      if (count % 8 == 0) bits.octets.push_back(0);
      if (c == '1') bits.octets.back() |= 0x80u >> (count % 8);
      ++count;
   }
   bits.bitOffset = count % 8;
   return bits;
}

std::string randomBits(size_t count, std::mt19937& random) {
   std::string text;
   for (size_t i = 0; i < count; ++i) text += random() % 2 != 0 ? '1' : '0';
   return text;
}

class XerDecBitRuns : public ::testing::Test {
protected:
   void SetUp() override {
      ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK);
      rtMemBufInit(&ctxt, &memBuf, 1024);
   }
   void TearDown() override { rtFreeContext(&ctxt); }

   /* Converts the pieces as successive character events. */
   Bits convert(const std::vector<std::string>& pieces) {
      rtMemBufReset(&memBuf);
      for (const std::string& piece : pieces) {
         EXPECT_EQ(xerDecBitStrMemBuf(&memBuf, piece.data(), static_cast<int>(piece.size()), 1),
                   RTS_OK);
      }
      Bits bits;
      for (ASN1UINT i = 0; i < memBuf.usedcnt; ++i) bits.octets.push_back(memBuf.buffer[i]);
      bits.bitOffset = memBuf.bitOffset;
      return bits;
   }

   ASN1CTXT ctxt;
   ASN1MemBuf memBuf;
};

void expectSame(const Bits& actual, const Bits& expected, const std::string& what) {
   EXPECT_EQ(actual.octets, expected.octets) << what;
   EXPECT_EQ(actual.bitOffset, expected.bitOffset) << what;
}

TEST_F(XerDecBitRuns, EverySplitGivesTheReferenceOctets) {
   std::mt19937 random(11);
   for (size_t length : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 64u, 100u}) {
      const std::string text = randomBits(length, random);
      const Bits expected = referenceBits(text);
      expectSame(convert({text}), expected, text);
      for (size_t split = 0; split <= length; ++split) {
         expectSame(convert({text.substr(0, split), text.substr(split)}), expected,
                    text + " split at " + std::to_string(split));
      }
   }
}

TEST_F(XerDecBitRuns, BlanksAnywhereAreSkipped) {
   std::mt19937 random(12);
   const std::string text = randomBits(40, random);
   const Bits expected = referenceBits(text);
   for (size_t at = 0; at <= text.size(); ++at) {
      for (const char* blank : {" ", "\n", "\t", "\r\n  "}) {
         std::string spaced = text.substr(0, at) + blank + text.substr(at);
         expectSame(convert({spaced}), expected, "blank at " + std::to_string(at));
      }
   }
}

TEST_F(XerDecBitRuns, KnownOctetsFromFullRuns) {
   struct Case {
      const char* text;
      std::vector<unsigned> octets;
      unsigned bitOffset;
   };
   const Case cases[] = {
      {"10000000", {0x80}, 0},
      {"00000001", {0x01}, 0},
      {"1111111100000000", {0xFF, 0x00}, 0},
      {"0101010110101010", {0x55, 0xAA}, 0},
      {"111111111", {0xFF, 0x80}, 1},
      {"1 0000000 1", {0x80, 0x80}, 1},
   };
   for (const Case& c : cases) {
      Bits bits = convert({c.text});
      EXPECT_EQ(bits.octets, c.octets) << c.text;
      EXPECT_EQ(bits.bitOffset, c.bitOffset) << c.text;
   }
}

TEST_F(XerDecBitRuns, BadCharacterAnywhereFailsBeforeAnyOctet) {
   std::mt19937 random(13);
   const std::string text = randomBits(24, random);
   for (size_t at = 0; at < text.size(); ++at) {
      for (char bad : {'2', '/', 'a', static_cast<char>(0xB1)}) {
         std::string wrong = text;
         wrong[at] = bad;
         rtMemBufReset(&memBuf);
         rtErrReset(&ctxt.errInfo);
         EXPECT_EQ(xerDecBitStrMemBuf(&memBuf, wrong.data(), static_cast<int>(wrong.size()), 1),
                   RTS_BAD_BIT_TEXT)
            << at;
         EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_BIT_TEXT);
         EXPECT_EQ(memBuf.usedcnt, 0u) << at;
      }
   }
}

TEST_F(XerDecBitRuns, BlankIsBadWhenNotSkipped) {
   const std::string text = "0000 1111";
   rtMemBufReset(&memBuf);
   EXPECT_EQ(xerDecBitStrMemBuf(&memBuf, text.data(), static_cast<int>(text.size()), 0),
             RTS_BAD_BIT_TEXT);
}

}
