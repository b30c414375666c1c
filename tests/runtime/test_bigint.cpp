// Big integers: parsing in every radix, minimal two's-complement octets,
// text output in radix 10, 16, 2 and 8, comparison, capacities, lent work
// areas, and random round trips against an independent 128-bit reference.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

#include "rtBigInt.h"
#include "rtContext.h"
#include "rtMemHeap.h"

namespace {

std::string hexOf(const ASN1OCTET* data, size_t n) {
   static const char kDigits[] = "0123456789abcdef";
   std::string out;
   for (size_t i = 0; i < n; ++i) {
      out += kDigits[data[i] >> 4];
      out += kDigits[data[i] & 0x0F];
   }
   return out;
}

class BigInt : public ::testing::Test {
protected:
   void SetUp() override { ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK); }
   void TearDown() override {
      freeNumbers();
      rtFreeContext(&ctxt);
   }

   /* True when every block of the context's heap has been given back. */
   bool heapEmpty() const { return static_cast<ASN1MemHeap*>(ctxt.typeMemHeap)->head == nullptr; }

   /* Parses text that must convert; the number is freed by the fixture. */
   ASN1BigInt& parse(const char* text, int radix = 0) {
      numbers.emplace_back();
      ASN1BigInt& number = numbers.back();
      rtBigIntInit(&number);
      EXPECT_EQ(rtBigIntSetStr(&ctxt, &number, text, radix), RTS_OK) << text;
      return number;
   }

   std::string octetsOf(const ASN1BigInt& number) {
      ASN1OCTET out[300];
      int len = rtBigIntGetData(&ctxt, &number, out, sizeof out);
      EXPECT_GT(len, 0);
      return len > 0 ? hexOf(out, static_cast<size_t>(len)) : std::string();
   }

   std::string textOf(const ASN1BigInt& number, int radix) {
      char out[2500];
      EXPECT_EQ(rtBigIntToString(&ctxt, &number, radix, out, sizeof out), RTS_OK);
      return out;
   }

   void freeNumbers() {
      for (ASN1BigInt& number : numbers) rtBigIntFree(&ctxt, &number);
      numbers.clear();
   }

   ASN1CTXT ctxt;
   std::deque<ASN1BigInt> numbers; /* references stay valid as it grows */
};

struct ParseCase {
   const char* text;
   int radix;
   int sign;
   const char* magnitude;
};

TEST_F(BigInt, ParsesEveryRadixAndPrefix) {
   const ParseCase cases[] = {
      {"12345678901234567890", 0, 1, "ab54a98ceb1f0ad2"},
      {"-8388609", 0, -1, "800001"},
      {"0x0080", 0, 1, "80"},
      {"0x8000", 0, -1, "8000"},
      {"0xff", 0, -1, "01"},
      {"0x0ff", 0, 1, "ff"},
      {"0x80", 0, -1, "80"},
      {"0x180", 0, 1, "0180"},
      {"0xff00", 0, -1, "0100"},
      {"0x7", 0, 1, "07"},
      {"0X1F", 0, 1, "1f"},
      {"0x00", 0, 0, ""},
      {"-0", 0, 0, ""},
      {"0", 0, 0, ""},
      {"  42", 0, 1, "2a"},
      {"000123", 0, 1, "7b"},
      {"-256", 0, -1, "0100"},
      {"0b11111111", 0, -1, "01"},
      {"0b011111111", 0, 1, "ff"},
      {"0b1", 0, 1, "01"},
      {"0b110000000", 0, 1, "0180"},
      {"0o777", 0, 1, "01ff"},
      {"0o-10", 0, -1, "08"},
      {"ff", 16, -1, "01"},
      {"0ff", 16, 1, "ff"},
      {"255", 10, 1, "ff"},
      {"-255", 10, -1, "ff"},
      {"377", 8, 1, "ff"},
      {"10000000", 2, -1, "80"},
      {"4294967296", 0, 1, "0100000000"},
   };
   for (const ParseCase& c : cases) {
      ASN1BigInt& number = parse(c.text, c.radix);
      EXPECT_EQ(number.sign, c.sign) << c.text;
      EXPECT_EQ(hexOf(number.mag, static_cast<size_t>(number.numocts)), c.magnitude) << c.text;
   }
   EXPECT_EQ(ctxt.errInfo.status, 0);
}

