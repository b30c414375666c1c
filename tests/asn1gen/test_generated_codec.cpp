/* The generated codec functions, constructors, copy and free of the test
   module; the engine's behaviour behind them is tabled in
   tests/engine/codec_cases.txt. */
#include <gtest/gtest.h>

#include <functional>

#include "generated_fixture.h"

using namespace asn1data;

namespace {

const char kUtc[] = "250101000000Z";
const std::string kMessageXml =
   testsupport::readFile(testsupport::sourcePath("tests/asn1gen/generated_message.xml"));

class GeneratedCodecTest : public GeneratedTest {};

/* A Message with every component and open types of every kind, read from
   XER, written as DER, read back and written as the same document. */
TEST_F(GeneratedCodecTest, MessageDocumentThroughDerGivesTheSameDocument) {
   const std::string written = fromXer<ASN1C_Message, ASN1T_Message>(
      kMessageXml, [](ASN1T_Message& value) { return derOf<ASN1C_Message>(value); });
   ASN1T_Message message;
   ASSERT_EQ(decode(asn1D_Message, message, written), RTS_OK) << written;
   EXPECT_EQ(xerOf<ASN1C_Message>(message), kMessageXml);

   /* A copy owns all its parts: it outlives the original's. */
   ASN1T_Message copy;
   asn1Copy_Message(&ctxt, &message, &copy);
   asn1Free_Message(&ctxt, &message);
   EXPECT_EQ(der(asn1E_Message, copy), written);
}

TEST_F(GeneratedCodecTest, DefaultsAreSetByTheConstructorAndByTheDecoders) {
   ASN1T_Ticket fresh;
   EXPECT_EQ(fresh.version, nullptr);
   EXPECT_EQ(fresh.valid, 1);
   EXPECT_EQ(fresh.level, 3);
   fresh.holder = "x";
   EXPECT_EQ(der(asn1E_Ticket, fresh), H("30 03 0C 01 78")); /* a null text is the default */

   /* Values left by earlier use give way to the defaults. */
   ASN1T_Ticket ticket;
   ticket.version = "9";
   ticket.valid = 0;
   ticket.level = 7;
   ASSERT_EQ(decode(asn1D_Ticket, ticket, "30 03 0C 01 78"), RTS_OK);
   EXPECT_STREQ(ticket.version, "1");
   EXPECT_EQ(ticket.valid, 1);
   EXPECT_EQ(ticket.level, 3);
   const std::string fromText = fromXer<ASN1C_Ticket, ASN1T_Ticket>(
       "<Ticket><holder>x</holder></Ticket>", [](ASN1T_Ticket& v) {
          return std::string(v.version) + " " + std::to_string(v.valid) + " " +
                 std::to_string(v.level);
       });
   EXPECT_EQ(fromText, "1 1 3");

   /* The default's text belongs to nobody: copy and free leave it. */
   const size_t decoded = liveBlocks();
   ASN1T_Ticket copy;
   asn1Copy_Ticket(&ctxt, &ticket, &copy);
   EXPECT_EQ(copy.version, ticket.version);
   asn1Free_Ticket(&ctxt, &copy);
   asn1Free_Ticket(&ctxt, &ticket);
   EXPECT_EQ(liveBlocks(), decoded - 1); /* the holder's text */
}

TEST_F(GeneratedCodecTest, TypesDefinedAsPrimitivesTakeThePrimitiveForm) {
   ASN1T_Version version = Version::v3;
   EXPECT_EQ(der(asn1E_Version, version), H("02 01 02"));
   ASN1T_SerialNumber serial = "0x0100";
   EXPECT_EQ(der(asn1E_SerialNumber, serial), H("02 02 01 00"));
   static const ASN1OCTET octets[] = {0x01, 0x02};
   ASN1T_SubjectKeyId keyId = {2, octets};
   EXPECT_EQ(der(asn1E_SubjectKeyId, keyId), H("04 02 01 02"));
   ASSERT_EQ(xe_setp(&ctxt, nullptr, 0), RTS_OK);
   ASSERT_EQ(asn1E_Nothing_(&ctxt, TAG_EXPLICIT), 2);
   EXPECT_EQ(hexOf(xe_getp(&ctxt), 2), "0500");
   input = testsupport::fromHex("05 00");
   ASSERT_EQ(xd_setp(&ctxt, bytes(input), 2), RTS_OK);
   EXPECT_EQ(asn1D_Nothing_(&ctxt, TAG_EXPLICIT, 0), RTS_OK);
}

/* Values that no decoder makes, refused by the encoders. */
TEST_F(GeneratedCodecTest, InvalidValuesAreNotEncoded) {
   static const ASN1OCTET null[] = {0x05, 0x00};
   ASN1T_Time time, time3;
   time.u.utcTime = time3.u.utcTime = kUtc;
   time3.t = 3;
   ASN1T_GeneralName name;
   name.t = 4;
   ASN1T_Status enumerated = 4;
   ASN1T_Key8 key, longKey;
   key.numocts = 7;
   longKey.numocts = 9;
   ASN1T_Flags flags;
   flags.numbits = 17;
   ASN1T_Numbers numbers;
   numbers.n = 1;
   ASN1T_Signed notSequence, empty;
   notSequence.toBeSigned = {2, null, 0};
   ASN1T_Strings strings;
   strings.ia5 = "x";
   const struct {
      const char* what;
      std::function<std::string()> encode;
      int status;
   } cases[] = {
       {"CHOICE selector 0", [&] { return der(asn1E_Time, time); }, RTS_BAD_CHOICE},
       {"CHOICE selector 3", [&] { return der(asn1E_Time, time3); }, RTS_BAD_CHOICE},
       {"alternative held by no pointer", [&] { return der(asn1E_GeneralName, name); },
        RTS_BAD_VALUE},
       {"enumeration above its items", [&] { return der(asn1E_Status, enumerated); }, RTS_BAD_ENUM},
       {"OCTET STRING (SIZE (8)) of 7", [&] { return der(asn1E_Key8, key); }, RTS_CONSTRAINT},
       {"OCTET STRING beyond its array", [&] { return der(asn1E_Key8, longKey); },
        RTS_VALUE_TOO_LONG},
       {"BIT STRING beyond its array", [&] { return der(asn1E_Flags, flags); }, RTS_VALUE_TOO_LONG},
       {"counted array without items", [&] { return der(asn1E_Numbers, numbers); }, RTS_BAD_VALUE},
       {"signed part no SEQUENCE", [&] { return der(asn1E_Signed, notSequence); }, RTS_BAD_VALUE},
       {"empty signed part", [&] { return der(asn1E_Signed, empty); }, RTS_BAD_VALUE},
       {"PrintableString without text", [&] { return xerOf<ASN1C_Strings>(strings); },
        RTS_BAD_VALUE},
   };
   for (const auto& c : cases) {
      EXPECT_EQ(c.encode(), status(c.status)) << c.what;
      rtErrReset(&ctxt.errInfo);
   }
   EXPECT_EQ(asn1rt::berEncode(&ctxt, &asn1Desc_Record, nullptr, TAG_EXPLICIT), RTS_BAD_VALUE);
   EXPECT_EQ(asn1rt::berDecode(&ctxt, &asn1Desc_Record, nullptr, TAG_EXPLICIT, 0), RTS_BAD_VALUE);
}

/* With TAG_IMPLICIT the caller has read the tag and keeps its end of
   contents; the encoder leaves out the value's own tag. */
TEST_F(GeneratedCodecTest, ImplicitCallsLeaveTheCallersTag) {
   input = testsupport::fromHex("A5 80 02 01 05 04 00 00 00");
   ASSERT_EQ(xd_setp(&ctxt, bytes(input), 9), RTS_OK);
   int length = 0;
   ASSERT_EQ(xd_match1(&ctxt, 0xA5, &length), RTS_OK);
   ASN1T_Params p;
   ASSERT_EQ(asn1D_Params(&ctxt, &p, TAG_IMPLICIT, length), RTS_OK);
   EXPECT_EQ(p.rounds, 5);
   EXPECT_EQ(input.size() - ctxt.buffer.byteIndex, 2u);
   ASSERT_EQ(xe_setp(&ctxt, nullptr, 0), RTS_OK);
   EXPECT_EQ(asn1E_Params(&ctxt, &p, TAG_IMPLICIT), 5);
   EXPECT_EQ(hexOf(xe_getp(&ctxt), 5), H("02 01 05 04 00"));
   ASN1T_Country country;
   country.t = 2;
   country.u.alpha = "US";
   ASSERT_EQ(xe_setp(&ctxt, nullptr, 0), RTS_OK);
   ASSERT_EQ(asn1E_Country(&ctxt, &country, TAG_IMPLICIT), 4);
   EXPECT_EQ(hexOf(xe_getp(&ctxt), 4), H("13 02 55 53"));
}

}
