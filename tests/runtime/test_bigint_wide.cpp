// Big integers far beyond 128 bits in decimal and octal: the conversions
// work in word-sized chunks of digits, several chunks per pass, so every
// chunk and pass boundary, numbers of thousands of digits (work area on the
// heap) and the exact capacity limit are checked against a digit-by-digit
// schoolbook reference.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "rtBigInt.h"
#include "rtContext.h"
#include "rtMemHeap.h"

namespace {

/* Reference: the magnitude given by digits in radix, as big-endian octets
   without leading zeros (empty for zero), one digit at a time. */
std::vector<unsigned> referenceOctets(const std::string& digits, unsigned radix) {
   std::vector<unsigned> octets;
   for (char c : digits) {
      unsigned carry = static_cast<unsigned>(c - '0');
      for (size_t i = octets.size(); i-- > 0;) {
         unsigned value = octets[i] * radix + carry;
         octets[i] = value & 0xFF;
         carry = value >> 8;
      }
      for (; carry != 0; carry >>= 8) octets.insert(octets.begin(), carry & 0xFF);
   }
   return octets;
}

/* Reference: lower-case hexadecimal of the magnitude with a leading "0"
   digit pair, which the hexadecimal reader takes as a positive number. */
std::string referenceHex(const std::string& digits, unsigned radix) {
   static const char kDigits[] = "0123456789abcdef";
   std::string hex = "0x00";
   for (unsigned octet : referenceOctets(digits, radix)) {
      hex += kDigits[octet >> 4];
      hex += kDigits[octet & 0x0F];
   }
   return hex;
}

/* Digits without a leading zero, from a fixed seed. */
std::string randomDigits(size_t count, unsigned radix, unsigned seed) {
   std::mt19937 random(seed);
   std::string digits(1, static_cast<char>('1' + random() % (radix - 1)));
   while (digits.size() < count) digits += static_cast<char>('0' + random() % radix);
   return digits;
}

class WideBigInt : public ::testing::Test {
protected:
   void SetUp() override { ASSERT_EQ(rtInitContext(&ctxt, nullptr), RTS_OK); }
   void TearDown() override { rtFreeContext(&ctxt); }

   bool heapEmpty() const { return static_cast<ASN1MemHeap*>(ctxt.typeMemHeap)->head == nullptr; }

   /* text printed in radix after parsing it as given (prefix decides). */
   std::string reprint(const std::string& text, int radix) {
      ASN1BigInt number;
      rtBigIntInit(&number);
      EXPECT_EQ(rtBigIntSetStr(&ctxt, &number, text.c_str(), 0), RTS_OK);
      std::vector<char> out(static_cast<size_t>(rtBigIntDigitsNum(&number, radix)) + 2);
      EXPECT_EQ(rtBigIntToString(&ctxt, &number, radix, out.data(), static_cast<int>(out.size())),
                RTS_OK);
      rtBigIntFree(&ctxt, &number);
      return out.data();
   }

