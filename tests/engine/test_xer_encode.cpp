// XER encoder over descriptors: the exact text of every construct, element
// naming (type names, component identifiers, CHOICE items without element,
// built-in names), named numbers and enumerations, bit strings in binary,
// SIZE checks and the statuses of invalid values.
#include <cstring>

#include "xer_fixture.h"

using namespace testmodule;

namespace {

const std::string kRsa = "30 0D 06 09 2A 86 48 86 F7 0D 01 01 01 05 00";
const std::string kUtc = "17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A";
const std::string kGen = "18 0F 32 30 33 30 30 31 30 31 30 30 30 30 30 30 5A";
const std::string kExtension = "30 0E 06 03 55 1D 0F 01 01 FF 04 04 03 02 05 A0";
const std::string kMinimal = "30 21 02 01 01" + kRsa + kUtc;
const std::string kFull = "30 56 A0 03 02 01 02 02 02 01 00 01 01 FF 81 01 05" + kRsa + kUtc +
                          kGen + "82 02 07 80 A3 12 30 10" + kExtension;

class XerEncodeTest : public XerTest {};

TEST_F(XerEncodeTest, FullRecordIsIndentedThreeBlanksPerLevel) {
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r, kFull), RTS_OK);
   EXPECT_EQ(toXer(&tRecord, &r),
             "\n" + lines({"<Record>",
                           "|<version><v3/></version>",
                           "|<serial>256</serial>",
                           "|<critical><true/></critical>",
                           "|<minimum>5</minimum>",
                           "|<algorithm>",
                           "||<algorithm>1.2.840.113549.1.1.1</algorithm>",
                           "||<parameters><NULLParams_/></parameters>",
                           "|</algorithm>",
                           "|<validity>",
                           "||<utcTime>250101000000Z</utcTime>",
                           "|</validity>",
                           "|<until>",
                           "||<generalTime>20300101000000Z</generalTime>",
                           "|</until>",
                           "|<uid>1</uid>",
                           "|<extensions>",
                           "||<Extension>",
                           "|||<extnID>2.5.29.15</extnID>",
                           "|||<critical><true/></critical>",
                           "|||<extnValue><KeyUsage>101</KeyUsage></extnValue>",
                           "||</Extension>",
                           "|</extensions>",
                           "</Record>"}));
}

TEST_F(XerEncodeTest, CompactOutputHasNoLineFeedsOrBlanks) {
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r, kMinimal), RTS_OK);
   EXPECT_EQ(toXer(&tRecord, &r, true),
             "<Record><serial>1</serial><algorithm><algorithm>1.2.840.113549.1.1.1</algorithm>"
             "<parameters><NULLParams_/></parameters></algorithm><validity><utcTime>250101000000Z"
             "</utcTime></validity></Record>");
}

TEST_F(XerEncodeTest, ElementNameArgumentReplacesTheTypeNameAndCarriesAttributes) {
   Params p{7, {0, nullptr}};
   EXPECT_EQ(toXer(&tParams, &p, true, "p"), "<p><a>7</a><b/></p>");
   ASN1CTXT out;
   ASSERT_EQ(rtInitContext(&out, nullptr), RTS_OK);
   ASSERT_EQ(xerSetEncBufPtr(&out, nullptr, 0, 1), RTS_OK);
   ASSERT_EQ(asn1rt::xerEncode(&out, &tParams, &p, nullptr, "id=\"1\""), RTS_OK);
   EXPECT_EQ(std::string(reinterpret_cast<char*>(out.buffer.data), out.buffer.byteIndex),
             "<Params id=\"1\"><a>7</a><b/></Params>");
   rtFreeContext(&out);
}

TEST_F(XerEncodeTest, PresenceDecidesWhichComponentsAreWritten) {
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r, kMinimal), RTS_OK);
   /* A DEFAULT FALSE/0 field is written when it is not zero, an OPTIONAL
      one only with its bit, whatever its value. */
   r.critical = 0;
   r.minimum = 0;
   r.version = 2;
   r.m.versionPresent = 0;
   std::string text = toXer(&tRecord, &r, true);
   EXPECT_EQ(text.find("<version>"), std::string::npos);
   EXPECT_EQ(text.find("<critical>"), std::string::npos);
   EXPECT_EQ(text.find("<minimum>"), std::string::npos);
   r.m.versionPresent = 1;
   r.version = 0;
   r.minimum = -3;
   text = toXer(&tRecord, &r, true);
   EXPECT_NE(text.find("<serial>1</serial>"), std::string::npos);
   EXPECT_EQ(text.find("<Record><version><v1/></version><serial>1</serial><minimum>-3</minimum>"),
             0u);
}

