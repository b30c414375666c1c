// SEQUENCE on the BER side: OPTIONAL and DEFAULT components, explicit and
// implicit context tags, indefinite lengths, the statuses for missing and
// extra elements, and the extensible SEQUENCE.
#include <cstring>

#include "engine_fixture.h"

using namespace testmodule;

namespace {

const std::string kRsa = "30 0D 06 09 2A 86 48 86 F7 0D 01 01 01 05 00";
const std::string kUtc = "17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A";
const std::string kGen = "18 0F 32 30 33 30 30 31 30 31 30 30 30 30 30 30 5A";
const std::string kExtension = "30 0E 06 03 55 1D 0F 01 01 FF 04 04 03 02 05 A0";

const std::string kMinimal = "30 21 02 01 01" + kRsa + kUtc;
const std::string kFull = "30 56 A0 03 02 01 02 02 02 01 00 01 01 FF 81 01 05" + kRsa + kUtc + kGen +
                          "82 02 07 80 A3 12 30 10" + kExtension;

class SequenceTest : public EngineTest {};

TEST_F(SequenceTest, MinimalValueLeavesOptionalsAbsentAndDefaultsZero) {
   Record r;
   std::memset(&r, 0xEE, sizeof(r));  // stale contents must not survive
   ASSERT_EQ(decode(&tRecord, &r, kMinimal), RTS_OK);
   EXPECT_EQ(unread(), 0u);
   EXPECT_EQ(r.m.versionPresent, 0u);
   EXPECT_EQ(r.m.untilPresent, 0u);
   EXPECT_EQ(r.m.uidPresent, 0u);
   EXPECT_EQ(r.m.extensionsPresent, 0u);
   EXPECT_EQ(r.critical, 0);
   EXPECT_EQ(r.minimum, 0);
   EXPECT_EQ(r.extensions.count, 0u);
   EXPECT_STREQ(r.serial, "0x01");
   EXPECT_EQ(r.validity.t, 1u);
   EXPECT_STREQ(r.validity.u.utcTime, "250101000000Z");
   EXPECT_EQ(encode(&tRecord, &r), H(kMinimal));
}

TEST_F(SequenceTest, FullValueDecodesEveryComponentAndEncodesTheSameOctets) {
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r, kFull), RTS_OK);
   EXPECT_EQ(r.m.versionPresent, 1u);
   EXPECT_EQ(r.version, 2u);
   EXPECT_STREQ(r.serial, "0x0100");
   EXPECT_EQ(r.critical, 0xFF);
   EXPECT_EQ(r.minimum, 5);
   EXPECT_EQ(r.algorithm.algorithm.numarcs, 7u);
   EXPECT_EQ(r.algorithm.m.parametersPresent, 1u);
   EXPECT_EQ(r.until.t, 2u);
   EXPECT_STREQ(r.until.u.generalTime, "20300101000000Z");
   EXPECT_EQ(r.m.uidPresent, 1u);
   EXPECT_EQ(r.uid.numbits, 1u);
   EXPECT_EQ(r.uid.data[0], 0x80);
   ASSERT_EQ(r.m.extensionsPresent, 1u);
   ASSERT_EQ(r.extensions.count, 1u);
   const Extension* ext = static_cast<const Extension*>(r.extensions.head->data);
   EXPECT_EQ(ext->critical, 0xFF);
   EXPECT_EQ(text(ext->extnValue.data, ext->extnValue.numocts), H("03 02 05 A0"));
   EXPECT_EQ(encode(&tRecord, &r), H(kFull));
}

TEST_F(SequenceTest, OptionalUntaggedChoiceIsAbsentWhenTheNextTagIsAnotherComponents) {
   const std::string input = "30 25 02 01 01" + kRsa + kUtc + "82 02 07 80";
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r, input), RTS_OK);
   EXPECT_EQ(r.m.untilPresent, 0u);
   EXPECT_EQ(r.m.uidPresent, 1u);
   EXPECT_EQ(encode(&tRecord, &r), H(input));
}