   ASN1CTXT ctxt;
};

struct DecimalCase {
   const char* decimal;
   const char* hex; /* the magnitude as a positive hexadecimal pattern */
};

TEST_F(WideBigInt, ChunkBoundariesConvertBothWays) {
   const DecimalCase cases[] = {
      {"999999999", "0x3b9ac9ff"},
      {"1000000000", "0x3b9aca00"},
      {"1000000001", "0x3b9aca01"},
      {"4294967295", "0x0ffffffff"},
      {"4294967296", "0x100000000"},
      {"999999999999999999", "0x0de0b6b3a763ffff"},
      {"1000000000000000000", "0x0de0b6b3a7640000"},
      {"18446744073709551616", "0x10000000000000000"},
      {"1000000000000000000000000000", "0x33b2e3c9fd0803ce8000000"},
      {"999999999999999999999999999999999999", "0x0c097ce7bc90715b34b9f0fffffffff"},
      {"1000000000000000000000000000000000000", "0x0c097ce7bc90715b34b9f1000000000"},
      {"1000000000000000000000000000000000000000000007", "0x2cd76fe086b93ce2f768a00b22a00000000007"},
   };
   for (const DecimalCase& c : cases) {
      EXPECT_EQ(reprint(c.decimal, 10), c.decimal);
      EXPECT_EQ(reprint(c.hex, 10), c.decimal) << c.hex;
      EXPECT_EQ(reprint(std::string("-") + c.decimal, 10), std::string("-") + c.decimal);
   }
   EXPECT_TRUE(heapEmpty());
}

TEST_F(WideBigInt, LongDecimalsMatchTheReference) {
   /* 600 digits fit the stack area of 512 octets; 1300 and 4000 do not. */
   for (size_t count : {9u, 10u, 18u, 19u, 100u, 600u, 1233u, 1300u, 4000u}) {
      std::string digits = randomDigits(count, 10, static_cast<unsigned>(count));
      std::string hex = referenceHex(digits, 10);
      EXPECT_EQ(reprint(hex, 10), digits) << count;
      /* Radix 16 prints the minimal two's complement: a zero octet in front
         only when the top bit of the magnitude is set. */
      std::string magnitude = hex.substr(4);
      EXPECT_EQ(reprint(digits, 16), (magnitude[0] >= '8' ? "00" : "") + magnitude) << count;
      EXPECT_EQ(reprint("-" + digits, 10), "-" + digits) << count;
   }
   EXPECT_TRUE(heapEmpty());
}

TEST_F(WideBigInt, LongOctalsMatchTheReference) {
   for (size_t count : {10u, 11u, 20u, 21u, 700u, 3000u}) {
      std::string digits = randomDigits(count, 8, static_cast<unsigned>(count) + 1);
      EXPECT_EQ(reprint(referenceHex(digits, 8), 8), digits) << count;
      EXPECT_EQ(reprint("0o" + digits, 8), digits) << count;
   }
   EXPECT_TRUE(heapEmpty());
}

TEST_F(WideBigInt, LongNumberNeedsRoomForEveryDigitSignAndTerminator) {
   const std::string digits = randomDigits(1500, 10, 3);
   ASN1BigInt number;
   rtBigIntInit(&number);
   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, ("-" + digits).c_str(), 10), RTS_OK);
   std::vector<char> out(1502);
   EXPECT_EQ(rtBigIntToString(&ctxt, &number, 10, out.data(), 1501), RTS_VALUE_TOO_LONG);
   EXPECT_EQ(ctxt.errInfo.status, RTS_VALUE_TOO_LONG);
   EXPECT_EQ(rtBigIntToString(&ctxt, &number, 10, out.data(), 1500), RTS_VALUE_TOO_LONG);
   ASSERT_EQ(rtBigIntToString(&ctxt, &number, 10, out.data(), 1502), RTS_OK);
   EXPECT_EQ(std::string(out.data()), "-" + digits);
   rtBigIntFree(&ctxt, &number);
   EXPECT_TRUE(heapEmpty());
}

TEST_F(WideBigInt, ParsedOctetsAreMinimalTwosComplement) {
   /* 2^2047 + 12345 needs a leading zero octet; its negation does not. */
   std::string digits = "1";
   for (int i = 0; i < 2047; ++i) {
      int carry = 0;
      for (size_t k = digits.size(); k-- > 0;) {
         int value = (digits[k] - '0') * 2 + carry;
         digits[k] = static_cast<char>('0' + value % 10);
         carry = value / 10;
      }
      if (carry != 0) digits.insert(digits.begin(), static_cast<char>('0' + carry));
   }
   ASN1BigInt number;
   rtBigIntInit(&number);
   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, digits.c_str(), 10), RTS_OK);
   ASSERT_EQ(number.numocts, 256);
   EXPECT_EQ(number.mag[0], 0x80);
   EXPECT_EQ(rtBigIntGetDataLen(&number), 257);
   rtBigIntFree(&ctxt, &number);
   ASSERT_EQ(rtBigIntSetStr(&ctxt, &number, ("-" + digits).c_str(), 10), RTS_OK);
   EXPECT_EQ(rtBigIntGetDataLen(&number), 256);
   rtBigIntFree(&ctxt, &number);
   EXPECT_TRUE(heapEmpty());
}

}