TEST_F(XerEncodeTest, NamedNumbersAndEnumerations) {
   struct Case {
      const asn1rt::TypeDesc* type;
      ASN1UINT value;
      std::string xml;
   };
   const Case cases[] = {
      {&tVersion, 0, "<Version><v1/></Version>"},
      {&tVersion, 2, "<Version><v3/></Version>"},
      {&tVersion, 7, "<Version>7</Version>"},
      {&tReason, 0, "<Reason><unspecified/></Reason>"},
      {&tReason, 10, "<Reason><aACompromise/></Reason>"},
      {&tReason, 7, status(RTS_BAD_ENUM)},
   };
   for (const Case& c : cases) {
      EXPECT_EQ(toXer(c.type, &c.value, true), c.xml) << c.value;
   }
}

TEST_F(XerEncodeTest, BigIntegerWithNamedNumbers) {
   struct Case {
      const char* value;
      std::string xml;
   };
   const Case cases[] = {
      {"1", "<BigVersion><v1/></BigVersion>"},
      {"0x01", "<BigVersion><v1/></BigVersion>"},
      {"0x0002", "<BigVersion><v2/></BigVersion>"},
      {"3", "<BigVersion>3</BigVersion>"},
      {"0x0100000000000000000001", "<BigVersion>1208925819614629174706177</BigVersion>"},
   };
   for (const Case& c : cases) {
      EXPECT_EQ(toXer(&tBigVersion, &c.value, true), c.xml) << c.value;
   }
}

TEST_F(XerEncodeTest, PrimitiveKindsUseTheirBuiltInWriters) {
   ASN1INT negative = -42;
   EXPECT_EQ(toXer(&tInteger, &negative, true), "<INTEGER>-42</INTEGER>");
   ASN1USINT small = 256;
   EXPECT_EQ(toXer(&tSmall, &small, true), "<SmallNumber>256</SmallNumber>");
   const char* serial = "0x00FF";
   EXPECT_EQ(toXer(&tBigInt, &serial, true), "<SerialNumber>255</SerialNumber>");
   ASN1BOOL flag = 0;
   EXPECT_EQ(toXer(&tBoolean, &flag, true), "<BOOLEAN><false/></BOOLEAN>");
   EXPECT_EQ(toXer(&tNull, nullptr), "\n<NULLParams_/>");
   EXPECT_EQ(toXer(&tNull, nullptr, true), "<NULLParams_/>");
   ASN1OBJID id = oid({2, 999, 1});
   EXPECT_EQ(toXer(&tOid, &id, true), "<OBJECT_IDENTIFIER>2.999.1</OBJECT_IDENTIFIER>");
   const ASN1OCTET octets[] = {0x0A, 0xBC};
   ASN1TDynOctStr dyn{2, octets};
   EXPECT_EQ(toXer(&tOctets, &dyn, true), "<OCTET_STRING>0ABC</OCTET_STRING>");
   /* Bit strings are binary, also those with named bits. */
   const ASN1OCTET bitData[] = {0xA5, 0x80};
   ASN1TDynBitStr bits{12, bitData};
   EXPECT_EQ(toXer(&tBits, &bits, true), "<BIT_STRING>101001011000</BIT_STRING>");
   KeyUsage usage{9, {0x86, 0x80}};
   EXPECT_EQ(toXer(&tKeyUsage, &usage, true), "<KeyUsage>100001101</KeyUsage>");
   const char* text = "a<b & \"c\"";
   EXPECT_EQ(toXer(&tIA5, &text, true), "<IA5String>a&lt;b &amp; &quot;c&quot;</IA5String>");
}

