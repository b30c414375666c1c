// Primitive kinds inside a SEQUENCE: wide character strings, fixed-size
// octet and bit strings, ENUMERATED items, SIZE and value constraints, both
// directions.
#include "engine_fixture.h"

using namespace testmodule;

namespace {

const std::string kBmp = "1E 04 00 41 20 AC";  // "A€"
const std::string kUni = "1C 04 00 00 00 41";  // "A"
const std::string kKey = "04 04 01 02 03 04";
const std::string kUsage = "80 03 07 86 80";     // [0] IMPLICIT, 9 bits
const std::string kReason = "0A 01 08";
const std::string kSmall = "02 02 01 00";        // 256
const std::string kAll = tlv("30", kBmp + kUni + kKey + kUsage + kReason + kSmall + "05 00");
const std::string kRequiredOnly = tlv("30", kBmp + kUni + kKey);

class PrimitivesTest : public EngineTest {};

TEST_F(PrimitivesTest, EveryKindDecodesAndEncodesTheSameOctets) {
   Strings s{};
   ASSERT_EQ(decode(&tStrings, &s, kAll), RTS_OK);
   ASSERT_EQ(s.bmp.nchars, 2u);
   EXPECT_EQ(s.bmp.data[0], 0x41);
   EXPECT_EQ(s.bmp.data[1], 0x20AC);
   ASSERT_EQ(s.uni.nchars, 1u);
   EXPECT_EQ(s.uni.data[0], 0x41u);
   EXPECT_EQ(text(s.key.data, s.key.numocts), H("01 02 03 04"));
   EXPECT_EQ(s.usage.numbits, 9u);
   EXPECT_EQ(text(s.usage.data, 2), H("86 80"));
   EXPECT_EQ(s.reason, 8u);
   EXPECT_EQ(s.small, 256);
   EXPECT_EQ(s.m.usagePresent, 1u);
   EXPECT_EQ(s.m.reasonPresent, 1u);
   EXPECT_EQ(s.m.smallPresent, 1u);
   EXPECT_EQ(s.m.nothingPresent, 1u);
   EXPECT_EQ(encode(&tStrings, &s), kAll);
}

TEST_F(PrimitivesTest, AbsentOptionalsAreNotWritten) {
   Strings s{};
   ASSERT_EQ(decode(&tStrings, &s, kRequiredOnly), RTS_OK);
   EXPECT_EQ(s.m.usagePresent + s.m.reasonPresent + s.m.smallPresent + s.m.nothingPresent, 0u);
   EXPECT_EQ(encode(&tStrings, &s), kRequiredOnly);
   s.m.nothingPresent = 1;
   EXPECT_EQ(encode(&tStrings, &s), tlv("30", kBmp + kUni + kKey + "05 00"));
}

TEST_F(PrimitivesTest, SegmentedAndIndefiniteStringsAreRead) {
   const std::string input = "30 80 3E 80 04 02 00 41 04 02 20 AC 00 00" + kUni +
                             "24 80 04 02 01 02 04 02 03 04 00 00"
                             "A0 80 03 02 00 FF 03 02 07 80 00 00 00 00";
   Strings s{};
   ASSERT_EQ(decode(&tStrings, &s, input), RTS_OK);
   EXPECT_EQ(unread(), 0u);
   EXPECT_EQ(s.bmp.nchars, 2u);
   EXPECT_EQ(text(s.key.data, s.key.numocts), H("01 02 03 04"));
   EXPECT_EQ(s.usage.numbits, 9u);
   EXPECT_EQ(text(s.usage.data, 2), H("FF 80"));
   EXPECT_EQ(encode(&tStrings, &s), tlv("30", kBmp + kUni + kKey + "80 03 07 FF 80"));
}

TEST_F(PrimitivesTest, DecodedValuesOutsideTheirConstraintsAreRefused) {
   struct Case {
      const char* what;
      std::string contents;
      int status;
   } cases[] = {
      {"BMPString of 4 characters", "1E 08 00 41 00 42 00 43 00 44" + kUni + kKey, RTS_CONSTRAINT},
      {"empty BMPString", "1E 00" + kUni + kKey, RTS_CONSTRAINT},
      {"Key4 of 3 octets", kBmp + kUni + "04 03 01 02 03", RTS_CONSTRAINT},
      {"Key4 of 5 octets", kBmp + kUni + "04 05 01 02 03 04 05", RTS_VALUE_TOO_LONG},
      {"KeyUsage beyond its two octets", kBmp + kUni + kKey + "80 04 00 FF FF FF", RTS_VALUE_TOO_LONG},
      {"Reason 11 is above the highest item", kBmp + kUni + kKey + "0A 01 0B", RTS_BAD_ENUM},
      {"small number 257", kBmp + kUni + kKey + "02 02 01 01", RTS_CONSTRAINT},
      {"small number of 3 octets", kBmp + kUni + kKey + "02 03 01 00 00", RTS_TOO_BIG},
      {"implicit NULL with contents", kBmp + kUni + kKey + "05 01 00", RTS_BAD_LENGTH},
   };
   for (const Case& c : cases) {
      Strings s{};
      EXPECT_EQ(decode(&tStrings, &s, tlv("30", c.contents)), c.status) << c.what;
      rtErrReset(&ctxt.errInfo);
   }
}

TEST_F(PrimitivesTest, ValuesOutsideTheirConstraintsAreNotEncoded) {
   struct Case {
      const char* what;
      void (*change)(Strings&);
      int status;
   } cases[] = {
      {"BMPString of 4 characters", [](Strings& s) { s.bmp.nchars = 4; }, RTS_CONSTRAINT},
      {"Key4 of 3 octets", [](Strings& s) { s.key.numocts = 3; }, RTS_CONSTRAINT},
      {"Key4 beyond its array", [](Strings& s) { s.key.numocts = 5; }, RTS_VALUE_TOO_LONG},
      {"KeyUsage beyond its array", [](Strings& s) { s.usage.numbits = 17; }, RTS_VALUE_TOO_LONG},
      {"Reason 11", [](Strings& s) { s.reason = 11; }, RTS_BAD_ENUM},
      {"small number 257", [](Strings& s) { s.small = 257; }, RTS_CONSTRAINT},
   };
   ASN116BITCHAR four[4] = {0x41, 0x42, 0x43, 0x44};
   for (const Case& c : cases) {
      Strings s{};
      ASSERT_EQ(decode(&tStrings, &s, kAll), RTS_OK);
      s.bmp.data = four;
      s.bmp.nchars = 1;
      c.change(s);
      EXPECT_EQ(encode(&tStrings, &s), status(c.status)) << c.what;
      rtErrReset(&ctxt.errInfo);
   }
}

TEST_F(PrimitivesTest, EnumerationItemsAndNamedBitsAreWritten) {
   Strings s{};
   ASSERT_EQ(decode(&tStrings, &s, kRequiredOnly), RTS_OK);
   s.m.reasonPresent = 1;
   s.reason = 10;
   s.m.usagePresent = 1;
   s.usage.numbits = 1;
   s.usage.data[0] = 0x80;
   EXPECT_EQ(encode(&tStrings, &s), tlv("30", kBmp + kUni + kKey + "80 02 07 80 0A 01 0A"));
}

TEST_F(PrimitivesTest, EnumerationTakesAnyNumberFromItsLowestToItsHighestItem) {
   /* Reason has no item 7, but 7 lies between 0 and 10: BER keeps it. */
   const std::string withSeven = tlv("30", kBmp + kUni + kKey + "0A 01 07");
   Strings s{};
   ASSERT_EQ(decode(&tStrings, &s, withSeven), RTS_OK);
   EXPECT_EQ(s.reason, 7u);
   EXPECT_EQ(encode(&tStrings, &s), withSeven);
   s.reason = 0;
   EXPECT_EQ(encode(&tStrings, &s), tlv("30", kBmp + kUni + kKey + "0A 01 00"));
   s.reason = 0xFFFFFFFFu;
   EXPECT_EQ(encode(&tStrings, &s), status(RTS_BAD_ENUM));
}

TEST_F(PrimitivesTest, Utf8StringSizeCountsCharacters) {
   struct Case {
      std::string octets;
      int status;
   } cases[] = {
      {"E2 82 AC E2 82 AC E2 82 AC E2 82 AC", RTS_OK},             // 4 characters, 12 octets
      {"E2 82 AC E2 82 AC E2 82 AC E2 82 AC 41", RTS_CONSTRAINT},  // 5 characters
      {"FF", RTS_BAD_UTF8},
   };
   for (const Case& c : cases) {
      DirString d{};
      EXPECT_EQ(decode(&tDirString, &d, tlv("0C", c.octets)), c.status) << c.octets;
      rtErrReset(&ctxt.errInfo);
      DirString e{};
      const std::string value = testsupport::fromHex(c.octets);
      e.t = 2;
      e.u.utf8String = value.c_str();
      EXPECT_EQ(encode(&tDirString, &e), c.status == RTS_OK ? tlv("0C", c.octets) : status(c.status))
         << c.octets;
      rtErrReset(&ctxt.errInfo);
   }
}

}