TEST_F(SequenceTest, PresentVersionIsWrittenEvenWhenZero) {
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r, kMinimal), RTS_OK);
   r.m.versionPresent = 1;
   r.version = 0;
   EXPECT_EQ(encode(&tRecord, &r), H("30 26 A0 03 02 01 00 02 01 01" + kRsa + kUtc));
}

TEST_F(SequenceTest, DefaultFalseAndDefaultZeroAreWrittenOnlyWhenNotZero) {
   struct Case {
      ASN1BOOL critical;
      ASN1INT minimum;
      std::string written;
   } cases[] = {
      {0, 0, ""},
      {1, 0, "01 01 FF"},
      {0, -1, "81 01 FF"},
      {0xFF, 300, "01 01 FF 81 02 01 2C"},
   };
   for (const Case& c : cases) {
      Record r{};
      ASSERT_EQ(decode(&tRecord, &r, kMinimal), RTS_OK);
      r.critical = c.critical;
      r.minimum = c.minimum;
      EXPECT_EQ(encode(&tRecord, &r), tlv("30", "02 01 01" + c.written + kRsa + kUtc))
         << "critical " << int(c.critical) << " minimum " << c.minimum;
   }
}

TEST_F(SequenceTest, IndefiniteLengthsAtEveryLevelEndAtTheirEndOfContents) {
   // The SEQUENCE, [0], the AlgorithmIdentifier, [3] and the list are all
   // indefinite.
   const std::string input = "30 80 A0 80 02 01 02 00 00 02 01 01"
                             "30 80 06 09 2A 86 48 86 F7 0D 01 01 01 05 00 00 00" +
                             kUtc + "A3 80 30 80" + kExtension + "00 00 00 00 00 00";
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r, input), RTS_OK);
   EXPECT_EQ(unread(), 0u);
   EXPECT_EQ(r.version, 2u);
   EXPECT_STREQ(r.serial, "0x01");
   EXPECT_EQ(r.algorithm.m.parametersPresent, 1u);
   EXPECT_EQ(r.extensions.count, 1u);
   // DER comes out: definite lengths everywhere.
   EXPECT_EQ(encode(&tRecord, &r),
             tlv("30", "A0 03 02 01 02 02 01 01" + kRsa + kUtc + "A3 12 30 10" + kExtension));
}

TEST_F(SequenceTest, MalformedContentsGiveTheirStatus) {
   struct Case {
      const char* what;
      std::string input;
      int status;
   } cases[] = {
      {"end-of-contents missing at the end", "30 80 02 01 01" + kRsa + kUtc, RTS_BAD_LENGTH},
      {"end-of-contents of [0] missing", "30 80 A0 80 02 01 02 02 01 01" + kRsa + kUtc + "00 00",
       RTS_BAD_LENGTH},
      {"element after the last component", tlv("30", "02 01 01" + kRsa + kUtc + "05 00"),
       RTS_EXTRA_ELEMENT},
      {"contents end after the serial number", "30 03 02 01 01", RTS_MISSING_ELEMENT},
      {"required component with another tag", "30 03 04 01 01", RTS_NOT_FOUND},
      {"required CHOICE with no matching alternative", tlv("30", "02 01 01" + kRsa + "04 00"),
       RTS_BAD_CHOICE},
      {"component running past its SEQUENCE",
       "30 21 02 01 01 30 0C 06 09 2A 86 48 86 F7 0D 01 01 01 05 00" + kUtc, RTS_BAD_LENGTH},
      {"explicit tag longer than its value", tlv("30", "A0 04 02 01 02 00 02 01 01" + kRsa + kUtc),
       RTS_BAD_LENGTH},
      {"not a SEQUENCE", "31 00", RTS_NOT_FOUND},
      /* A tag in the wrong form is another tag: it would come back changed. */
      {"SEQUENCE in the primitive form", "10 21 02 01 01" + kRsa + kUtc, RTS_NOT_FOUND},
      {"primitive component SEQUENCE",
       tlv("30", "02 01 01 10 0D 06 09 2A 86 48 86 F7 0D 01 01 01 05 00" + kUtc), RTS_NOT_FOUND},
      {"primitive [0] EXPLICIT", tlv("30", "80 03 02 01 02 02 01 01" + kRsa + kUtc), RTS_NOT_FOUND},
      {"constructed [1] IMPLICIT INTEGER", tlv("30", "02 01 01 A1 03 02 01 05" + kRsa + kUtc),
       RTS_NOT_FOUND},
      {"primitive [3] EXPLICIT", tlv("30", "02 01 01" + kRsa + kUtc + "83 02 05 00"),
       RTS_EXTRA_ELEMENT},
   };
   for (const Case& c : cases) {
      Record r{};
      EXPECT_EQ(decode(&tRecord, &r, c.input), c.status) << c.what;
      EXPECT_EQ(ctxt.errInfo.status, c.status) << c.what;
      rtErrReset(&ctxt.errInfo);
   }
}