struct RejectCase {
   const char* text;
   int radix;
   int status;
};

TEST_F(BigInt, RejectsBadTextAndRadix) {
   const RejectCase cases[] = {
      {"-", 0, RTS_BAD_VALUE},       {"", 0, RTS_BAD_VALUE},       {"   ", 0, RTS_BAD_VALUE},
      {"0x", 0, RTS_BAD_VALUE},      {"0b", 0, RTS_BAD_VALUE},
      {"12a", 0, RTS_BAD_VALUE},     {"1 2", 0, RTS_BAD_VALUE},    {"-+5", 0, RTS_BAD_VALUE},
      {"+5", 0, RTS_BAD_VALUE},      {"--5", 0, RTS_BAD_VALUE},    {"42 ", 0, RTS_BAD_VALUE},
      {"0xfg", 0, RTS_BAD_VALUE},    {"0b102", 0, RTS_BAD_VALUE},  {"0o8", 0, RTS_BAD_VALUE},
      {"0xff", 16, RTS_BAD_VALUE},   {"19", 8, RTS_BAD_VALUE},     {"-", 8, RTS_BAD_VALUE},
      {"12", 7, RTS_BAD_ARGUMENT},   {"12", 1, RTS_BAD_ARGUMENT},  {"12", 36, RTS_BAD_ARGUMENT},
   };
   for (const RejectCase& c : cases) {
      ASN1BigInt number;
      rtBigIntInit(&number);
      rtErrReset(&ctxt.errInfo);
      EXPECT_EQ(rtBigIntSetStr(&ctxt, &number, c.text, c.radix), c.status) << c.text;
      EXPECT_EQ(ctxt.errInfo.status, c.status) << c.text;
      rtBigIntFree(&ctxt, &number);
   }
   EXPECT_TRUE(heapEmpty());
}

struct OctetsCase {
   const char* text;
   const char* octets;
};

TEST_F(BigInt, MinimalTwosComplementOctets) {
   const OctetsCase cases[] = {
      {"12345678901234567890", "00ab54a98ceb1f0ad2"},
      {"-12345678901234567890", "ff54ab567314e0f52e"},
      {"-8388609", "ff7fffff"},
      {"-8388608", "800000"},
      {"0", "00"},
      {"-0", "00"},
      {"1", "01"},
      {"127", "7f"},
      {"128", "0080"},
      {"255", "00ff"},
      {"256", "0100"},
      {"-1", "ff"},
      {"-128", "80"},
      {"-129", "ff7f"},
      {"-256", "ff00"},
      {"-32768", "8000"},
      {"-32769", "ff7fff"},
      {"0x8000", "8000"},
      {"0xff", "ff"},
      {"0x0ff", "00ff"},
      {"0x80", "80"},
      {"0x180", "0180"},
      {"0x0080", "0080"},
   };
   for (const OctetsCase& c : cases) {
      const ASN1BigInt& number = parse(c.text);
      EXPECT_EQ(rtBigIntGetDataLen(&number), static_cast<int>(std::string(c.octets).size() / 2)) << c.text;
      EXPECT_EQ(octetsOf(number), c.octets) << c.text;
   }
}

TEST_F(BigInt, GetDataRefusesTooSmallDestination) {
   const ASN1BigInt& number = parse("12345678901234567890");
   ASN1OCTET out[9] = {};
   EXPECT_EQ(rtBigIntGetData(&ctxt, &number, out, 8), RTS_VALUE_TOO_LONG);
   EXPECT_EQ(ctxt.errInfo.status, RTS_VALUE_TOO_LONG);
   EXPECT_EQ(hexOf(out, 9), "000000000000000000");
   EXPECT_EQ(rtBigIntGetData(&ctxt, &number, out, 9), 9);
   EXPECT_EQ(hexOf(out, 9), "00ab54a98ceb1f0ad2");
}

struct TextCase {
   const char* text;
   int radix;
   const char* expected;
};

