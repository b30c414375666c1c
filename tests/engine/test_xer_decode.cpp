// SAX state machines over descriptors: XER text decoded back into values,
// named values as identifiers or numbers, component order and presence, SET
// and CHOICE rules, lists and counted arrays, text split into several
// character events, and the statuses of every failure.
#include <cstring>

#include "xer_fixture.h"

using namespace testmodule;

namespace {

class XerDecodeTest : public XerTest {};

std::string hexOf(const ASN1OCTET* data, ASN1UINT count) { return text(data, count); }

TEST_F(XerDecodeTest, NamedNumbersAcceptIdentifiersAndPlainNumbers) {
   struct Case {
      const char* xml;
      int status;
      ASN1UINT value;
   };
   const Case cases[] = {
      {"<Version><v3/></Version>", RTS_OK, 2},
      {"<Version>2</Version>", RTS_OK, 2},
      {"<Version> <v1/> </Version>", RTS_OK, 0},
      {"<Version>17</Version>", RTS_OK, 17},
      {"<Version><v4/></Version>", RTS_BAD_ENUM, 0},
      {"<Version><v1/><v2/></Version>", RTS_NOT_FOUND, 0},
      {"<Version>2x</Version>", RTS_BAD_DIGIT, 0},
   };
   for (const Case& c : cases) {
      ASN1UINT value = 0;
      EXPECT_EQ(fromXer(&tVersion, &value, c.xml), c.status) << c.xml;
      if (c.status == RTS_OK) {
         EXPECT_EQ(value, c.value) << c.xml;
      }
   }
}

TEST_F(XerDecodeTest, BigIntegerNamedNumbersAcceptIdentifiersAndDigits) {
   struct Case {
      const char* xml;
      int status;
      const char* der;
   };
   const Case cases[] = {
      {"<BigVersion><v1/></BigVersion>", RTS_OK, "02 01 01"},
      {"<BigVersion><v2/></BigVersion>", RTS_OK, "02 01 02"},
      {"<BigVersion>1</BigVersion>", RTS_OK, "02 01 01"},
      {"<BigVersion>256</BigVersion>", RTS_OK, "02 02 01 00"},
      {"<BigVersion><v3/></BigVersion>", RTS_BAD_ENUM, ""},
   };
   for (const Case& c : cases) {
      const char* value = nullptr;
      EXPECT_EQ(fromXer(&tBigVersion, &value, c.xml), c.status) << c.xml;
      if (c.status == RTS_OK) {
         EXPECT_EQ(encode(&tBigVersion, &value), H(c.der)) << c.xml;
      }
   }
}

TEST_F(XerDecodeTest, EnumerationsTakeOnlyTheirIdentifiers) {
   struct Case {
      const char* xml;
      int status;
      ASN1UINT value;
   };
   const Case cases[] = {
      {"<Reason><removeFromCRL/></Reason>", RTS_OK, 8},
      {"<Reason><unspecified/></Reason>", RTS_OK, 0},
      {"<Reason>8</Reason>", RTS_BAD_ENUM, 0},
      {"<Reason></Reason>", RTS_BAD_ENUM, 0},
      {"<Reason><unknown/></Reason>", RTS_BAD_ENUM, 0},
   };
   for (const Case& c : cases) {
      ASN1UINT value = 99;
      EXPECT_EQ(fromXer(&tReason, &value, c.xml), c.status) << c.xml;
      if (c.status == RTS_OK) {
         EXPECT_EQ(value, c.value) << c.xml;
      }
   }
}

TEST_F(XerDecodeTest, PrimitiveValuesFromTheirText) {
   ASN1BOOL flag = 9;
   EXPECT_EQ(fromXer(&tBoolean, &flag, "<BOOLEAN><true/></BOOLEAN>"), RTS_OK);
   EXPECT_EQ(flag, 1);
   EXPECT_EQ(fromXer(&tBoolean, &flag, "<BOOLEAN><false/></BOOLEAN>"), RTS_OK);
   EXPECT_EQ(flag, 0);
   EXPECT_EQ(fromXer(&tBoolean, &flag, "<BOOLEAN><TRUE/></BOOLEAN>"), RTS_BAD_VALUE);
   ASN1INT number = 0;
   EXPECT_EQ(fromXer(&tInteger, &number, "<INTEGER>-42</INTEGER>"), RTS_OK);
   EXPECT_EQ(number, -42);
   ASN1USINT small = 0;
   EXPECT_EQ(fromXer(&tSmall, &small, "<SmallNumber>65535</SmallNumber>"), RTS_OK);
   EXPECT_EQ(small, 65535);
   EXPECT_EQ(fromXer(&tSmall, &small, "<SmallNumber>65536</SmallNumber>"), RTS_TOO_BIG);
   const char* serial = nullptr;
   EXPECT_EQ(fromXer(&tBigInt, &serial, "<SerialNumber>255</SerialNumber>"), RTS_OK);
   EXPECT_STREQ(serial, "0x00ff");
   ASN1OBJID id{};
   EXPECT_EQ(fromXer(&tOid, &id, "<OBJECT_IDENTIFIER>1.2.840.113549</OBJECT_IDENTIFIER>"), RTS_OK);
   EXPECT_EQ(id.numarcs, 4u);
   EXPECT_EQ(id.arcs[3], 113549u);
   EXPECT_EQ(fromXer(&tOid, &id, "<OBJECT_IDENTIFIER>1.40</OBJECT_IDENTIFIER>"), RTS_BAD_OID);
   const char* text = nullptr;
   EXPECT_EQ(fromXer(&tIA5, &text, "<IA5String>a&lt;b&amp;c</IA5String>"), RTS_OK);
   EXPECT_STREQ(text, "a<b&c");
   EXPECT_EQ(fromXer(&tIA5, &text, "<IA5String/>"), RTS_OK);
   EXPECT_STREQ(text, "");
   const char* utf8 = nullptr;
   EXPECT_EQ(fromXer(&tUtf8, &utf8, "<UTF8String>\xE2\x82\xAC</UTF8String>"), RTS_OK);
   EXPECT_STREQ(utf8, "\xE2\x82\xAC");
   ASN116BitCharString bmp{};
   EXPECT_EQ(fromXer(&tBMP, &bmp, "<BMPString>A\xC3\xA9</BMPString>"), RTS_OK);
   ASSERT_EQ(bmp.nchars, 2u);
   EXPECT_EQ(bmp.data[1], 0xE9);
   EXPECT_EQ(fromXer(&tNull, nullptr, "<NULLParams_/>"), RTS_OK);
}

TEST_F(XerDecodeTest, OutermostElementMustCarryTheTypeName) {
   Params p{};
   EXPECT_EQ(fromXer(&tParams, &p, "<Parameters><a>1</a><b/></Parameters>"), RTS_XML_STRUCTURE);
   ASN1INT number = 0;
   EXPECT_EQ(fromXer(&tInteger, &number, "<INT>1</INT>"), RTS_XML_STRUCTURE);
}

TEST_F(XerDecodeTest, SequenceComponentsComeInDefinitionOrder) {
   struct Case {
      const char* xml;
      int status;
   };
   const Case cases[] = {
      {"<Params><a>1</a><b>0A</b></Params>", RTS_OK},
      {"<Params><b>0A</b><a>1</a></Params>", RTS_NOT_FOUND},
      {"<Params><a>1</a><a>2</a><b/></Params>", RTS_NOT_FOUND},
      {"<Params><a>1</a><c/><b/></Params>", RTS_NOT_FOUND},
      {"<Params><a>1</a></Params>", RTS_MISSING_ELEMENT},
      {"<Params></Params>", RTS_MISSING_ELEMENT},
      {"<Params><a>1</a><b>0G</b></Params>", RTS_BAD_HEX_TEXT},
   };
   for (const Case& c : cases) {
      Params p{};
      EXPECT_EQ(fromXer(&tParams, &p, c.xml), c.status) << c.xml;
   }
}

TEST_F(XerDecodeTest, OptionalComponentsSetTheirPresenceBitsWhenPresent) {
   Record r;
   std::memset(&r, 0, sizeof(r));
   r.m.versionPresent = 1;  // stale bits are cleared by the decode
   r.critical = 1;
   const std::string xml =
      "<Record><serial>1</serial><minimum>0</minimum><algorithm><algorithm>1.2.3.5</algorithm>"
      "</algorithm><validity><generalTime>20300101000000Z</generalTime></validity>"
      "<uid>101</uid></Record>";
   ASSERT_EQ(fromXer(&tRecord, &r, xml), RTS_OK);
   EXPECT_EQ(r.m.versionPresent, 0u);
   EXPECT_EQ(r.critical, 0);
   EXPECT_EQ(r.m.untilPresent, 0u);
   EXPECT_EQ(r.m.uidPresent, 1u);
   EXPECT_EQ(r.uid.numbits, 3u);
   EXPECT_EQ(r.uid.data[0], 0xA0);
   EXPECT_EQ(r.m.extensionsPresent, 0u);
   EXPECT_EQ(r.algorithm.m.parametersPresent, 0u);
   EXPECT_EQ(r.validity.t, 2u);
   EXPECT_STREQ(r.validity.u.generalTime, "20300101000000Z");
   EXPECT_STREQ(r.serial, "0x01");
   /* A mandatory component may not be skipped to reach a later one. */
   Record skipped{};
   EXPECT_EQ(fromXer(&tRecord, &skipped,
                     "<Record><algorithm><algorithm>1.2.3.5</algorithm></algorithm></Record>"),
             RTS_NOT_FOUND);
}

TEST_F(XerDecodeTest, NullComponentIsAnEmptyElement) {
   Strings s{};
   const std::string xml =
      "<Strings><bmp>A</bmp><uni/><key>01020304</key><nothing/></Strings>";
   ASSERT_EQ(fromXer(&tStrings, &s, xml), RTS_OK);
   EXPECT_EQ(s.m.nothingPresent, 1u);
   EXPECT_EQ(s.m.usagePresent, 0u);
   EXPECT_EQ(s.uni.nchars, 0u);
   EXPECT_EQ(s.key.numocts, 4u);
   EXPECT_EQ(hexOf(s.key.data, 4), "01020304");
}

TEST_F(XerDecodeTest, FixedSizeStringsRefuseMoreThanTheirCapacity) {
   Strings s{};
   EXPECT_EQ(fromXer(&tStrings, &s,
                     "<Strings><bmp>A</bmp><uni/><key>0102030405</key></Strings>"),
             RTS_VALUE_TOO_LONG);
   Strings bits{};
   EXPECT_EQ(fromXer(&tStrings, &bits,
                     "<Strings><bmp>A</bmp><uni/><key>01</key><usage>11111111111111111</usage>"
                     "</Strings>"),
             RTS_VALUE_TOO_LONG);
   Strings nine{};
   ASSERT_EQ(fromXer(&tStrings, &nine,
                     "<Strings><bmp>A</bmp><uni/><key>01</key><usage>100000001</usage></Strings>"),
             RTS_OK);
   EXPECT_EQ(nine.usage.numbits, 9u);
   EXPECT_EQ(hexOf(nine.usage.data, 2), "8080");
}

/* Person with its given name mandatory as well. */
const FieldDesc kBothNamesFields[] = {
   personFields[0],
   {"given", &tPrintable, offsetof(Person, given), ctxConstructed(1), Tagging::Explicit,
    Presence::Required, -1, 0, nullptr},
   personFields[2]};
const TypeDesc tPersonBothNames = structure(Kind::Set, "Person", sizeof(Person), kBothNamesFields,
                                            countOf(kBothNamesFields), offsetof(Person, m));

/* Components in any order; an optional one may come again (the last one
   counts), a mandatory one may not: that fails when the SET closes, so an
   unknown element after the repeat is found first. */
TEST_F(XerDecodeTest, SetComponentsComeInAnyOrderMandatoryOnesOnce) {
   struct Case {
      const TypeDesc* type;
      const char* xml;
      int status;
      const char* given = nullptr;
      ASN1INT age = 0;
   };
   const Case cases[] = {
      {&tPerson, "<Person><age>40</age><given>Jo</given><surname>Doe</surname></Person>", RTS_OK,
       "Jo", 40},
      {&tPerson, "<Person><surname>Doe</surname></Person>", RTS_OK, nullptr, 0},
      {&tPerson, "<Person><given>Jo</given><surname>Doe</surname><given>Al</given></Person>",
       RTS_OK, "Al", 0},
      {&tPerson, "<Person><age>4</age><surname>Doe</surname><age>40</age></Person>", RTS_OK,
       nullptr, 40},
      {&tPerson, "<Person><age>40</age></Person>", RTS_MISSING_ELEMENT},
      {&tPerson, "<Person><surname>Doe</surname><surname>Doe</surname></Person>",
       RTS_MISSING_ELEMENT},
      {&tPerson, "<Person><surname>Doe</surname><surname>Roe</surname><title>Dr</title></Person>",
       RTS_NOT_FOUND},
      {&tPerson, "<Person><surname>Doe</surname><title>Dr</title></Person>", RTS_NOT_FOUND},
      {&tPersonBothNames, "<Person><given>Jo</given><surname>Doe</surname></Person>", RTS_OK, "Jo",
       0},
      {&tPersonBothNames, "<Person><surname>Doe</surname><surname>Roe</surname></Person>",
       RTS_MISSING_ELEMENT},
   };
   for (const Case& c : cases) {
      Person p{};
      ASSERT_EQ(fromXer(c.type, &p, c.xml), c.status) << c.xml;
      if (c.status != RTS_OK) continue;
      EXPECT_STREQ(p.surname, "Doe") << c.xml;
      EXPECT_STREQ(p.given, c.given) << c.xml;
      EXPECT_EQ(p.age, c.age) << c.xml;
      EXPECT_EQ(p.m.givenPresent, c.given != nullptr && c.type == &tPerson) << c.xml;
      EXPECT_EQ(p.m.agePresent, c.age != 0) << c.xml;
   }
}

TEST_F(XerDecodeTest, ChoiceTakesExactlyOneKnownAlternative) {
   GenName g{};
   ASSERT_EQ(fromXer(&tGenName, &g, "<GenName><iPAddress>7F000001</iPAddress></GenName>"), RTS_OK);
   ASSERT_EQ(g.t, 4u);
   ASSERT_NE(g.u.iPAddress, nullptr);
   EXPECT_EQ(hexOf(g.u.iPAddress->data, g.u.iPAddress->numocts), "7F000001");
   GenName other{};
   EXPECT_EQ(fromXer(&tGenName, &other, "<GenName><uri>x</uri></GenName>"), RTS_NOT_FOUND);
   EXPECT_EQ(fromXer(&tGenName, &other,
                     "<GenName><rfc822Name>a</rfc822Name><rfc822Name>b</rfc822Name></GenName>"),
             RTS_NOT_FOUND);
}

TEST_F(XerDecodeTest, NestedListsInsideAnAlternativeHeldByPointer) {
   GenName g{};
   const std::string xml =
      "<GenName><directoryName><rdnSequence>"
      "<RDN><AttributeTypeAndValue><type>2.5.4.6</type><value><PrintableString>NL"
      "</PrintableString></value></AttributeTypeAndValue></RDN>"
      "<RDN></RDN>"
      "</rdnSequence></directoryName></GenName>";
   ASSERT_EQ(fromXer(&tGenName, &g, xml), RTS_OK);
   ASSERT_EQ(g.t, 3u);
   const Asn1RTDList& rdns = *g.u.directoryName->u.rdnSequence;
   ASSERT_EQ(rdns.count, 2u);
   const Asn1RTDList& first = *static_cast<const Asn1RTDList*>(rdns.head->data);
   EXPECT_EQ(static_cast<const Asn1RTDList*>(rdns.tail->data)->count, 0u);
   ASSERT_EQ(first.count, 1u);
   const AttributeTypeAndValue& atv = *static_cast<const AttributeTypeAndValue*>(first.head->data);
   EXPECT_EQ(atv.type.numarcs, 4u);
   ASSERT_NE(atv.value.decoded, nullptr);
   EXPECT_STREQ(*static_cast<const char* const*>(atv.value.decoded), "NL");
}

asn1rt::TypeDesc genNamesType() {
   asn1rt::TypeDesc t = listOf("GenNames", &tGenName, false);
   t.itemName = "";
   return t;
}
const asn1rt::TypeDesc tGenNames = genNamesType();

TEST_F(XerDecodeTest, ListOfChoiceItemsKeepsTheirOrder) {
   Asn1RTDList names{};
   const std::string xml = lines({"<GenNames>", "|<rfc822Name>a@b</rfc822Name>",
                                  "|<registeredID>1.2.3</registeredID>",
                                  "|<rfc822Name>c@d</rfc822Name>", "</GenNames>"});
   ASSERT_EQ(fromXer(&tGenNames, &names, xml), RTS_OK);
   ASSERT_EQ(names.count, 3u);
   const GenName& first = *static_cast<const GenName*>(names.head->data);
   const GenName& second = *static_cast<const GenName*>(names.head->next->data);
   const GenName& third = *static_cast<const GenName*>(names.tail->data);
   EXPECT_EQ(first.t, 2u);
   EXPECT_STREQ(first.u.rfc822Name, "a@b");
   EXPECT_EQ(second.t, 5u);
   EXPECT_EQ(second.u.registeredID->numarcs, 3u);
   EXPECT_STREQ(third.u.rfc822Name, "c@d");
   EXPECT_EQ(toXer(&tGenNames, &names), "\n" + xml);
}

TEST_F(XerDecodeTest, ListItemsCarryTheItemTypeName) {
   Asn1RTDList extensions{};
   EXPECT_EQ(fromXer(&tExtensions, &extensions, "<Extensions></Extensions>"), RTS_OK);
   EXPECT_EQ(extensions.count, 0u);
   EXPECT_EQ(fromXer(&tExtensions, &extensions,
                     "<Extensions><Extensio><extnID>1.2</extnID><extnValue/></Extensio>"
                     "</Extensions>"),
             RTS_XML_STRUCTURE);
   Asn1RTDList two{};
   ASSERT_EQ(fromXer(&tExtensions, &two,
                     "<Extensions><Extension><extnID>1.2</extnID><extnValue>01</extnValue>"
                     "</Extension><Extension><extnID>1.3</extnID><critical><true/></critical>"
                     "<extnValue>02</extnValue></Extension></Extensions>"),
             RTS_OK);
   ASSERT_EQ(two.count, 2u);
   const Extension& second = *static_cast<const Extension*>(two.tail->data);
   EXPECT_EQ(second.extnID.arcs[1], 3u);
   EXPECT_EQ(second.critical, 1);
   EXPECT_EQ(hexOf(second.extnValue.data, second.extnValue.numocts), "02");
}

TEST_F(XerDecodeTest, CountedArraysGrowAsItemsArrive) {
   IntList ints{};
   std::string xml = "<IntList>";
   for (int i = 1; i <= 9; i++) xml += "<INTEGER>" + std::to_string(i * 10) + "</INTEGER>";
   xml += "</IntList>";
   /* SIZE is the encoder's business: nine items decode. */
   ASSERT_EQ(fromXer(&tIntList, &ints, xml), RTS_OK);
   ASSERT_EQ(ints.n, 9u);
   for (ASN1UINT i = 0; i < 9; i++) EXPECT_EQ(ints.elem[i], static_cast<ASN1INT>((i + 1) * 10));
   Selectors s{};
   ASSERT_EQ(fromXer(&tSelectors, &s,
                     "<Selectors><OCTET_STRING>0102</OCTET_STRING><any>FF</any></Selectors>"),
             RTS_OK);
   ASSERT_EQ(s.n, 2u);
   EXPECT_EQ(hexOf(s.elem[0].data, s.elem[0].numocts), "0102");
   EXPECT_EQ(hexOf(s.elem[1].data, s.elem[1].numocts), "FF");
   IntList empty{};
   ASSERT_EQ(fromXer(&tIntList, &empty, "<IntList/>"), RTS_OK);
   EXPECT_EQ(empty.n, 0u);
   EXPECT_EQ(empty.elem, nullptr);
}

TEST_F(XerDecodeTest, TextSplitIntoSeveralEventsIsJoined) {
   /* The parser reports the text around a character reference and every
      line feed as separate pieces. */
   ASN1TDynOctStr octets{};
   ASSERT_EQ(fromXer(&tOctets, &octets, "<OCTET_STRING>0a\n 1B&#x43;d</OCTET_STRING>"), RTS_OK);
   EXPECT_EQ(hexOf(octets.data, octets.numocts), "0A1BCD");
   ASSERT_EQ(fromXer(&tOctets, &octets, "<OCTET_STRING>A&#x42;C</OCTET_STRING>"), RTS_OK);
   EXPECT_EQ(hexOf(octets.data, octets.numocts), "0ABC");
   ASN1TDynBitStr bits{};
   ASSERT_EQ(fromXer(&tBits, &bits, "<BIT_STRING>11111111&#x31;</BIT_STRING>"), RTS_OK);
   EXPECT_EQ(bits.numbits, 9u);
   EXPECT_EQ(hexOf(bits.data, 2), "FF80");
   EXPECT_EQ(fromXer(&tBits, &bits, "<BIT_STRING>10&#x32;</BIT_STRING>"), RTS_BAD_BIT_TEXT);
   const char* text = nullptr;
   ASSERT_EQ(fromXer(&tIA5, &text, "<IA5String>a&amp;b&#x41;c</IA5String>"), RTS_OK);
   EXPECT_STREQ(text, "a&bAc");
   ASN1INT number = 0;
   ASSERT_EQ(fromXer(&tInteger, &number, "<INTEGER>1&#x32;3</INTEGER>"), RTS_OK);
   EXPECT_EQ(number, 123);
}

TEST_F(XerDecodeTest, IndentedOutputOfTheEncoderDecodesBack) {
   ASN116BITCHAR bmp[] = {0x41, 0xE9};
   ASN132BITCHAR uni[] = {0x20AC, 0x41};
   Strings s{};
   s.bmp = {2, bmp};
   s.uni = {2, uni};
   s.key = {4, {0xDE, 0xAD, 0xBE, 0xEF}};
   s.usage = {9, {0x81, 0x80}};
   s.m.usagePresent = 1;
   s.reason = 1;
   s.m.reasonPresent = 1;
   s.m.nothingPresent = 1;
   const std::string xml = toXer(&tStrings, &s);
   Strings back{};
   ASSERT_EQ(fromXer(&tStrings, &back, xml), RTS_OK);
   EXPECT_EQ(toXer(&tStrings, &back), xml);
   EXPECT_EQ(back.uni.data[0], 0x20ACu);
   EXPECT_EQ(back.reason, 1u);
   EXPECT_EQ(back.m.smallPresent, 0u);
}

}
