// SEQUENCE OF and SET OF as lists and counted arrays: SIZE constraints both
// ways, DER order of SET OF on encode while decoding keeps the input order,
// and indefinite lengths.
#include "engine_fixture.h"

using namespace testmodule;

namespace {

const std::string kCommonName = "30 09 06 03 55 04 03 13 02 41 42";   // cn "AB"
const std::string kCountryName = "30 09 06 03 55 04 06 13 02 55 53";  // c "US"

class ListTest : public EngineTest {};

TEST_F(ListTest, SizeLowerBoundIsCheckedBothWays) {
   Asn1RTDList empty{};
   EXPECT_EQ(encode(&tExtensions, &empty), status(RTS_CONSTRAINT));
   EXPECT_EQ(ctxt.errInfo.status, RTS_CONSTRAINT);
   rtErrReset(&ctxt.errInfo);
   Asn1RTDList decoded{};
   EXPECT_EQ(decode(&tExtensions, &decoded, "30 00"), RTS_CONSTRAINT);
}

TEST_F(ListTest, SetOfIsWrittenInDerOrderAndReadInInputOrder) {
   const std::string input = tlv("31", kCountryName + kCommonName);
   Asn1RTDList rdn{};
   ASSERT_EQ(decode(&tRDN, &rdn, input), RTS_OK);
   ASSERT_EQ(rdn.count, 2u);
   const AttributeTypeAndValue* first = static_cast<const AttributeTypeAndValue*>(rdn.head->data);
   EXPECT_EQ(first->type.arcs[3], 6u);  // countryName stays first
   EXPECT_EQ(encode(&tRDN, &rdn), tlv("31", kCommonName + kCountryName));
   // The value itself is not reordered.
   EXPECT_EQ(static_cast<const AttributeTypeAndValue*>(rdn.head->data), first);
}

TEST_F(ListTest, SetOfOrderComparesOctetsThenLength) {
   struct Case {
      std::string values;  // in list order
      std::string sorted;
   } cases[] = {
      {"13 02 41 41 13 01 41 0C 01 41", "0C 01 41 13 01 41 13 02 41 41"},
      {"30 02 05 00 30 00", "30 00 30 02 05 00"},
      {"04 01 01 04 01 01", "04 01 01 04 01 01"},
      {"04 01 02", "04 01 02"},
   };
   for (const Case& c : cases) {
      // An attribute type that no object knows: the values stay raw.
      Attribute a{};
      ASSERT_EQ(decode(&tAttribute, &a, tlv("30", "06 03 2A 03 09" + tlv("31", c.values))), RTS_OK);
      EXPECT_EQ(encode(&tAttribute, &a), tlv("30", "06 03 2A 03 09" + tlv("31", c.sorted)))
         << c.values;
   }
}

TEST_F(ListTest, SequenceOfKeepsItsOrder) {
   const std::string input =
      tlv("30", tlv("31", kCountryName) + tlv("31", kCommonName));
   Asn1RTDList rdns{};
   EXPECT_EQ(roundTrip(&tRDNSequence, &rdns, input), input);
   EXPECT_EQ(rdns.count, 2u);
}

TEST_F(ListTest, IndefiniteListEndsAtItsEndOfContents) {
   Asn1RTDList rdns{};
   ASSERT_EQ(decode(&tRDNSequence, &rdns, "30 80 31 80" + kCommonName + "00 00 00 00"), RTS_OK);
   EXPECT_EQ(unread(), 0u);
   ASSERT_EQ(rdns.count, 1u);
   EXPECT_EQ(encode(&tRDNSequence, &rdns), tlv("30", tlv("31", kCommonName)));
   EXPECT_EQ(decode(&tRDNSequence, &rdns, "30 80 31 80" + kCommonName + "00 00"), RTS_BAD_LENGTH);
}

class ArrayTest : public EngineTest {};

TEST_F(ArrayTest, CountedArrayUnderItsOwnImplicitTag) {
   IntList list{};
   EXPECT_EQ(roundTrip(&tIntList, &list, "65 06 02 01 03 02 01 01"), H("65 06 02 01 03 02 01 01"));
   ASSERT_EQ(list.n, 2u);
   EXPECT_EQ(list.elem[0], 3);
   EXPECT_EQ(list.elem[1], 1);
}

TEST_F(ArrayTest, CountedArraySizeIsCheckedBothWays) {
   struct Case {
      std::string input;
      int status;
   } cases[] = {
      {"65 00", RTS_CONSTRAINT},
      {"65 0F 02 01 01 02 01 02 02 01 03 02 01 04 02 01 05", RTS_CONSTRAINT},
      {"65 06 02 01 03 04 01 01", RTS_NOT_FOUND},
      {"30 03 02 01 01", RTS_NOT_FOUND},
   };
   for (const Case& c : cases) {
      IntList list{};
      EXPECT_EQ(decode(&tIntList, &list, c.input), c.status) << c.input;
      rtErrReset(&ctxt.errInfo);
   }
   ASN1INT five[5] = {1, 2, 3, 4, 5};
   IntList tooMany{5, five};
   IntList none{0, nullptr};
   IntList missing{1, nullptr};
   EXPECT_EQ(encode(&tIntList, &tooMany), status(RTS_CONSTRAINT));
   EXPECT_EQ(encode(&tIntList, &none), status(RTS_CONSTRAINT));
   EXPECT_EQ(encode(&tIntList, &missing), status(RTS_BAD_VALUE));
}

TEST_F(ArrayTest, SetOfArrayIsSortedOnEncodeOnly) {
   Selectors s{};
   ASSERT_EQ(decode(&tSelectors, &s, "A3 08 31 06 04 01 02 04 01 01"), RTS_OK);
   ASSERT_EQ(s.n, 2u);
   EXPECT_EQ(s.elem[0].data[0], 0x02);
   EXPECT_EQ(encode(&tSelectors, &s), H("A3 08 31 06 04 01 01 04 01 02"));
   EXPECT_EQ(s.elem[0].data[0], 0x02);

   Selectors indefinite{};
   ASSERT_EQ(decode(&tSelectors, &indefinite, "A3 80 31 80 04 01 02 04 01 01 00 00 00 00"), RTS_OK);
   EXPECT_EQ(unread(), 0u);
   EXPECT_EQ(indefinite.n, 2u);
}

}
