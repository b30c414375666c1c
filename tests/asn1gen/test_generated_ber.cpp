/* BER/DER through the functions asn1gen generates for its test module:
   exact octets for every construct, decoding back into the generated value
   structures, the failure statuses, copy and free. */
#include <gtest/gtest.h>

#include "generated_fixture.h"

using namespace asn1data;

namespace {

std::string ascii(const std::string& text) { return testsupport::toHex(text); }

const char kUtc[] = "250101000000Z";
const char kGeneral[] = "20250101000000Z";

const std::string kPlainAlgorithm = tlv("30", gentestOid("01 01"));
const std::string kMinimalRecord =
   tlv("30", "02 01 05" + tlv("17", ascii(kUtc)) + kPlainAlgorithm);

/* The value of kMinimalRecord. */
void setMinimal(ASN1T_Record& r) {
   r.serial = "5";
   r.when.t = 1;
   r.when.u.utcTime = kUtc;
   r.algorithm.algorithm = id_alg_plain;
}

class GeneratedBerTest : public GeneratedTest {};

TEST_F(GeneratedBerTest, RecordLeavesOutAbsentAndDefaultComponents) {
   ASN1T_Record r;
   setMinimal(r);
   EXPECT_EQ(der(asn1E_Record, r), kMinimalRecord);

   ASN1T_Record back;
   ASSERT_EQ(decode(asn1D_Record, back, kMinimalRecord), RTS_OK);
   EXPECT_EQ(back.m.versionPresent, 0u);
   EXPECT_EQ(back.m.statusPresent, 0u);
   EXPECT_EQ(back.flag, 0);
   EXPECT_EQ(back.count, 0);
   EXPECT_STREQ(back.serial, "0x05");
   EXPECT_EQ(back.when.t, 1u);
   EXPECT_STREQ(back.when.u.utcTime, kUtc);
   EXPECT_EQ(back.algorithm.algorithm, id_alg_plain);
   EXPECT_EQ(back.extElem1.count, 0u);
}

TEST_F(GeneratedBerTest, RecordWritesDefaultsHeldAsOptionalWhateverTheirValue) {
   ASN1T_Record r;
   setMinimal(r);
   r.m.versionPresent = 1;
   r.version = Version::v1;
   r.m.statusPresent = 1;
   r.status = Status::granted;
   const std::string expected =
      tlv("30", "A0 03 02 01 00  02 01 05  0A 01 00" + tlv("17", ascii(kUtc)) + kPlainAlgorithm);
   EXPECT_EQ(der(asn1E_Record, r), expected);

   ASN1T_Record back;
   ASSERT_EQ(decode(asn1D_Record, back, expected), RTS_OK);
   EXPECT_EQ(back.m.versionPresent, 1u);
   EXPECT_EQ(back.version, 0u);
   EXPECT_EQ(back.m.statusPresent, 1u);
   EXPECT_EQ(back.status, 0u);
}

TEST_F(GeneratedBerTest, RecordWithEveryComponentRoundTrips) {
   ASN1T_Record r;
   setMinimal(r);
   r.flag = 1;
   r.count = 7;
   r.m.smallPresent = 1;
   r.small = 300;
   r.m.flagsPresent = 1;
   r.flags.numbits = 10;
   r.flags.data[0] = 0x80; /* urgent */
   r.flags.data[1] = 0x40; /* archived (bit 9) */
   r.m.labelPresent = 1;
   r.label = "ab";
   r.m.idPresent = 1;
   r.id = oidOf({2, 5, 4, 3});
   r.m.keyPresent = 1;
   r.key.numocts = 8;
   for (ASN1OCTET i = 0; i < 8; i++) r.key.data[i] = static_cast<ASN1OCTET>(i + 1);
   static const ASN1OCTET bits[] = {0xF0};
   r.m.bitsPresent = 1;
   r.bits.numbits = 4;
   r.bits.data = bits;
   r.m.nothingPresent = 1;
   r.when.t = 2;
   r.when.u.generalTime = kGeneral;
   ASN1T_Params params;
   params.rounds = 3;
   r.algorithm.algorithm = id_alg_params;
   r.algorithm.m.parametersPresent = 1;
   r.algorithm.parameters.decoded = &params;
   static const ASN1OCTET any[] = {0x05, 0x00};
   r.m.extraPresent = 1;
   r.extra.numocts = 2;
   r.extra.data = any;

   const std::string expected = tlv(
      "30", "02 01 05  01 01 FF  81 01 07  82 02 01 2C  83 03 06 80 40  0C 02 61 62"
            "06 03 55 04 03  04 08 01 02 03 04 05 06 07 08  84 02 04 F0  85 00" +
               tlv("18", ascii(kGeneral)) +
               tlv("30", gentestOid("01 02") + "30 03 02 01 03") + "A6 02 05 00");
   EXPECT_EQ(der(asn1E_Record, r), expected);

   ASN1T_Record back;
   ASSERT_EQ(decode(asn1D_Record, back, expected), RTS_OK);
   EXPECT_EQ(back.flag, 0xFF); /* TRUE as received */
   EXPECT_EQ(back.count, 7);
   EXPECT_EQ(back.small, 300);
   EXPECT_EQ(back.flags.numbits, 10u);
   EXPECT_EQ(hexOf(back.flags.data, 2), "8040");
   EXPECT_STREQ(back.label, "ab");
   EXPECT_EQ(back.key.numocts, 8u);
   EXPECT_EQ(back.m.nothingPresent, 1u);
   EXPECT_EQ(back.when.t, 2u);
   ASSERT_NE(back.algorithm.parameters.decoded, nullptr);
   EXPECT_EQ(static_cast<ASN1T_Params*>(back.algorithm.parameters.decoded)->rounds, 3);
   EXPECT_EQ(hexOf(back.extra.data, back.extra.numocts), "0500");
   EXPECT_EQ(der(asn1E_Record, back), expected);
}

TEST_F(GeneratedBerTest, ExtensibleRecordKeepsUnknownElements) {
   const std::string input =
      tlv("30", "02 01 05" + tlv("17", ascii(kUtc)) + kPlainAlgorithm + "02 01 09  05 00");
   ASN1T_Record r;
   ASSERT_EQ(decode(asn1D_Record, r, input), RTS_OK);
   EXPECT_EQ(r.extElem1.count, 2u);
   EXPECT_EQ(der(asn1E_Record, r), input);
}

TEST_F(GeneratedBerTest, StructureFailuresGiveTheirStatus) {
   ASN1T_Record r;
   EXPECT_EQ(decode(asn1D_Record, r, "30 03 02 01 05"), RTS_MISSING_ELEMENT);
   ASN1T_Params p;
   /* Params has no extension marker. */
   EXPECT_EQ(decode(asn1D_Params, p, "30 06 02 01 03 02 01 04"), RTS_EXTRA_ELEMENT);
   ASN1T_Record wrong;
   EXPECT_EQ(decode(asn1D_Record, wrong, "31 03 02 01 05"), RTS_NOT_FOUND);

   /* An open type that must hold a SEQUENCE takes nothing else, both ways. */
   ASN1T_Signed s;
   ASSERT_EQ(decode(asn1D_Signed, s, "30 07 30 02 05 00 03 01 00"), RTS_OK);
   EXPECT_EQ(hexOf(s.toBeSigned.data, s.toBeSigned.numocts), H("30 02 05 00"));
   EXPECT_EQ(der(asn1E_Signed, s), H("30 07 30 02 05 00 03 01 00"));
   for (const char* part : {"05 00", "10 00", "31 00", "A0 00"}) {
      ASN1T_Signed other;
      EXPECT_EQ(decode(asn1D_Signed, other, tlv("30", std::string(part) + "03 01 00")),
                RTS_NOT_FOUND) << part;
      rtErrReset(&ctxt.errInfo);
   }
   const ASN1OCTET null[] = {0x05, 0x00};
   s.toBeSigned.data = null;
   s.toBeSigned.numocts = 2;
   EXPECT_EQ(der(asn1E_Signed, s), status(RTS_BAD_VALUE));
   s.toBeSigned.numocts = 0;
   EXPECT_EQ(der(asn1E_Signed, s), status(RTS_BAD_VALUE));
}

TEST_F(GeneratedBerTest, EveryCharacterStringUnderItsTag) {
   static ASN116BITCHAR bmp[] = {0x48, 0x69};
   static ASN132BITCHAR universal[] = {0xE9};
   ASN1T_Strings s;
   s.printable = "Abc";
   s.ia5 = "x@y";
   s.m.numericPresent = s.m.visiblePresent = s.m.teletexPresent = 1;
   s.m.bmpPresent = s.m.universalPresent = s.m.utf8Present = 1;
   s.numeric = "123";
   s.visible = "V";
   s.teletex = "T";
   s.bmp = {2, bmp};
   s.universal = {1, universal};
   s.utf8 = "\xC3\xA9";
   const std::string expected = tlv(
      "30", "13 03 41 62 63  16 03 78 40 79  A0 05 12 03 31 32 33  A1 03 1A 01 56"
            "A2 03 14 01 54  A3 06 1E 04 00 48 00 69  A4 06 1C 04 00 00 00 E9"
            "A5 04 0C 02 C3 A9");
   EXPECT_EQ(der(asn1E_Strings, s), expected);

   ASN1T_Strings back;
   ASSERT_EQ(decode(asn1D_Strings, back, expected), RTS_OK);
   EXPECT_EQ(back.bmp.nchars, 2u);
   EXPECT_EQ(back.bmp.data[1], 0x69);
   EXPECT_EQ(back.universal.data[0], 0xE9u);
   EXPECT_STREQ(back.utf8, "\xC3\xA9");

   s.printable = "ABCDEFGHI"; /* SIZE (1..8) */
   EXPECT_EQ(der(asn1E_Strings, s), status(RTS_CONSTRAINT));
}

TEST_F(GeneratedBerTest, SetAcceptsAnyOrderAndRejectsDuplicatesAndStrangers) {
   ASN1T_Person person;
   person.surname = "Doe";
   person.m.givenPresent = 1;
   person.given = "Jo";
   person.m.agePresent = 1;
   person.age = 42;
   const std::string surname = "A0 05 13 03 44 6F 65", given = "A1 04 13 02 4A 6F",
                     age = "82 01 2A";
   EXPECT_EQ(der(asn1E_Person, person), tlv("31", surname + given + age));

   ASN1T_Person back;
   ASSERT_EQ(decode(asn1D_Person, back, tlv("31", age + given + surname)), RTS_OK);
   EXPECT_STREQ(back.surname, "Doe");
   EXPECT_EQ(back.age, 42);
   EXPECT_EQ(der(asn1E_Person, back), tlv("31", surname + given + age));

   const struct {
      std::string input;
      int status;
   } failures[] = {
      {tlv("31", surname + surname), RTS_SET_DUPLICATE},
      {tlv("31", surname + "83 01 00"), RTS_SET_UNKNOWN},
      {tlv("31", age), RTS_MISSING_ELEMENT},
   };
   for (const auto& f : failures) {
      ASN1T_Person p;
      EXPECT_EQ(decode(asn1D_Person, p, f.input), f.status) << f.input;
   }
   person.age = 151; /* INTEGER (0..150) */
   EXPECT_EQ(der(asn1E_Person, person), status(RTS_CONSTRAINT));
}

TEST_F(GeneratedBerTest, ListsAndCountedArrays) {
   /* A list of structures. */
   ASN1T_ParamsList list;
   ASN1T_Params first, second;
   first.rounds = 1;
   second.rounds = 2;
   second.m.saltPresent = 1;
   second.salt = {2, reinterpret_cast<const ASN1OCTET*>("ab")};
   Asn1RTDListNode nodes[2] = {{&first, &nodes[1], nullptr}, {&second, nullptr, &nodes[0]}};
   list.count = 2;
   list.head = &nodes[0];
   list.tail = &nodes[1];
   const std::string listDer = tlv("30", "30 03 02 01 01  30 07 02 01 02 04 02 61 62");
   EXPECT_EQ(der(asn1E_ParamsList, list), listDer);
   ASN1T_ParamsList listBack;
   ASSERT_EQ(decode(asn1D_ParamsList, listBack, listDer), RTS_OK);
   ASSERT_EQ(listBack.count, 2u);
   EXPECT_EQ(static_cast<ASN1T_Params*>(listBack.tail->data)->rounds, 2);

   /* Counted arrays of identifiers and of integers; a SET OF goes into DER
      order on output and keeps the input order on decoding. */
   ASN1OBJID oids[] = {oidOf({2, 5, 4, 3}), oidOf({2, 5, 4, 5})};
   ASN1T_OidList oidList;
   oidList.n = 2;
   oidList.elem = oids;
   EXPECT_EQ(der(asn1E_OidList, oidList), H("30 0A 06 03 55 04 03 06 03 55 04 05"));

   ASN1INT numbers[] = {300, 5, -1};
   ASN1T_Numbers set;
   set.n = 3;
   set.elem = numbers;
   const std::string sorted = H("31 0A 02 01 05 02 01 FF 02 02 01 2C");
   EXPECT_EQ(der(asn1E_Numbers, set), sorted);
   ASN1T_Numbers setBack;
   ASSERT_EQ(decode(asn1D_Numbers, setBack, sorted), RTS_OK);
   ASSERT_EQ(setBack.n, 3u);
   EXPECT_EQ(setBack.elem[0], 5);
   EXPECT_EQ(setBack.elem[1], -1);
   EXPECT_EQ(setBack.elem[2], 300);

   /* [APPLICATION 3] IMPLICIT SET OF OCTET STRING. */
   ASN1TDynOctStr octets[] = {{1, reinterpret_cast<const ASN1OCTET*>("b")},
                              {1, reinterpret_cast<const ASN1OCTET*>("a")}};
   ASN1T_Selectors selectors;
   selectors.n = 2;
   selectors.elem = octets;
   EXPECT_EQ(der(asn1E_Selectors, selectors), H("63 06 04 01 61 04 01 62"));
}

TEST_F(GeneratedBerTest, SizeBoundsOfListsHoldBothWays) {
   ASN1T_Labels labels;
   EXPECT_EQ(der(asn1E_Labels, labels), status(RTS_CONSTRAINT));
   ASN1T_Labels empty;
   EXPECT_EQ(decode(asn1D_Labels, empty, "30 00"), RTS_CONSTRAINT);

   ASN1INT five[] = {1, 2, 3, 4, 5};
   ASN1T_Numbers tooMany;
   tooMany.n = 5;
   tooMany.elem = five;
   EXPECT_EQ(der(asn1E_Numbers, tooMany), status(RTS_CONSTRAINT));
}

TEST_F(GeneratedBerTest, ChoiceAlternativesUnderTheirTags) {
   static ASN1OBJID registered = oidOf({2, 5, 4, 3});
   static ASN1TDynOctStr address = {4, reinterpret_cast<const ASN1OCTET*>("\x7F\x00\x00\x01")};
   static ASN1T_GeneralName_otherName other;
   other.type_id = oidOf({2, 5, 4, 3});
   other.value = {2, reinterpret_cast<const ASN1OCTET*>("\x05\x00"), 0};

   const struct {
      void (*set)(ASN1T_GeneralName&);
      std::string der;
   } cases[] = {
      {[](ASN1T_GeneralName& g) { g.t = 1, g.u.otherName = &other; },
       "A0 09 06 03 55 04 03 A0 02 05 00"},
      {[](ASN1T_GeneralName& g) { g.t = 2, g.u.rfc822Name = "a@b"; }, "81 03 61 40 62"},
      {[](ASN1T_GeneralName& g) { g.t = 4, g.u.iPAddress = &address; }, "87 04 7F 00 00 01"},
      {[](ASN1T_GeneralName& g) { g.t = 5, g.u.registeredID = &registered; }, "88 03 55 04 03"},
   };
   for (const auto& c : cases) {
      ASN1T_GeneralName name;
      c.set(name);
      EXPECT_EQ(der(asn1E_GeneralName, name), H(c.der));
      ASN1T_GeneralName back;
      ASSERT_EQ(decode(asn1D_GeneralName, back, c.der), RTS_OK) << c.der;
      EXPECT_EQ(back.t, name.t);
      EXPECT_EQ(der(asn1E_GeneralName, back), H(c.der));
   }

   ASN1T_GeneralName bad;
   bad.t = 6;
   EXPECT_EQ(der(asn1E_GeneralName, bad), status(RTS_BAD_CHOICE));
   ASN1T_GeneralName unknown;
   EXPECT_EQ(decode(asn1D_GeneralName, unknown, "89 01 00"), RTS_BAD_CHOICE);

   /* [APPLICATION 1] EXPLICIT CHOICE. */
   ASN1T_Country country;
   country.t = 2;
   country.u.alpha = "DE";
   EXPECT_EQ(der(asn1E_Country, country), H("61 04 13 02 44 45"));
   ASN1T_Country countryBack;
   ASSERT_EQ(decode(asn1D_Country, countryBack, "61 05 12 03 32 37 36"), RTS_OK);
   EXPECT_EQ(countryBack.t, 1u);
   EXPECT_STREQ(countryBack.u.numeric, "276");
}

TEST_F(GeneratedBerTest, NamesResolveAttributeValuesThroughTheObjectSet) {
   const std::string atv = tlv("30", "06 03 55 04 03  13 02 41 6C");
   const std::string directoryName = tlv("A4", tlv("30", tlv("31", atv)));
   ASN1T_GeneralName name;
   ASSERT_EQ(decode(asn1D_GeneralName, name, directoryName), RTS_OK);
   ASSERT_EQ(name.t, 3u);
   ASN1T_RDNSequence& rdns = *name.u.directoryName->u.rdnSequence;
   ASSERT_EQ(rdns.count, 1u);
   auto* rdn = static_cast<ASN1T_RelativeDistinguishedName*>(rdns.head->data);
   auto* value = static_cast<ASN1T_AttributeTypeAndValue*>(rdn->head->data);
   auto* cn = static_cast<ASN1T__commonName_Type*>(value->value.decoded);
   ASSERT_NE(cn, nullptr);
   EXPECT_EQ(cn->t, 1u);
   EXPECT_STREQ(cn->u.printable, "Al");

   /* The decoded value, not the stored octets, is what gets encoded. */
   cn->t = 2;
   cn->u.utf8 = "Al";
   EXPECT_EQ(der(asn1E_GeneralName, name),
             tlv("A4", tlv("30", tlv("31", tlv("30", "06 03 55 04 03  0C 02 41 6C")))));
}

TEST_F(GeneratedBerTest, AlgorithmParametersByObject) {
   const struct {
      std::string der;
      bool decodedValue;
   } cases[] = {
      /* Unknown identifier: the parameters stay raw. */
      {tlv("30", "06 02 2A 03  02 01 09"), false},
      /* An object without parameter type. */
      {tlv("30", gentestOid("01 01") + "05 00"), false},
      /* An object whose parameters are NULL: nothing to keep. */
      {tlv("30", gentestOid("01 03") + "05 00"), false},
      {tlv("30", gentestOid("01 02") + "30 03 02 01 07"), true},
   };
   for (const auto& c : cases) {
      ASN1T_AlgorithmIdentifier alg;
      ASSERT_EQ(decode(asn1D_AlgorithmIdentifier, alg, c.der), RTS_OK) << c.der;
      EXPECT_EQ(alg.m.parametersPresent, 1u);
      EXPECT_EQ(alg.parameters.decoded != nullptr, c.decodedValue) << c.der;
      EXPECT_EQ(der(asn1E_AlgorithmIdentifier, alg), c.der);
   }
   /* Parameters that do not fit the object's type fail the decode. */
   ASN1T_AlgorithmIdentifier wrong;
   EXPECT_EQ(decode(asn1D_AlgorithmIdentifier, wrong, tlv("30", gentestOid("01 02") + "05 00")),
             RTS_NOT_FOUND);
}

TEST_F(GeneratedBerTest, ExtensionValueTravelsInsideItsOctetString) {
   const std::string input = tlv("30", gentestOid("02 01") + "01 01 FF  04 04 03 02 07 80");
   ASN1T_Extension ext;
   ASSERT_EQ(decode(asn1D_Extension, ext, input), RTS_OK);
   EXPECT_EQ(ext.critical, 0xFF);
   auto* flags = static_cast<ASN1T_Flags*>(ext.extnValueObject.decoded);
   ASSERT_NE(flags, nullptr);
   EXPECT_EQ(flags->numbits, 1u);
   EXPECT_EQ(ext.extnValueObject.numocts, ext.extnValue.numocts);

   flags->numbits = 10;
   flags->data[1] = 0x40; /* archived */
   EXPECT_EQ(der(asn1E_Extension, ext),
             tlv("30", gentestOid("02 01") + "01 01 FF  04 05 03 03 06 80 40"));
   EXPECT_EQ(hexOf(ext.extnValue.data, ext.extnValue.numocts), "0303068040");

   /* An extension outside the set keeps its octets. */
   const std::string unknown = tlv("30", gentestOid("02 09") + "04 03 02 01 01");
   ASN1T_Extension other;
   ASSERT_EQ(decode(asn1D_Extension, other, unknown), RTS_OK);
   EXPECT_EQ(other.extnValueObject.decoded, nullptr);
   EXPECT_EQ(der(asn1E_Extension, other), unknown);
}

TEST_F(GeneratedBerTest, OpenTypesOfSetsAndOfOtherModules) {
   /* Every value of an Attribute is decoded; the SET OF is put in order. */
   const std::string attribute = tlv("30", "06 03 55 04 05  31 08 13 02 41 31 13 02 42 32");
   ASN1T_Attribute attr;
   ASSERT_EQ(decode(asn1D_Attribute, attr, attribute), RTS_OK);
   ASSERT_EQ(attr.values.count, 2u);
   auto* second = static_cast<Asn1TObject*>(attr.values.tail->data);
   ASSERT_NE(second->decoded, nullptr);
   EXPECT_STREQ(*static_cast<const char**>(second->decoded), "B2");
   EXPECT_EQ(der(asn1E_Attribute, attr), attribute);

   /* A set of GenTest-Messages holding objects of both modules. */
   const struct {
      std::string der;
      const char* text;
   } attributes[] = {
      {tlv("30", "06 03 55 04 0C  0C 01 54"), "T"},
      {tlv("30", "06 03 55 04 05  13 01 5A"), "Z"},
   };
   for (const auto& a : attributes) {
      ASN1T_MessageAttribute value;
      ASSERT_EQ(decode(asn1D_MessageAttribute, value, a.der), RTS_OK);
      ASSERT_NE(value.value.decoded, nullptr);
      EXPECT_STREQ(*static_cast<const char**>(value.value.decoded), a.text);
      EXPECT_EQ(der(asn1E_MessageAttribute, value), a.der);
   }

   /* TYPE-IDENTIFIER objects behind an explicit tag. */
   const std::string text = tlv("30", gentestOid("03 02") + "A0 04 0C 02 68 69");
   ASN1T_ContentInfo content;
   ASSERT_EQ(decode(asn1D_ContentInfo, content, text), RTS_OK);
   ASSERT_NE(content.content.decoded, nullptr);
   EXPECT_STREQ(*static_cast<const char**>(content.content.decoded), "hi");
   EXPECT_EQ(der(asn1E_ContentInfo, content), text);
}

TEST_F(GeneratedBerTest, MessageCombinesBothModules) {
   const std::string entry = tlv("30", tlv("17", ascii(kUtc)) + "0C 01 6E");
   const std::string expected =
      tlv("62", "02 01 02" + kMinimalRecord + "A0 05 81 03 61 40 62  0A 01 03" +
                   tlv("A3", entry) + "A4 07 02 01 01 02 02 00 C8");
   ASN1T_Message message;
   ASSERT_EQ(decode(asn1D_Message, message, expected), RTS_OK);
   EXPECT_EQ(message.version, 2u);
   EXPECT_STREQ(message.record.serial, "0x05");
   EXPECT_EQ(message.m.namesPresent, 1u);
   EXPECT_EQ(message.m.priorityPresent, 1u);
   EXPECT_EQ(message.priority, static_cast<ASN1UINT>(Message_priority::high));
   ASSERT_EQ(message.counters.count, 2u);
   EXPECT_EQ(*static_cast<ASN1UINT*>(message.counters.tail->data), 200u);
   auto* first = static_cast<ASN1T_Message_entries_element*>(message.entries.head->data);
   EXPECT_STREQ(first->note, "n");
   EXPECT_EQ(der(asn1E_Message, message), expected);
}

TEST_F(GeneratedBerTest, TypesDefinedAsPrimitivesTakeThePrimitiveForm) {
   ASN1T_Version version = Version::v3;
   EXPECT_EQ(der(asn1E_Version, version), H("02 01 02"));
   ASN1T_SerialNumber serial = "0x0100";
   EXPECT_EQ(der(asn1E_SerialNumber, serial), H("02 02 01 00"));
   ASN1T_Status status = Status::waiting;
   EXPECT_EQ(der(asn1E_Status, status), H("0A 01 03"));
   status = 1; /* no item, but between the lowest and the highest */
   EXPECT_EQ(der(asn1E_Status, status), H("0A 01 01"));
   status = 4; /* above the highest item */
   EXPECT_EQ(der(asn1E_Status, status), GeneratedTest::status(RTS_BAD_ENUM));
   ASN1T_Count count = 0;
   EXPECT_EQ(decode(asn1D_Count, count, "02 02 03 E9"), RTS_CONSTRAINT); /* 1001 */
   ASN1T_SubjectKeyId keyId = {2, reinterpret_cast<const ASN1OCTET*>("\x01\x02")};
   EXPECT_EQ(der(asn1E_SubjectKeyId, keyId), H("04 02 01 02"));
   ASN1T_Moment moment = kGeneral;
   EXPECT_EQ(der(asn1E_Moment, moment), tlv("18", ascii(kGeneral)));
   static const ASN1OCTET usageBits[] = {0xE0};
   ASN1T_Usage usage = {3, usageBits};
   EXPECT_EQ(der(asn1E_Usage, usage), H("03 02 05 E0"));
   ASN1T_Key8 key;
   key.numocts = 7; /* SIZE (8) */
   EXPECT_EQ(der(asn1E_Key8, key), GeneratedTest::status(RTS_CONSTRAINT));

   ASSERT_EQ(xe_setp(&ctxt, nullptr, 0), RTS_OK);
   ASSERT_EQ(asn1E_Nothing_(&ctxt, TAG_EXPLICIT), 2);
   EXPECT_EQ(hexOf(xe_getp(&ctxt), 2), "0500");
   input = testsupport::fromHex("05 00");
   ASSERT_EQ(xd_setp(&ctxt, reinterpret_cast<const ASN1OCTET*>(input.data()), 2), RTS_OK);
   EXPECT_EQ(asn1D_Nothing_(&ctxt, TAG_EXPLICIT, 0), RTS_OK);
}

TEST_F(GeneratedBerTest, DefaultsAreFilledInAndLeftOut) {
   /* A new value holds the defaults: version (null text) and valid TRUE. */
   ASN1T_Ticket ticket;
   ticket.holder = "x";
   EXPECT_EQ(der(asn1E_Ticket, ticket), H("30 03 0C 01 78"));

   ASN1T_Ticket back;
   back.valid = 0;
   ASSERT_EQ(decode(asn1D_Ticket, back, "30 03 0C 01 78"), RTS_OK);
   EXPECT_STREQ(back.version, "1");
   EXPECT_EQ(back.valid, 1);
   EXPECT_STREQ(back.holder, "x");

   /* BER may carry the defaults; DER leaves them out. */
   ASN1T_Ticket explicitDefaults;
   ASSERT_EQ(decode(asn1D_Ticket, explicitDefaults, "30 09 02 01 01 0C 01 78 01 01 FF"), RTS_OK);
   EXPECT_EQ(der(asn1E_Ticket, explicitDefaults), H("30 03 0C 01 78"));

   ASN1T_Ticket other;
   other.version = "2";
   other.holder = "x";
   other.valid = 0;
   const std::string otherDer = H("30 09 02 01 02 0C 01 78 01 01 00");
   EXPECT_EQ(der(asn1E_Ticket, other), otherDer);
   ASN1T_Ticket otherBack;
   ASSERT_EQ(decode(asn1D_Ticket, otherBack, otherDer), RTS_OK);
   EXPECT_STREQ(otherBack.version, "0x02");
   EXPECT_EQ(otherBack.valid, 0);

   /* The default's text belongs to nobody: copy and free leave it. */
   const size_t decoded = liveBlocks();
   ASN1T_Ticket copy;
   asn1Copy_Ticket(&ctxt, &back, &copy);
   EXPECT_STREQ(copy.version, "1");
   asn1Free_Ticket(&ctxt, &copy);
   asn1Free_Ticket(&ctxt, &back);
   EXPECT_EQ(liveBlocks(), decoded - 1); /* the holder's text */
}

TEST_F(GeneratedBerTest, SizeUnionsAndBitCapacities) {
   for (ASN1UINT count : {3u, 4u, 5u, 7u, 8u}) {
      ASN1T_Key4or8 key;
      key.numocts = count;
      const bool allowed = count == 4 || count == 8;
      const std::string octets = tlv("04", std::string(2 * count, '0'));
      EXPECT_EQ(der(asn1E_Key4or8, key), allowed ? octets : status(RTS_CONSTRAINT)) << count;
      ASN1T_Key4or8 back;
      EXPECT_EQ(decode(asn1D_Key4or8, back, octets), allowed ? RTS_OK : RTS_CONSTRAINT) << count;
   }
   /* Flags names bits 0 to 9: two octets hold them, a third is too long. */
   ASN1T_Flags flags;
   EXPECT_EQ(decode(asn1D_Flags, flags, "03 03 06 80 40"), RTS_OK);
   EXPECT_EQ(flags.numbits, 10u);
   EXPECT_EQ(decode(asn1D_Flags, flags, "03 04 07 80 40 80"), RTS_VALUE_TOO_LONG);
}

TEST_F(GeneratedBerTest, CopyAndFreeReachEveryPart) {
   const std::string full = tlv(
      "62", "02 01 02" + tlv("30", "02 01 05" + tlv("17", ascii(kUtc)) +
                                      tlv("30", gentestOid("01 02") + "30 07 02 01 03 04 02 61 62")) +
               tlv("A0", tlv("A4", tlv("30", tlv("31", tlv("30", "06 03 55 04 03 13 02 41 6C"))))) +
               tlv("A1", tlv("30", gentestOid("02 02") + tlv("04", tlv("30", "81 01 78")))) +
               tlv("A2", tlv("30", "06 03 55 04 05 31 04 13 02 41 31")));
   ASN1T_Message message;
   ASSERT_EQ(decode(asn1D_Message, message, full), RTS_OK);

   /* Freeing a copy gives back every block the copy took. */
   const size_t decoded = liveBlocks();
   ASN1T_Message copy;
   asn1Copy_Message(&ctxt, &message, &copy);
   EXPECT_GT(liveBlocks(), decoded);
   asn1Free_Message(&ctxt, &copy);
   EXPECT_EQ(liveBlocks(), decoded);

   /* A copy owns all its parts: it outlives the original's. */
   ASN1T_Message survivor;
   asn1Copy_Message(&ctxt, &message, &survivor);
   asn1Free_Message(&ctxt, &message);
   EXPECT_EQ(der(asn1E_Message, survivor), full);
}

}