TEST_F(XerEncodeTest, StringsOfEveryFormAndTheNullComponent) {
   ASN116BITCHAR bmp[] = {0x41, 0xE9};
   ASN132BITCHAR uni[] = {0x20AC};
   Strings s{};
   s.bmp = {2, bmp};
   s.uni = {1, uni};
   s.key = {4, {0xDE, 0xAD, 0xBE, 0xEF}};
   s.usage = {2, {0x40, 0x00}};
   s.m.usagePresent = 1;
   s.reason = 8;
   s.m.reasonPresent = 1;
   s.small = 3;
   s.m.smallPresent = 1;
   s.m.nothingPresent = 1;
   EXPECT_EQ(toXer(&tStrings, &s),
             "\n" + lines({"<Strings>",
                           "|<bmp>A\xC3\xA9</bmp>",
                           "|<uni>\xE2\x82\xAC</uni>",
                           "|<key>DEADBEEF</key>",
                           "|<usage>01</usage>",
                           "|<reason><removeFromCRL/></reason>",
                           "|<small>3</small>",
                           "|<nothing/>",
                           "</Strings>"}));
}

TEST_F(XerEncodeTest, SizeConstraintsAreCheckedBeforeWriting) {
   const char* longText = "123456789";
   EXPECT_EQ(toXer(&tPrintable, &longText), status(RTS_CONSTRAINT));
   const char* utf8 = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";  // 4 characters in 8 octets
   EXPECT_EQ(toXer(&tUtf8, &utf8, true),
             "<UTF8String>\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9</UTF8String>");
   ASN116BITCHAR four[] = {1, 2, 3, 4};
   ASN116BitCharString bmp{4, four};
   EXPECT_EQ(toXer(&tBMP, &bmp), status(RTS_CONSTRAINT));
   Key4 key{3, {1, 2, 3, 0}};
   EXPECT_EQ(toXer(&tKey4, &key), status(RTS_CONSTRAINT));
   Asn1RTDList empty{0, nullptr, nullptr};
   EXPECT_EQ(toXer(&tExtensions, &empty), status(RTS_CONSTRAINT));
   ASN1INT five[] = {1, 2, 3, 4, 5};
   IntList list{5, five};
   EXPECT_EQ(toXer(&tIntList, &list), status(RTS_CONSTRAINT));
   /* The failure is recorded in the context. */
   ASN1CTXT out;
   ASSERT_EQ(rtInitContext(&out, nullptr), RTS_OK);
   ASSERT_EQ(xerSetEncBufPtr(&out, nullptr, 0, 1), RTS_OK);
   EXPECT_EQ(asn1rt::xerEncode(&out, &tPrintable, &longText, nullptr, nullptr), RTS_CONSTRAINT);
   EXPECT_EQ(out.errInfo.status, RTS_CONSTRAINT);
   EXPECT_EQ(out.buffer.byteIndex, 0u);
   rtFreeContext(&out);
}

TEST_F(XerEncodeTest, ChoiceWritesItsAlternativeInsideItsElement) {
   Time t{2, {}};
   t.u.generalTime = "20300101000000Z";
   EXPECT_EQ(toXer(&tTime, &t, true), "<Time><generalTime>20300101000000Z</generalTime></Time>");
   /* "" leaves the CHOICE without an element of its own. */
   EXPECT_EQ(toXer(&tTime, &t, true, ""), "<generalTime>20300101000000Z</generalTime>");
   t.t = 3;
   EXPECT_EQ(toXer(&tTime, &t), status(RTS_BAD_CHOICE));
   t.t = 0;
   EXPECT_EQ(toXer(&tTime, &t), status(RTS_BAD_CHOICE));
}