TEST_F(BigInt, PrintsInEveryRadix) {
   const TextCase cases[] = {
      {"-129", 16, "ff7f"},
      {"255", 16, "00ff"},
      {"0", 16, "00"},
      {"-1", 16, "ff"},
      {"12345678901234567890", 16, "00ab54a98ceb1f0ad2"},
      {"-129", 2, "1111111101111111"},
      {"255", 2, "0000000011111111"},
      {"0", 2, "00000000"},
      {"5", 2, "00000101"},
      {"12345678901234567890", 10, "12345678901234567890"},
      {"-8388609", 10, "-8388609"},
      {"0", 10, "0"},
      {"-0", 10, "0"},
      {"5", 10, "5"},
      {"-5", 10, "-5"},
      {"100", 10, "100"},
      {"1000000", 10, "1000000"},
      {"1000001", 10, "1000001"},
      {"0xff", 10, "-1"},
      {"0x0080", 10, "128"},
      {"0x8000", 10, "-32768"},
      {"0x0100000000", 10, "4294967296"},
      {"0o777", 8, "777"},
      {"-8", 8, "-10"},
      {"0", 8, "0"},
      {"4294967296", 8, "40000000000"},
   };
   for (const TextCase& c : cases) EXPECT_EQ(textOf(parse(c.text), c.radix), c.expected) << c.text;
}

struct CapacityCase {
   const char* text;
   int radix;
   int tooSmall; /* largest capacity that is refused; one more fits */
};

TEST_F(BigInt, PrintRefusesTooSmallDestination) {
   const CapacityCase cases[] = {
      {"12345", 10, 5}, {"-12345", 10, 6}, {"0", 10, 1}, {"-5", 10, 2},
      {"255", 16, 4},   {"0", 16, 2},      {"-129", 2, 16}, {"7", 8, 1},
   };
   for (const CapacityCase& c : cases) {
      const ASN1BigInt& number = parse(c.text);
      char out[40];
      rtErrReset(&ctxt.errInfo);
      EXPECT_EQ(rtBigIntToString(&ctxt, &number, c.radix, out, c.tooSmall), RTS_VALUE_TOO_LONG) << c.text;
      EXPECT_EQ(ctxt.errInfo.status, RTS_VALUE_TOO_LONG) << c.text;
      EXPECT_EQ(rtBigIntToString(&ctxt, &number, c.radix, out, c.tooSmall + 1), RTS_OK) << c.text;
      EXPECT_EQ(std::string(out).size(), static_cast<size_t>(c.tooSmall)) << c.text;
   }
   freeNumbers();
   EXPECT_TRUE(heapEmpty());
}

TEST_F(BigInt, PrintRejectsUnknownRadix) {
   const ASN1BigInt& number = parse("12");
   char out[10];
   EXPECT_EQ(rtBigIntToString(&ctxt, &number, 7, out, sizeof out), RTS_BAD_ARGUMENT);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_ARGUMENT);
   EXPECT_EQ(rtBigIntDigitsNum(&number, 12), RTS_BAD_ARGUMENT);
}

TEST_F(BigInt, DigitsNumBoundsThePrintedText) {
   const ASN1BigInt& number = parse("-12345678901234567890");
   ASSERT_EQ(number.numocts, 8);
   EXPECT_EQ(rtBigIntDigitsNum(&number, 10), 21);
   EXPECT_EQ(rtBigIntDigitsNum(&number, 16), 18);
   EXPECT_EQ(rtBigIntDigitsNum(&number, 2), 72);
   EXPECT_EQ(rtBigIntDigitsNum(&number, 8), 24);
   for (int radix : {2, 8, 10, 16}) {
      std::vector<char> out(static_cast<size_t>(rtBigIntDigitsNum(&number, radix)) + 1);
      EXPECT_EQ(rtBigIntToString(&ctxt, &number, radix, out.data(), static_cast<int>(out.size())), RTS_OK)
         << radix;
   }
   const ASN1BigInt& zero = parse("0");
   EXPECT_EQ(rtBigIntDigitsNum(&zero, 16), 2);
}

struct CompareCase {
   const char* left;
   const char* right;
   int expected;
};

