// Constraints that are unions of ranges, as SIZE (1..4 | 8) and
// (MIN..-10 | 1..3 | 20..MAX): the exact set is checked, not its hull, on
// decoding, BER and XER encoding; and the bit capacity of a fixed BIT
// STRING, which bounds decoding below the size of its storage.
#include <climits>
#include <cstring>

#include "xer_fixture.h"

using namespace testmodule;

namespace {

class LimitsTest : public XerTest {};

std::string octetString(size_t count) {
   std::string der = "04 " + testsupport::toHex(std::string(1, static_cast<char>(count)));
   for (size_t i = 0; i < count; i++) der += " 5A";
   return der;
}

TEST_F(LimitsTest, SizeUnionAcceptsOnlyItsRanges) {
   for (size_t count = 0; count <= 10; count++) {
      const bool allowed = (count >= 1 && count <= 4) || count == 8;
      const int expected = allowed ? RTS_OK : RTS_CONSTRAINT;
      ASN1TDynOctStr key{};
      EXPECT_EQ(decode(&tKey, &key, octetString(count)), expected) << count;

      const std::string octets(count, 'Z');
      ASN1TDynOctStr value{static_cast<ASN1UINT>(count),
                           reinterpret_cast<const ASN1OCTET*>(octets.data())};
      EXPECT_EQ(encode(&tKey, &value), allowed ? H(octetString(count)) : status(RTS_CONSTRAINT))
         << count;
      EXPECT_EQ(toXer(&tKey, &value, true),
                allowed ? "<Key>" + testsupport::toHex(octets) + "</Key>" : status(RTS_CONSTRAINT))
         << count;
   }
}

TEST_F(LimitsTest, ValueUnionAcceptsOnlyItsRanges) {
   struct Case {
      ASN1INT value;
      bool allowed;
   };
   const Case cases[] = {
      {INT_MIN, true}, {-11, true}, {-10, true}, {-9, false}, {0, false},  {1, true},
      {3, true},       {4, false},  {19, false}, {20, true},  {INT_MAX, true},
   };
   for (const Case& c : cases) {
      const std::string der = encode(&tPort, &c.value);
      if (!c.allowed) {
         EXPECT_EQ(der, status(RTS_CONSTRAINT)) << c.value;
         continue;
      }
      ASN1INT back = 0;
      ASSERT_EQ(decode(&tPort, &back, der), RTS_OK) << c.value;
      EXPECT_EQ(back, c.value);
   }
   /* Decoding checks the same set. */
   ASN1INT value = 0;
   EXPECT_EQ(decode(&tPort, &value, "02 01 00"), RTS_CONSTRAINT);
   EXPECT_EQ(decode(&tPort, &value, "02 01 F7"), RTS_CONSTRAINT);  // -9
   EXPECT_EQ(decode(&tPort, &value, "02 01 02"), RTS_OK);
   EXPECT_EQ(value, 2);
}

TEST_F(LimitsTest, FixedBitStringDecodesUpToItsBitCapacityNotItsStorage) {
   struct Case {
      const char* der;
      int status;
      ASN1UINT numbits;
   };
   const Case cases[] = {
      {"03 02 00 FF", RTS_OK, 8},
      {"03 03 07 FF 80", RTS_OK, 9},
      /* xd_bitstr_s bounds the string by whole octets of the capacity. */
      {"03 03 00 FF FF", RTS_OK, 16},
      /* Three octets would fit the four of storage, but not 9 bits. */
      {"03 04 07 FF FF 80", RTS_VALUE_TOO_LONG, 0},
      {"23 0A 03 02 00 FF 03 04 07 FF FF 80", RTS_VALUE_TOO_LONG, 0},
   };
   for (const Case& c : cases) {
      Flags9 flags{};
      EXPECT_EQ(decode(&tFlags9, &flags, c.der), c.status) << c.der;
      if (c.status == RTS_OK) {
         EXPECT_EQ(flags.numbits, c.numbits) << c.der;
      }
   }
}

TEST_F(LimitsTest, FixedBitStringEncodesAndXerDecodesWithinTheSameCapacity) {
   Flags9 flags{};
   flags.numbits = 9;
   flags.data[0] = 0xFF;
   flags.data[1] = 0x80;
   EXPECT_EQ(encode(&tFlags9, &flags), H("03 03 07 FF 80"));
   flags.numbits = 17;
   EXPECT_EQ(encode(&tFlags9, &flags), status(RTS_VALUE_TOO_LONG));

   Flags9 fromText{};
   EXPECT_EQ(fromXer(&tFlags9, &fromText, "<Flags9>111111111</Flags9>"), RTS_OK);
   EXPECT_EQ(fromText.numbits, 9u);
   EXPECT_EQ(fromXer(&tFlags9, &fromText, "<Flags9>11111111111111111</Flags9>"),
             RTS_VALUE_TOO_LONG);
}

}
