// CHOICE dispatch on the tag both ways, alternatives held by pointer, a
// type with a tag of its own, and the SET with its duplicate, unknown and
// missing component statuses.
#include "engine_fixture.h"

using namespace testmodule;

namespace {

const std::string kUtc = "17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A";
const std::string kGen = "18 0F 32 30 33 30 30 31 30 31 30 30 30 30 30 30 5A";

class ChoiceTest : public EngineTest {};

TEST_F(ChoiceTest, SelectorChoosesTheAlternativeAndItsTag) {
   Time utc{1, {"250101000000Z"}};
   Time general{2, {"20300101000000Z"}};
   EXPECT_EQ(encode(&tTime, &utc), H(kUtc));
   EXPECT_EQ(encode(&tTime, &general), H(kGen));

   Time decoded{};
   ASSERT_EQ(decode(&tTime, &decoded, kGen), RTS_OK);
   EXPECT_EQ(decoded.t, 2u);
   EXPECT_STREQ(decoded.u.generalTime, "20300101000000Z");
}

TEST_F(ChoiceTest, SelectorOutOfRangeAndUnknownTagAreBadChoice) {
   for (ASN1UINT selector : {0u, 3u, 0xFFFFFFFFu}) {
      Time t{selector, {"250101000000Z"}};
      EXPECT_EQ(encode(&tTime, &t), status(RTS_BAD_CHOICE)) << selector;
   }
   Time t{};
   EXPECT_EQ(decode(&tTime, &t, "04 00"), RTS_BAD_CHOICE);
   EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_CHOICE);
   rtErrReset(&ctxt.errInfo);
   GenName g{};
   /* Class, number and form must fit: an alternative in the other form
      would be written back in its own. */
   for (const char* input : {"89 00", "A8 03 2A 03 04", "80 0A 06 03 2A 03 04 A0 03 02 01 05",
                             "84 0F 30 0D 31 0B 30 09 06 03 55 04 03 13 02 41 42"}) {
      EXPECT_EQ(decode(&tGenName, &g, input), RTS_BAD_CHOICE) << input;
      EXPECT_EQ(ctxt.errInfo.status, RTS_BAD_CHOICE) << input;
      rtErrReset(&ctxt.errInfo);
   }
   g.t = 6;
   EXPECT_EQ(encode(&tGenName, &g), status(RTS_BAD_CHOICE));
}

TEST_F(ChoiceTest, TaggedAlternativesRoundTrip) {
   struct Case {
      std::string input;
      ASN1UINT selector;
   } cases[] = {
      {"81 05 61 40 62 2E 63", 2},                    // rfc822Name [1] IMPLICIT IA5String
      {"87 04 0A 00 00 01", 4},                       // iPAddress [7] IMPLICIT, by pointer
      {"88 03 2A 03 04", 5},                          // registeredID [8] IMPLICIT, by pointer
      {"A0 0A 06 03 2A 03 04 A0 03 02 01 05", 1},     // otherName: own [0] IMPLICIT SEQUENCE
      {"A4 0F 30 0D 31 0B 30 09 06 03 55 04 03 13 02 41 42", 3},  // [4] EXPLICIT Name
   };
   for (const Case& c : cases) {
      GenName g{};
      EXPECT_EQ(roundTrip(&tGenName, &g, c.input), H(c.input));
      EXPECT_EQ(g.t, c.selector) << c.input;
   }
}

TEST_F(ChoiceTest, AlternativesHeldByPointerAreAllocated) {
   GenName g{};
   ASSERT_EQ(decode(&tGenName, &g, "A0 0A 06 03 2A 03 04 A0 03 02 01 05"), RTS_OK);
   ASSERT_NE(g.u.otherName, nullptr);
   EXPECT_EQ(g.u.otherName->typeId.numarcs, 4u);
   EXPECT_EQ(text(g.u.otherName->value.data, g.u.otherName->value.numocts), H("02 01 05"));

   GenName ip{};
   ASSERT_EQ(decode(&tGenName, &ip, "87 04 0A 00 00 01"), RTS_OK);
   ASSERT_NE(ip.u.iPAddress, nullptr);
   EXPECT_EQ(text(ip.u.iPAddress->data, ip.u.iPAddress->numocts), H("0A 00 00 01"));

   GenName dir{};
   ASSERT_EQ(decode(&tGenName, &dir, "A4 0F 30 0D 31 0B 30 09 06 03 55 04 03 13 02 41 42"), RTS_OK);
   ASSERT_NE(dir.u.directoryName, nullptr);
   ASSERT_EQ(dir.u.directoryName->t, 1u);
   const Asn1RTDList* rdns = dir.u.directoryName->u.rdnSequence;
   ASSERT_NE(rdns, nullptr);
   ASSERT_EQ(rdns->count, 1u);
   const Asn1RTDList* rdn = static_cast<const Asn1RTDList*>(rdns->head->data);
   ASSERT_EQ(rdn->count, 1u);
   const AttributeTypeAndValue* atv = static_cast<const AttributeTypeAndValue*>(rdn->head->data);
   const DirString* cn = static_cast<const DirString*>(atv->value.decoded);
   ASSERT_NE(cn, nullptr);
   EXPECT_EQ(cn->t, 1u);
   EXPECT_STREQ(cn->u.printableString, "AB");
}