TEST_F(BigInt, ComparesTexts) {
   const CompareCase cases[] = {
      {"100", "0x64", 0},
      {"-5", "3", -1},
      {"3", "-5", 1},
      {"0", "-0", 0},
      {"0", "1", -1},
      {"-1", "0", -1},
      {"0xff", "-1", 0},
      {"255", "0x0ff", 0},
      {"7", "70", -1},
      {"300", "299", 1},
      {"12345678901234567890", "12345678901234567889", 1},
      {"-12345678901234567890", "-12345678901234567889", -1},
      {"-12345678901234567890", "-9", -1},
      {"0b101", "5", 0},
      {"0o17", "15", 0},
   };
   for (const CompareCase& c : cases)
      EXPECT_EQ(rtBigIntStrCompare(&ctxt, c.left, c.right), c.expected) << c.left << " vs " << c.right;
   EXPECT_EQ(ctxt.errInfo.status, 0);
   EXPECT_TRUE(heapEmpty());
}

TEST_F(BigInt, CompareCountsBadTextAsZeroWithoutRecordingIt) {
   EXPECT_EQ(rtBigIntStrCompare(&ctxt, "abc", "0"), 0);
   EXPECT_EQ(rtBigIntStrCompare(&ctxt, "-", "1"), -1);
   EXPECT_EQ(rtBigIntStrCompare(&ctxt, "-3", nullptr), -1);
   EXPECT_EQ(ctxt.errInfo.status, 0);
   xu_error(&ctxt, RTS_NOT_FOUND);
   EXPECT_EQ(rtBigIntStrCompare(&ctxt, "x", "y"), 0);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NOT_FOUND);
}

TEST_F(BigInt, CompareGrowsBeyondItsWorkAreas) {
   const std::string big(700, '9');
   const std::string bigger = "1" + std::string(700, '0');
   EXPECT_EQ(rtBigIntStrCompare(&ctxt, big.c_str(), bigger.c_str()), -1);
   EXPECT_EQ(rtBigIntStrCompare(&ctxt, ("-" + big).c_str(), ("-" + bigger).c_str()), 1);
   EXPECT_EQ(rtBigIntStrCompare(&ctxt, bigger.c_str(), bigger.c_str()), 0);
   EXPECT_TRUE(heapEmpty());
}

TEST_F(BigInt, LentWorkAreaIsUsedThenOutgrown) {
   ASN1OCTET area[4];
   ASN1BigInt number;
   rtBigIntInit(&number);
   number.mag = area;
   number.allocated = sizeof area;

   /* Eight decimal digits reserve four octets; a hexadecimal pattern takes
      exactly its own octets. */
   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, "16777215", 10), RTS_OK);
   EXPECT_EQ(number.mag, area);
   EXPECT_EQ(number.dynamic, 0);
   EXPECT_EQ(hexOf(number.mag, static_cast<size_t>(number.numocts)), "ffffff");
   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, "0x7fffffff", 0), RTS_OK);
   EXPECT_EQ(number.mag, area);
   EXPECT_EQ(hexOf(number.mag, static_cast<size_t>(number.numocts)), "7fffffff");
   EXPECT_TRUE(heapEmpty());

   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, "4294967296", 10), RTS_OK);
   EXPECT_NE(number.mag, area);
   EXPECT_EQ(number.dynamic, 1);
   EXPECT_EQ(number.allocated, 5);
   EXPECT_EQ(hexOf(number.mag, static_cast<size_t>(number.numocts)), "0100000000");
   EXPECT_FALSE(heapEmpty());

   /* A dynamic magnitude that is large enough is reused. */
   ASN1OCTET* grown = number.mag;
   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, "0x0102", 0), RTS_OK);
   EXPECT_EQ(number.mag, grown);
   EXPECT_EQ(hexOf(number.mag, static_cast<size_t>(number.numocts)), "0102");

   rtBigIntFree(&ctxt, &number);
   EXPECT_TRUE(heapEmpty());
   EXPECT_EQ(number.mag, nullptr);
   EXPECT_EQ(number.allocated, 0);
   EXPECT_EQ(number.numocts, 0);
}

