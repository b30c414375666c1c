// Components with a default that the decoder fills in (Presence::DefaultValue):
// a big integer DEFAULT 1, a BOOLEAN DEFAULT TRUE and an INTEGER DEFAULT 3.
// BER and SAX decoding set the defaults first, BER and XER encoding leave
// out what equals them, and copy and free treat the default's static text
// as owned by nobody.
#include <cstring>

#include "rtBigInt.h"
#include "xer_fixture.h"

using namespace testmodule;

namespace {

class DefaultsTest : public XerTest {};

TEST_F(DefaultsTest, BerDecoderFillsInEveryAbsentDefault) {
   Audit a;
   std::memset(&a, 0xEE, sizeof(a));  // stale contents must not survive
   ASSERT_EQ(decode(&tAudit, &a, "30 00"), RTS_OK);
   EXPECT_EQ(a.version, auditVersionDefault);
   EXPECT_STREQ(a.version, "1");
   EXPECT_EQ(a.ok, 1);
   EXPECT_EQ(a.level, 3);
   EXPECT_EQ(a.m.notePresent, 0u);
   EXPECT_EQ(encode(&tAudit, &a), H("30 00"));
}

TEST_F(DefaultsTest, ValuesOtherThanTheDefaultsAreDecodedAndWrittenBack) {
   struct Case {
      const char* what;
      std::string der;
   };
   const Case cases[] = {
      {"version 2", "30 03 02 01 02"},
      {"ok FALSE", "30 03 01 01 00"},
      {"level 5", "30 03 80 01 05"},
      {"all three and a note", "30 0D 02 01 02 01 01 00 80 01 05 16 02 68 69"},
      {"version 256", "30 04 02 02 01 00"},
   };
   for (const Case& c : cases) {
      Audit a{};
      EXPECT_EQ(roundTrip(&tAudit, &a, c.der), H(c.der)) << c.what;
   }
}

TEST_F(DefaultsTest, ValuesEqualToTheDefaultsAreLeftOut) {
   /* BER may carry a default explicitly; DER leaves it out. */
   Audit a{};
   ASSERT_EQ(decode(&tAudit, &a, "30 09 02 01 01 01 01 FF 80 01 03"), RTS_OK);
   EXPECT_STREQ(a.version, "0x01");
   EXPECT_EQ(a.ok, 0xFF);
   EXPECT_EQ(a.level, 3);
   EXPECT_EQ(encode(&tAudit, &a), H("30 00"));

   /* Big integers are compared as numbers, booleans by truth; a null text
      stands for the default. */
   const char* const versions[] = {"1", "0x0001", "0x01", nullptr};
   for (const char* version : versions) {
      Audit b{};
      b.version = version;
      b.ok = 1;
      b.level = 3;
      EXPECT_EQ(encode(&tAudit, &b), H("30 00")) << (version != nullptr ? version : "null");
   }
   Audit c{};
   c.version = "0x00";
   c.ok = 1;
   c.level = 3;
   EXPECT_EQ(encode(&tAudit, &c), H("30 03 02 01 00"));
}

TEST_F(DefaultsTest, XerEncoderWritesOnlyWhatDiffersFromTheDefaults) {
   Audit a{};
   ASSERT_EQ(decode(&tAudit, &a, "30 00"), RTS_OK);
   EXPECT_EQ(toXer(&tAudit, &a, true), "<Audit></Audit>");

   Audit b{};
   ASSERT_EQ(decode(&tAudit, &b, "30 09 02 01 02 01 01 00 80 01 05"), RTS_OK);
   EXPECT_EQ(toXer(&tAudit, &b),
             "\n" + lines({"<Audit>", "|<version>2</version>", "|<ok><false/></ok>",
                           "|<level>5</level>", "</Audit>"}));
}

TEST_F(DefaultsTest, SaxDecoderFillsInEveryAbsentDefault) {
   struct Case {
      const char* xml;
      const char* version;
      ASN1BOOL ok;
      ASN1INT level;
   };
   const Case cases[] = {
      {"<Audit></Audit>", "1", 1, 3},
      {"<Audit/>", "1", 1, 3},
      {"<Audit><ok><false/></ok></Audit>", "1", 0, 3},
      {"<Audit><version>2</version><level>7</level></Audit>", "2", 1, 7},
      {"<Audit><version>1</version><ok><true/></ok><level>3</level></Audit>", "1", 1, 3},
   };
   for (const Case& c : cases) {
      Audit a;
      std::memset(&a, 0xEE, sizeof(a));
      ASSERT_EQ(fromXer(&tAudit, &a, c.xml), RTS_OK) << c.xml;
      ASSERT_NE(a.version, nullptr) << c.xml;
      EXPECT_EQ(rtBigIntStrCompare(&ctxt, a.version, c.version), 0)
         << c.xml << ": " << a.version;
      EXPECT_EQ(a.ok != 0, c.ok != 0) << c.xml;
      EXPECT_EQ(a.level, c.level) << c.xml;
      EXPECT_EQ(a.m.notePresent, 0u) << c.xml;
      /* Whatever the input said, the defaults are not written. */
      const std::string der = encode(&tAudit, &a);
      if (c.level == 3 && c.ok && std::strcmp(c.version, "1") == 0) {
         EXPECT_EQ(der, H("30 00")) << c.xml;
      }
   }
}

TEST_F(DefaultsTest, DefaultTextIsSharedByCopiesAndNeverFreed) {
   Audit a{};
   ASSERT_EQ(decode(&tAudit, &a, "30 00"), RTS_OK);
   const size_t before = liveBlocks();
   Audit copy{};
   asn1rt::copyValue(&ctxt, &tAudit, &a, &copy);
   EXPECT_EQ(copy.version, auditVersionDefault);
   EXPECT_EQ(copy.ok, 1);
   EXPECT_EQ(copy.level, 3);
   EXPECT_EQ(liveBlocks(), before);
   /* The heap probe fails the test if the static text is given back. */
   asn1rt::freeValue(&ctxt, &tAudit, &copy);
   asn1rt::freeValue(&ctxt, &tAudit, &a);
   EXPECT_EQ(liveBlocks(), before);
   EXPECT_EQ(encode(&tAudit, &a), H("30 00"));
}

TEST_F(DefaultsTest, DecodedTextIsCopiedAndFreedLikeAnyOther) {
   Audit a{};
   ASSERT_EQ(decode(&tAudit, &a, "30 07 02 01 02 16 02 68 69"), RTS_OK);
   const size_t decoded = liveBlocks();
   Audit copy{};
   asn1rt::copyValue(&ctxt, &tAudit, &a, &copy);
   EXPECT_NE(copy.version, a.version);
   EXPECT_STREQ(copy.version, "0x02");
   EXPECT_STREQ(copy.note, "hi");
   EXPECT_EQ(liveBlocks(), decoded + 2);
   asn1rt::freeValue(&ctxt, &tAudit, &copy);
   EXPECT_EQ(liveBlocks(), decoded);
   asn1rt::freeValue(&ctxt, &tAudit, &a);
   EXPECT_EQ(liveBlocks(), decoded - 2);
}

}