TEST_F(XerEncodeTest, AlternativesHeldByPointerAndNestedLists) {
   /* GenName directoryName -> Name -> RDNSequence -> RDN -> commonName. */
   ASN1OCTET cn[] = {0x0C, 0x02, 'h', 'i'};
   AttributeTypeAndValue atv{oid({2, 5, 4, 3}), {4, cn, 0, nullptr}};
   DirString decodedCn{2, {}};
   decodedCn.u.utf8String = "hi";
   atv.value.decoded = &decodedCn;
   Asn1RTDListNode atvNode{&atv, nullptr, nullptr};
   Asn1RTDList rdn{1, &atvNode, &atvNode};
   Asn1RTDListNode rdnNode{&rdn, nullptr, nullptr};
   Asn1RTDList rdnSequence{1, &rdnNode, &rdnNode};
   Name name{1, {&rdnSequence}};
   GenName general{3, {}};
   general.u.directoryName = &name;
   EXPECT_EQ(toXer(&tGenName, &general),
             "\n" + lines({"<GenName>",
                           "|<directoryName>",
                           "||<rdnSequence>",
                           "|||<RDN>",
                           "||||<AttributeTypeAndValue>",
                           "|||||<type>2.5.4.3</type>",
                           "|||||<value><DirString><utf8String>hi</utf8String></DirString></value>",
                           "||||</AttributeTypeAndValue>",
                           "|||</RDN>",
                           "||</rdnSequence>",
                           "|</directoryName>",
                           "</GenName>"}));
   general.u.directoryName = nullptr;
   EXPECT_EQ(toXer(&tGenName, &general), status(RTS_BAD_VALUE));
}

/* GenNames ::= SEQUENCE OF GenName, items written as their alternatives. */
asn1rt::TypeDesc genNamesType() {
   asn1rt::TypeDesc t = listOf("GenNames", &tGenName, false);
   t.itemName = "";
   return t;
}
const asn1rt::TypeDesc tGenNames = genNamesType();

TEST_F(XerEncodeTest, ListOfChoiceItemsWritesTheAlternativesDirectly) {
   GenName mail{2, {}};
   mail.u.rfc822Name = "a@b";
   ASN1OBJID id = oid({1, 2, 3});
   GenName registered{5, {}};
   registered.u.registeredID = &id;
   Asn1RTDListNode second{&registered, nullptr, nullptr};
   Asn1RTDListNode first{&mail, &second, nullptr};
   second.prev = &first;
   Asn1RTDList names{2, &first, &second};
   EXPECT_EQ(toXer(&tGenNames, &names),
             "\n" + lines({"<GenNames>",
                           "|<rfc822Name>a@b</rfc822Name>",
                           "|<registeredID>1.2.3</registeredID>",
                           "</GenNames>"}));
}

TEST_F(XerEncodeTest, EmptyListWithoutLowerBoundIsAStartAndAnEndTag) {
   Asn1RTDList empty{0, nullptr, nullptr};
   EXPECT_EQ(toXer(&tRDNSequence, &empty), "\n<RDNSequence></RDNSequence>");
}

TEST_F(XerEncodeTest, SetIsWrittenInDefinitionOrder) {
   Person p{};
   p.surname = "Doe";
   p.given = "Jo";
   p.m.givenPresent = 1;
   p.age = 40;
   p.m.agePresent = 1;
   EXPECT_EQ(toXer(&tPerson, &p, true),
             "<Person><surname>Doe</surname><given>Jo</given><age>40</age></Person>");
}

TEST_F(XerEncodeTest, CountedArraysWriteTheirItemsUnderTheItemTypeName) {
   ASN1INT numbers[] = {1, -2};
   IntList ints{2, numbers};
   EXPECT_EQ(toXer(&tIntList, &ints, true),
             "<IntList><INTEGER>1</INTEGER><INTEGER>-2</INTEGER></IntList>");
   const ASN1OCTET one[] = {0x01};
   ASN1TDynOctStr selectors[] = {{1, one}, {0, nullptr}};
   Selectors s{2, selectors};
   EXPECT_EQ(toXer(&tSelectors, &s),
             "\n" + lines({"<Selectors>", "|<OCTET_STRING>01</OCTET_STRING>", "|<OCTET_STRING/>",
                           "</Selectors>"}));
   s.elem = nullptr;
   EXPECT_EQ(toXer(&tSelectors, &s), status(RTS_BAD_VALUE));
}

TEST_F(XerEncodeTest, MissingValueIsRefused) {
   EXPECT_EQ(toXer(&tRecord, nullptr), status(RTS_BAD_VALUE));
   Params p{1, {0, nullptr}};
   const char* nothing = nullptr;
   EXPECT_EQ(toXer(&tIA5, &nothing), status(RTS_BAD_VALUE));
   EXPECT_EQ(toXer(&tPrintable, &nothing), status(RTS_BAD_VALUE));
   EXPECT_EQ(toXer(&tParams, &p, true), "<Params><a>1</a><b/></Params>");
}

}