TEST_F(BigInt, FreeLeavesLentAreaAlone) {
   ASN1OCTET area[16];
   ASN1BigInt number;
   rtBigIntInit(&number);
   number.mag = area;
   number.allocated = sizeof area;
   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, "-300", 0), RTS_OK);
   rtBigIntFree(&ctxt, &number);
   EXPECT_EQ(number.mag, area);
   EXPECT_EQ(number.sign, -1);
   EXPECT_EQ(hexOf(number.mag, static_cast<size_t>(number.numocts)), "012c");
}

TEST_F(BigInt, PrintingTakesNoLastingMemory) {
   ASN1OCTET area[64];
   ASN1BigInt number;
   rtBigIntInit(&number);
   number.mag = area;
   number.allocated = sizeof area;
   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, "-98765432109876543210987654321", 0), RTS_OK);
   EXPECT_EQ(textOf(number, 10), "-98765432109876543210987654321");
   EXPECT_EQ(textOf(number, 16), "fec0df263d000762c71e38f34f");
   EXPECT_TRUE(heapEmpty());
}

/* Independent reference for values within 128 bits. */
std::string decimalOf(__int128 value) {
   if (value == 0) return "0";
   bool negative = value < 0;
   unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(value)
                                          : static_cast<unsigned __int128>(value);
   std::string digits;
   for (; magnitude != 0; magnitude /= 10) digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
   return negative ? "-" + digits : digits;
}

std::string minimalOctetsOf(__int128 value) {
   ASN1OCTET octets[16];
   unsigned __int128 bits = static_cast<unsigned __int128>(value);
   for (int i = 15; i >= 0; --i, bits >>= 8) octets[i] = static_cast<ASN1OCTET>(bits);
   int start = 0;
   /* Drop a leading octet while the next one carries the same sign (X.690 8.3.2). */
   while (start < 15 && ((octets[start] == 0x00 && (octets[start + 1] & 0x80) == 0) ||
                         (octets[start] == 0xFF && (octets[start + 1] & 0x80) != 0)))
      ++start;
   return hexOf(octets + start, static_cast<size_t>(16 - start));
}

TEST_F(BigInt, RandomValuesMatch128BitReference) {
   std::mt19937_64 random(20240611);
   for (int i = 0; i < 2000; ++i) {
      unsigned __int128 bits = (static_cast<unsigned __int128>(random()) << 64) | random();
      bits >>= 1 + random() % 127; /* spread the lengths; stays positive */
      __int128 value = static_cast<__int128>(bits);
      if (random() % 2 == 0) value = -value;
      const std::string text = decimalOf(value);
      const ASN1BigInt& number = parse(text.c_str());
      EXPECT_EQ(octetsOf(number), minimalOctetsOf(value)) << text;
      EXPECT_EQ(textOf(number, 10), text);
      EXPECT_EQ(textOf(number, 16), minimalOctetsOf(value)) << text;
      if (i % 100 == 0) freeNumbers();
   }
}

TEST_F(BigInt, RandomDecimalsRoundTripThroughOctets) {
   std::mt19937 random(777);
   for (int i = 0; i < 400; ++i) {
      const size_t ndigits = 1 + random() % 300;
      std::string digits(1, static_cast<char>('1' + random() % 9));
      while (digits.size() < ndigits) digits += static_cast<char>('0' + random() % 10);
      const std::string text = (random() % 2 == 0 ? "-" : "") + digits;

      const ASN1BigInt& number = parse(text.c_str());
      const std::string octets = octetsOf(number);
      const ASN1BigInt& back = parse(("0x" + octets).c_str());
      EXPECT_EQ(back.sign, number.sign) << text;
      EXPECT_EQ(textOf(back, 10), text);
      EXPECT_EQ(textOf(number, 16), octets);
      EXPECT_EQ(rtBigIntStrCompare(&ctxt, text.c_str(), ("0x" + octets).c_str()), 0) << text;
      freeNumbers();
   }
   EXPECT_TRUE(heapEmpty());
}

TEST_F(BigInt, BinaryTextRoundTrips) {
   const char* texts[] = {"0", "1", "-1", "127", "-128", "-129", "65535", "-12345678901234567890"};
   for (const char* text : texts) {
      const std::string bits = textOf(parse(text), 2);
      EXPECT_EQ(textOf(parse(bits.c_str(), 2), 10), text) << bits;
   }
}

}