TEST_F(SequenceTest, NullValueIsRefused) {
   EXPECT_EQ(encode(&tRecord, nullptr), status(RTS_BAD_VALUE));
   EXPECT_EQ(asn1rt::berDecode(&ctxt, &tRecord, nullptr, TAG_EXPLICIT, 0), RTS_BAD_VALUE);
}

TEST_F(SequenceTest, ImplicitCallLeavesTheCallersTagAndEndOfContents) {
   // The caller has read "A5 80"; the contents end at its end-of-contents,
   // which stays for the caller.
   input = testsupport::fromHex("A5 80 02 01 05 04 00 00 00");
   ASSERT_EQ(xd_setp(&ctxt, reinterpret_cast<const ASN1OCTET*>(input.data()), 9), RTS_OK);
   int length = 0;
   ASSERT_EQ(xd_match1(&ctxt, 0xA5, &length), RTS_OK);
   Params p{};
   ASSERT_EQ(asn1rt::berDecode(&ctxt, &tParams, &p, TAG_IMPLICIT, length), RTS_OK);
   EXPECT_EQ(p.a, 5);
   EXPECT_EQ(unread(), 2u);

   ASSERT_EQ(xe_setp(&ctxt, nullptr, 0), RTS_OK);
   EXPECT_EQ(asn1rt::berEncode(&ctxt, &tParams, &p, TAG_IMPLICIT), 5);
   EXPECT_EQ(text(xe_getp(&ctxt), 5), H("02 01 05 04 00"));
}

class ExtensibleTest : public EngineTest {};

TEST_F(ExtensibleTest, UnknownTrailingElementsAreKeptAndWrittenBack) {
   const std::string input = tlv("30", "06 03 2A 03 04 02 01 05 A1 80 05 00 00 00");
   Blob b{};
   ASSERT_EQ(decode(&tBlob, &b, input), RTS_OK);
   EXPECT_EQ(b.paramSet.numarcs, 4u);
   ASSERT_EQ(b.extElem1.count, 2u);
   const ASN1TOpenType* first = static_cast<const ASN1TOpenType*>(b.extElem1.head->data);
   const ASN1TOpenType* second = static_cast<const ASN1TOpenType*>(b.extElem1.tail->data);
   EXPECT_EQ(text(first->data, first->numocts), H("02 01 05"));
   EXPECT_EQ(text(second->data, second->numocts), H("A1 80 05 00 00 00"));
   /* They are kept as they came and written as DER. */
   EXPECT_EQ(encode(&tBlob, &b), tlv("30", "06 03 2A 03 04 02 01 05 A1 02 05 00"));
}

TEST_F(ExtensibleTest, WithoutExtensionsTheListStaysEmpty) {
   Blob b{};
   ASSERT_EQ(decode(&tBlob, &b, "30 05 06 03 2A 03 04"), RTS_OK);
   EXPECT_EQ(b.extElem1.count, 0u);
   EXPECT_EQ(b.extElem1.head, nullptr);
   EXPECT_EQ(encode(&tBlob, &b), H("30 05 06 03 2A 03 04"));
}

}