TEST_F(ChoiceTest, SegmentedImplicitAlternativeIsReadInEitherForm) {
   GenName g{};
   ASSERT_EQ(decode(&tGenName, &g, "A7 80 04 01 0A 04 03 00 00 01 00 00"), RTS_OK);
   EXPECT_EQ(unread(), 0u);
   EXPECT_EQ(g.t, 4u);
   EXPECT_EQ(encode(&tGenName, &g), H("87 04 0A 00 00 01"));
}

TEST_F(ChoiceTest, OwnExplicitTagWrapsTheChoiceAndGivesWayToTheCallersTag) {
   Country c{};
   EXPECT_EQ(roundTrip(&tCountry, &c, "61 04 13 02 55 53"), H("61 04 13 02 55 53"));
   EXPECT_EQ(c.t, 2u);
   EXPECT_STREQ(c.u.printable, "US");

   ASSERT_EQ(xe_setp(&ctxt, nullptr, 0), RTS_OK);
   ASSERT_EQ(asn1rt::berEncode(&ctxt, &tCountry, &c, TAG_IMPLICIT), 4);
   EXPECT_EQ(text(xe_getp(&ctxt), 4), H("13 02 55 53"));

   Country other{};
   EXPECT_EQ(decode(&tCountry, &other, "62 04 13 02 55 53"), RTS_NOT_FOUND);
   rtErrReset(&ctxt.errInfo);
   EXPECT_EQ(decode(&tCountry, &other, "61 80 12 01 31 00 00"), RTS_OK);
   EXPECT_EQ(other.t, 1u);
   EXPECT_STREQ(other.u.numeric, "1");
}

class SetTest : public EngineTest {};

const std::string kSurname = "A0 04 13 02 41 42";
const std::string kGiven = "A1 04 13 02 43 44";
const std::string kAge = "82 01 07";

TEST_F(SetTest, ComponentsInAnyOrderAreWrittenInDefinitionOrder) {
   for (const std::string& contents : {kSurname + kGiven + kAge, kAge + kGiven + kSurname,
                                       kGiven + kSurname + kAge}) {
      Person p{};
      ASSERT_EQ(decode(&tPerson, &p, tlv("31", contents)), RTS_OK) << contents;
      EXPECT_STREQ(p.surname, "AB");
      EXPECT_STREQ(p.given, "CD");
      EXPECT_EQ(p.age, 7);
      EXPECT_EQ(p.m.givenPresent, 1u);
      EXPECT_EQ(p.m.agePresent, 1u);
      EXPECT_EQ(encode(&tPerson, &p), tlv("31", kSurname + kGiven + kAge));
   }
}

TEST_F(SetTest, OptionalComponentsMayBeMissing) {
   Person p{};
   ASSERT_EQ(decode(&tPerson, &p, "31 80" + kSurname + "00 00"), RTS_OK);
   EXPECT_EQ(unread(), 0u);
   EXPECT_EQ(p.m.givenPresent, 0u);
   EXPECT_EQ(p.m.agePresent, 0u);
   EXPECT_EQ(encode(&tPerson, &p), tlv("31", kSurname));
}

TEST_F(SetTest, MalformedSetsGiveTheirStatus) {
   struct Case {
      const char* what;
      std::string contents;
      int status;
   } cases[] = {
      {"surname twice", kSurname + kGiven + kSurname, RTS_SET_DUPLICATE},
      {"unknown [4]", kSurname + "A4 03 02 01 01", RTS_SET_UNKNOWN},
      {"[1] EXPLICIT in the primitive form", kSurname + "81 04 13 02 43 44", RTS_SET_UNKNOWN},
      {"[2] IMPLICIT INTEGER constructed", kSurname + "A2 03 02 01 07", RTS_SET_UNKNOWN},
      {"surname missing", kGiven + kAge, RTS_MISSING_ELEMENT},
      {"empty given name", kSurname + "A1 02 13 00", RTS_CONSTRAINT},
      {"surname of 9 characters", "A0 0B 13 09 41 41 41 41 41 41 41 41 41", RTS_CONSTRAINT},
   };
   for (const Case& c : cases) {
      Person p{};
      EXPECT_EQ(decode(&tPerson, &p, tlv("31", c.contents)), c.status) << c.what;
      rtErrReset(&ctxt.errInfo);
   }
}

}
