/* A small hand-made module in the form asn1gen emits: value structures and
   one descriptor per type, covering every construct the engine knows.

   Certificate-like types:
     Version ::= INTEGER (unsigned) { v1(0), v2(1), v3(2) }
     BigVersion ::= INTEGER (big) { v1(1), v2(2) }
     Time ::= CHOICE { utcTime UTCTime, generalTime GeneralizedTime }
     Params ::= SEQUENCE { a INTEGER, b OCTET STRING }
     AlgorithmIdentifier ::= SEQUENCE { algorithm OBJECT IDENTIFIER,
        parameters ALGORITHM.&Type({SupportedAlgorithms}{@algorithm}) OPTIONAL }
     Extension ::= SEQUENCE { extnID OBJECT IDENTIFIER, critical BOOLEAN DEFAULT FALSE,
        extnValue OCTET STRING }   -- decoded through ExtensionSet beside extnValue
     Extensions ::= SEQUENCE SIZE (1..MAX) OF Extension
     Record ::= SEQUENCE {
        version [0] EXPLICIT Version OPTIONAL, serial INTEGER (big),
        critical BOOLEAN DEFAULT FALSE, minimum [1] IMPLICIT INTEGER DEFAULT 0,
        algorithm AlgorithmIdentifier, validity Time, until Time OPTIONAL,
        uid [2] IMPLICIT BIT STRING OPTIONAL, extensions [3] EXPLICIT Extensions OPTIONAL }
   Names:
     DirString ::= CHOICE { printableString PrintableString (SIZE (1..8)),
        utf8String UTF8String (SIZE (1..4)), bmpString BMPString (SIZE (1..3)) }
     AttributeTypeAndValue ::= SEQUENCE { type OBJECT IDENTIFIER, value ATTRIBUTE.&Type }
     Attribute ::= SEQUENCE { type OBJECT IDENTIFIER, values SET SIZE (1..MAX) OF ATTRIBUTE.&Type }
     RDN ::= SET SIZE (1..MAX) OF AttributeTypeAndValue
     RDNSequence ::= SEQUENCE OF RDN
     Name ::= CHOICE { rdnSequence RDNSequence }
     OtherName ::= [0] IMPLICIT SEQUENCE { typeId OBJECT IDENTIFIER, value [0] EXPLICIT ANY }
     GenName ::= CHOICE { otherName OtherName, rfc822Name [1] IMPLICIT IA5String,
        directoryName [4] EXPLICIT Name, iPAddress [7] IMPLICIT OCTET STRING,
        registeredID [8] IMPLICIT OBJECT IDENTIFIER }
     Country ::= [APPLICATION 1] EXPLICIT CHOICE { numeric NumericString, printable PrintableString }
     Person ::= SET { surname [0] EXPLICIT PrintableString (SIZE (1..8)),
        given [1] EXPLICIT PrintableString (SIZE (1..8)) OPTIONAL, age [2] IMPLICIT INTEGER OPTIONAL }
   Lists held as counted arrays:
     Selectors ::= [3] EXPLICIT SET SIZE (1..MAX) OF OCTET STRING
     IntList ::= [APPLICATION 5] IMPLICIT SEQUENCE SIZE (1..4) OF INTEGER
   The rest:
     Blob ::= SEQUENCE { paramSet OBJECT IDENTIFIER, ... }
     KeyUsage ::= BIT STRING { digitalSignature(0) .. decipherOnly(8) }   -- fixed, 2 octets
     Key4 ::= OCTET STRING (SIZE (4))                                      -- fixed, 4 octets
     Reason ::= ENUMERATED { unspecified(0) .. certificateHold(6), removeFromCRL(8) .. aACompromise(10) }
     Strings ::= SEQUENCE { bmp BMPString (SIZE (1..3)), uni UniversalString, key Key4,
        usage [0] IMPLICIT KeyUsage OPTIONAL, reason Reason OPTIONAL,
        small INTEGER (0..256) OPTIONAL, nothing NULL OPTIONAL }
     Wrapped ::= SEQUENCE { contentType OBJECT IDENTIFIER,
        content [0] EXPLICIT OCTET STRING OPTIONAL }   -- decoded through WrappedContents
   Defaults, unions, capacities and recursion:
     Audit ::= SEQUENCE { version INTEGER (big) DEFAULT 1, ok BOOLEAN DEFAULT TRUE,
        level [0] IMPLICIT INTEGER DEFAULT 3, note IA5String OPTIONAL }
     Key ::= OCTET STRING (SIZE (1..4 | 8))
     Port ::= INTEGER (MIN..-10 | 1..3 | 20..MAX)
     Flags9 ::= BIT STRING { a(0) .. i(8) }   -- fixed, 9 bits in 4 octets of storage
     Nest ::= SEQUENCE OF Nest
     NestHolder ::= SEQUENCE { id OBJECT IDENTIFIER,
        value NEST.&Type({NestContents}{@id}) }   -- 1.2.3.9 names Nest */
#ifndef BLOBXML_TESTS_ENGINE_MODULE_H
#define BLOBXML_TESTS_ENGINE_MODULE_H

#include <cstddef>
#include <initializer_list>

#include "asn1Desc.h"

namespace testmodule {

using namespace asn1rt;

/* ---- value structures ------------------------------------------------------ */

struct Time {
   ASN1UINT t;
   union {
      const char* utcTime;
      const char* generalTime;
   } u;
};

struct Params {
   ASN1INT a;
   ASN1TDynOctStr b;
};

struct AlgorithmIdentifier {
   struct {
      unsigned parametersPresent : 1;
   } m;
   ASN1OBJID algorithm;
   Asn1TObject parameters;
};

struct Extension {
   ASN1OBJID extnID;
   ASN1BOOL critical;
   ASN1TDynOctStr extnValue;
   Asn1TObject extnObject;
};

struct Record {
   struct {
      unsigned versionPresent : 1;
      unsigned untilPresent : 1;
      unsigned uidPresent : 1;
      unsigned extensionsPresent : 1;
   } m;
   ASN1UINT version;
   const char* serial;
   ASN1BOOL critical;
   ASN1INT minimum;
   AlgorithmIdentifier algorithm;
   Time validity;
   Time until;
   ASN1TDynBitStr uid;
   Asn1RTDList extensions;
};

struct DirString {
   ASN1UINT t;
   union {
      const char* printableString;
      const char* utf8String;
      ASN116BitCharString bmpString;
   } u;
};

struct AttributeTypeAndValue {
   ASN1OBJID type;
   Asn1TObject value;
};

struct Attribute {
   ASN1OBJID type;
   Asn1RTDList values;
};

struct Name {
   ASN1UINT t;
   union {
      Asn1RTDList* rdnSequence;
   } u;
};

struct OtherName {
   ASN1OBJID typeId;
   ASN1TOpenType value;
};

struct GenName {
   ASN1UINT t;
   union {
      OtherName* otherName;
      const char* rfc822Name;
      Name* directoryName;
      ASN1TDynOctStr* iPAddress;
      ASN1OBJID* registeredID;
   } u;
};

struct Country {
   ASN1UINT t;
   union {
      const char* numeric;
      const char* printable;
   } u;
};

struct Person {
   struct {
      unsigned givenPresent : 1;
      unsigned agePresent : 1;
   } m;
   const char* surname;
   const char* given;
   ASN1INT age;
};

struct Selectors {
   ASN1UINT n;
   ASN1TDynOctStr* elem;
};

struct IntList {
   ASN1UINT n;
   ASN1INT* elem;
};

struct Blob {
   ASN1OBJID paramSet;
   Asn1RTDList extElem1;
};

struct KeyUsage {
   ASN1UINT numbits;
   ASN1OCTET data[2];
};

struct Key4 {
   ASN1UINT numocts;
   ASN1OCTET data[4];
};

struct Strings {
   struct {
      unsigned usagePresent : 1;
      unsigned reasonPresent : 1;
      unsigned smallPresent : 1;
      unsigned nothingPresent : 1;
   } m;
   ASN116BitCharString bmp;
   ASN132BitCharString uni;
   Key4 key;
   KeyUsage usage;
   ASN1UINT reason;
   ASN1USINT small;
};

struct Wrapped {
   struct {
      unsigned contentPresent : 1;
   } m;
   ASN1OBJID contentType;
   ASN1TDynOctStr content;
   Asn1TObject contentObject;
};

struct Audit {
   struct {
      unsigned notePresent : 1;
   } m;
   const char* version;
   ASN1BOOL ok;
   ASN1INT level;
   const char* note;
};

struct Flags9 {
   ASN1UINT numbits;
   ASN1OCTET data[4];
};

/* ---- descriptor helpers ----------------------------------------------------- */

constexpr ASN1TagWord kSequenceTag = TM_CONS | ASN_ID_SEQ;
constexpr ASN1TagWord kSetTag = TM_CONS | ASN_ID_SET;
constexpr ASN1TagWord ctxPrimitive(ASN1TagWord n) { return TM_CTXT | n; }
constexpr ASN1TagWord ctxConstructed(ASN1TagWord n) { return TM_CTXT | TM_CONS | n; }

inline TypeDesc primitive(Kind kind, const char* name, uint32_t size, ASN1TagWord tag) {
   TypeDesc t{};
   t.kind = kind;
   t.name = name;
   t.valueSize = size;
   t.universalTag = tag;
   return t;
}

inline TypeDesc sized(TypeDesc t, int64_t lower, int64_t upper) {
   t.size = Bounds{1, upper >= 0, lower, upper, nullptr, 0};
   return t;
}

inline TypeDesc ranged(TypeDesc t, int64_t lower, int64_t upper) {
   t.value = Bounds{1, 1, lower, upper, nullptr, 0};
   return t;
}

inline TypeDesc named(TypeDesc t, const NamedNumber* names, uint16_t count) {
   t.names = names;
   t.nameCount = count;
   return t;
}

inline TypeDesc fixedCapacity(TypeDesc t, uint32_t octets) {
   t.fixedCapacity = octets;
   return t;
}

inline TypeDesc ownTag(TypeDesc t, ASN1TagWord tag, Tagging tagging) {
   t.ownTag = tag;
   t.ownTagging = tagging;
   return t;
}

inline TypeDesc structure(Kind kind, const char* name, uint32_t size, const FieldDesc* fields,
                          uint16_t count, uint32_t presenceOffset) {
   TypeDesc t = primitive(kind, name, size, kind == Kind::Set ? kSetTag : kSequenceTag);
   t.fields = fields;
   t.fieldCount = count;
   t.presenceOffset = presenceOffset;
   for (uint16_t i = 0; i < count; i++)
      t.requiredCount = static_cast<uint16_t>(t.requiredCount + (fields[i].presence == Presence::Required));
   return t;
}

inline TypeDesc choice(const char* name, uint32_t size, const FieldDesc* fields, uint16_t count,
                       uint32_t selectorOffset) {
   TypeDesc t = primitive(Kind::Choice, name, size, 0);
   t.fields = fields;
   t.fieldCount = count;
   t.selectorOffset = selectorOffset;
   return t;
}

inline TypeDesc listOf(const char* name, const TypeDesc* elem, bool setOf) {
   TypeDesc t = primitive(Kind::SequenceOfList, name, sizeof(Asn1RTDList), setOf ? kSetTag : kSequenceTag);
   t.elemType = elem;
   t.isSetOf = setOf;
   t.itemName = elem->name;
   return t;
}

inline TypeDesc arrayOf(const char* name, uint32_t size, const TypeDesc* elem, bool setOf,
                        uint32_t elemOffset) {
   TypeDesc t = primitive(Kind::SequenceOfArray, name, size, setOf ? kSetTag : kSequenceTag);
   t.elemType = elem;
   t.isSetOf = setOf;
   t.itemName = elem->name;
   t.arrayElemOffset = elemOffset;
   return t;
}

inline TypeDesc withTable(TypeDesc t, const TableDesc* table) {
   t.table = table;
   return t;
}

template <size_t N>
constexpr uint16_t countOf(const FieldDesc (&)[N]) {
   return static_cast<uint16_t>(N);
}

/* ---- primitive types -------------------------------------------------------- */

inline const TypeDesc tBoolean = primitive(Kind::Boolean, "BOOLEAN", sizeof(ASN1BOOL), ASN_ID_BOOL);
inline const TypeDesc tInteger = primitive(Kind::Integer, "INTEGER", sizeof(ASN1INT), ASN_ID_INT);
inline const NamedNumber versionNames[] = {{"v1", 0}, {"v2", 1}, {"v3", 2}};
inline const TypeDesc tVersion =
   named(primitive(Kind::Unsigned, "Version", sizeof(ASN1UINT), ASN_ID_INT), versionNames, 3);
inline const TypeDesc tSmall =
   ranged(primitive(Kind::Unsigned16, "SmallNumber", sizeof(ASN1USINT), ASN_ID_INT), 0, 256);
inline const TypeDesc tBigInt =
   primitive(Kind::BigInteger, "SerialNumber", sizeof(const char*), ASN_ID_INT);
inline const NamedNumber bigVersionNames[] = {{"v1", 1}, {"v2", 2}};
inline const TypeDesc tBigVersion = named(
   primitive(Kind::BigInteger, "BigVersion", sizeof(const char*), ASN_ID_INT), bigVersionNames, 2);
inline const TypeDesc tNull = primitive(Kind::Null, "NULLParams_", 0, ASN_ID_NULL);
inline const TypeDesc tOid =
   primitive(Kind::ObjectId, "OBJECT_IDENTIFIER", sizeof(ASN1OBJID), ASN_ID_OBJID);
inline const TypeDesc tOctets =
   primitive(Kind::OctetString, "OCTET_STRING", sizeof(ASN1TDynOctStr), ASN_ID_OCTSTR);
inline const TypeDesc tBits =
   primitive(Kind::BitString, "BIT_STRING", sizeof(ASN1TDynBitStr), ASN_ID_BITSTR);
inline const TypeDesc tPrintable = sized(
   primitive(Kind::CharString, "PrintableString", sizeof(const char*), ASN_ID_PrintableString), 1, 8);
inline const TypeDesc tNumeric =
   primitive(Kind::CharString, "NumericString", sizeof(const char*), ASN_ID_NumericString);
inline const TypeDesc tUtf8 =
   sized(primitive(Kind::CharString, "UTF8String", sizeof(const char*), ASN_ID_UTF8String), 1, 4);
inline const TypeDesc tIA5 =
   primitive(Kind::CharString, "IA5String", sizeof(const char*), ASN_ID_IA5String);
inline const TypeDesc tUTCTime =
   primitive(Kind::CharString, "UTCTime", sizeof(const char*), ASN_ID_UTCTime);
inline const TypeDesc tGeneralTime =
   primitive(Kind::CharString, "GeneralizedTime", sizeof(const char*), ASN_ID_GeneralTime);
inline const TypeDesc tBMP = sized(
   primitive(Kind::BMPString, "BMPString", sizeof(ASN116BitCharString), ASN_ID_BMPString), 1, 3);
inline const TypeDesc tUniversal = primitive(Kind::UniversalString, "UniversalString",
                                             sizeof(ASN132BitCharString), ASN_ID_UniversalString);
inline const TypeDesc tOpen = primitive(Kind::OpenType, "ANY", sizeof(ASN1TOpenType), 0);
inline const TypeDesc tObject = primitive(Kind::OpenType, "TableOpenType", sizeof(Asn1TObject), 0);

inline const NamedNumber keyUsageNames[] = {
   {"digitalSignature", 0}, {"nonRepudiation", 1}, {"keyEncipherment", 2},
   {"dataEncipherment", 3}, {"keyAgreement", 4},   {"keyCertSign", 5},
   {"cRLSign", 6},          {"encipherOnly", 7},   {"decipherOnly", 8}};
inline const TypeDesc tKeyUsage = fixedCapacity(
   named(primitive(Kind::BitStringFixed, "KeyUsage", sizeof(KeyUsage), ASN_ID_BITSTR), keyUsageNames, 9),
   2);
inline const TypeDesc tKey4 = sized(
   fixedCapacity(primitive(Kind::OctetStringFixed, "Key4", sizeof(Key4), ASN_ID_OCTSTR), 4), 4, 4);

inline const NamedNumber reasonNames[] = {
   {"unspecified", 0},     {"keyCompromise", 1},        {"cACompromise", 2},
   {"affiliationChanged", 3}, {"superseded", 4},        {"cessationOfOperation", 5},
   {"certificateHold", 6}, {"removeFromCRL", 8},        {"privilegeWithdrawn", 9},
   {"aACompromise", 10}};
inline const TypeDesc tReason =
   named(primitive(Kind::Enumerated, "Reason", sizeof(ASN1UINT), ASN_ID_ENUM), reasonNames, 10);

/* ---- Time, Params --------------------------------------------------------------- */

inline const FieldDesc timeFields[] = {
   {"utcTime", &tUTCTime, offsetof(Time, u.utcTime), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"generalTime", &tGeneralTime, offsetof(Time, u.generalTime), 0, Tagging::None,
    Presence::Required, -1, 0, nullptr}};
inline const TypeDesc tTime = choice("Time", sizeof(Time), timeFields, countOf(timeFields), offsetof(Time, t));

inline const FieldDesc paramsFields[] = {
   {"a", &tInteger, offsetof(Params, a), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"b", &tOctets, offsetof(Params, b), 0, Tagging::None, Presence::Required, -1, 0, nullptr}};
inline const TypeDesc tParams =
   structure(Kind::Sequence, "Params", sizeof(Params), paramsFields, countOf(paramsFields), 0);

/* ---- AlgorithmIdentifier and its object set ------------------------------------ */

inline const ASN1UINT rsaArcs[] = {1, 2, 840, 113549, 1, 1, 1};
inline const ASN1UINT paramsArcs[] = {1, 2, 3, 4};
inline const ASN1UINT bareArcs[] = {1, 2, 3, 5};
inline const ObjectDesc rsaObject = {"rsaEncryption", 7, rsaArcs, &tNull};
inline const ObjectDesc paramsObject = {"withParams", 4, paramsArcs, &tParams};
inline const ObjectDesc bareObject = {"withoutParamsType", 4, bareArcs, nullptr};
/* Same identifier as paramsObject but later in the set: never found. */
inline const ObjectDesc shadowObject = {"shadowed", 4, paramsArcs, &tInteger};
inline const ObjectDesc* const algorithmObjects[] = {&rsaObject, &paramsObject, &bareObject,
                                                     &shadowObject};
inline const ObjectSetDesc supportedAlgorithms = {"SupportedAlgorithms", algorithmObjects, 4};
inline const TableDesc algorithmTable = {&supportedAlgorithms, 0, 1, 0, TableForm::OpenType};

inline const FieldDesc algorithmFields[] = {
   {"algorithm", &tOid, offsetof(AlgorithmIdentifier, algorithm), 0, Tagging::None,
    Presence::Required, -1, 0, nullptr},
   {"parameters", &tObject, offsetof(AlgorithmIdentifier, parameters), 0, Tagging::None,
    Presence::Optional, 0, 0, nullptr}};
inline const TypeDesc tAlgorithmIdentifier = withTable(
   structure(Kind::Sequence, "AlgorithmIdentifier", sizeof(AlgorithmIdentifier), algorithmFields,
             countOf(algorithmFields), offsetof(AlgorithmIdentifier, m)),
   &algorithmTable);

/* ---- Extension and ExtensionSet ---------------------------------------------- */

inline const ASN1UINT keyUsageArcs[] = {2, 5, 29, 15};
inline const ASN1UINT nameConstraintsArcs[] = {2, 5, 29, 30, 1};
inline const ObjectDesc keyUsageObject = {"keyUsage", 4, keyUsageArcs, &tKeyUsage};
inline const ObjectDesc nameConstraintsObject = {"nameConstraints", 5, nameConstraintsArcs, &tParams};
inline const ObjectDesc* const extensionObjects[] = {&keyUsageObject, &nameConstraintsObject};
inline const ObjectSetDesc extensionSet = {"ExtensionSet", extensionObjects, 2};
inline const TableDesc extensionTable = {&extensionSet, 0, 2, offsetof(Extension, extnObject),
                                         TableForm::InOctetString};

inline const FieldDesc extensionFields[] = {
   {"extnID", &tOid, offsetof(Extension, extnID), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"critical", &tBoolean, offsetof(Extension, critical), 0, Tagging::None, Presence::DefaultZero,
    -1, 0, nullptr},
   {"extnValue", &tOctets, offsetof(Extension, extnValue), 0, Tagging::None, Presence::Required,
    -1, 0, nullptr}};
inline const TypeDesc tExtension = withTable(
   structure(Kind::Sequence, "Extension", sizeof(Extension), extensionFields,
             countOf(extensionFields), 0),
   &extensionTable);
inline const TypeDesc tExtensions = sized(listOf("Extensions", &tExtension, false), 1, -1);

/* ---- Record ------------------------------------------------------------------- */

inline const FieldDesc recordFields[] = {
   {"version", &tVersion, offsetof(Record, version), ctxConstructed(0), Tagging::Explicit,
    Presence::Optional, 0, 0, nullptr},
   {"serial", &tBigInt, offsetof(Record, serial), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"critical", &tBoolean, offsetof(Record, critical), 0, Tagging::None, Presence::DefaultZero, -1,
    0, nullptr},
   {"minimum", &tInteger, offsetof(Record, minimum), ctxPrimitive(1), Tagging::Implicit,
    Presence::DefaultZero, -1, 0, nullptr},
   {"algorithm", &tAlgorithmIdentifier, offsetof(Record, algorithm), 0, Tagging::None,
    Presence::Required, -1, 0, nullptr},
   {"validity", &tTime, offsetof(Record, validity), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"until", &tTime, offsetof(Record, until), 0, Tagging::None, Presence::Optional, 1, 0, nullptr},
   {"uid", &tBits, offsetof(Record, uid), ctxPrimitive(2), Tagging::Implicit, Presence::Optional,
    2, 0, nullptr},
   {"extensions", &tExtensions, offsetof(Record, extensions), ctxConstructed(3), Tagging::Explicit,
    Presence::Optional, 3, 0, nullptr}};
inline const TypeDesc tRecord = structure(Kind::Sequence, "Record", sizeof(Record), recordFields,
                                          countOf(recordFields), offsetof(Record, m));

/* ---- names and attributes --------------------------------------------------- */

inline const FieldDesc dirStringFields[] = {
   {"printableString", &tPrintable, offsetof(DirString, u.printableString), 0, Tagging::None,
    Presence::Required, -1, 0, nullptr},
   {"utf8String", &tUtf8, offsetof(DirString, u.utf8String), 0, Tagging::None, Presence::Required,
    -1, 0, nullptr},
   {"bmpString", &tBMP, offsetof(DirString, u.bmpString), 0, Tagging::None, Presence::Required, -1,
    0, nullptr}};
inline const TypeDesc tDirString = choice("DirString", sizeof(DirString), dirStringFields,
                                          countOf(dirStringFields), offsetof(DirString, t));

inline const ASN1UINT commonNameArcs[] = {2, 5, 4, 3};
inline const ASN1UINT countryNameArcs[] = {2, 5, 4, 6};
inline const ObjectDesc commonNameObject = {"commonName", 4, commonNameArcs, &tDirString};
inline const ObjectDesc countryNameObject = {"countryName", 4, countryNameArcs, &tPrintable};
inline const ObjectDesc* const attributeObjects[] = {&commonNameObject, &countryNameObject};
inline const ObjectSetDesc supportedAttributes = {"SupportedAttributes", attributeObjects, 2};
inline const TableDesc attributeValueTable = {&supportedAttributes, 0, 1, 0, TableForm::OpenType};
inline const TableDesc attributeValuesTable = {&supportedAttributes, 0, 1, 0,
                                               TableForm::SetOfOpenTypes};

inline const FieldDesc atvFields[] = {
   {"type", &tOid, offsetof(AttributeTypeAndValue, type), 0, Tagging::None, Presence::Required, -1,
    0, nullptr},
   {"value", &tObject, offsetof(AttributeTypeAndValue, value), 0, Tagging::None,
    Presence::Required, -1, 0, nullptr}};
inline const TypeDesc tAttributeTypeAndValue =
   withTable(structure(Kind::Sequence, "AttributeTypeAndValue", sizeof(AttributeTypeAndValue),
                       atvFields, countOf(atvFields), 0),
             &attributeValueTable);

inline const TypeDesc tAttributeValues = sized(listOf("Attribute_values", &tObject, true), 1, -1);
inline const FieldDesc attributeFields[] = {
   {"type", &tOid, offsetof(Attribute, type), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"values", &tAttributeValues, offsetof(Attribute, values), 0, Tagging::None, Presence::Required,
    -1, 0, nullptr}};
inline const TypeDesc tAttribute =
   withTable(structure(Kind::Sequence, "Attribute", sizeof(Attribute), attributeFields,
                       countOf(attributeFields), 0),
             &attributeValuesTable);

inline const TypeDesc tRDN = sized(listOf("RDN", &tAttributeTypeAndValue, true), 1, -1);
inline const TypeDesc tRDNSequence = listOf("RDNSequence", &tRDN, false);
inline const FieldDesc nameFields[] = {{"rdnSequence", &tRDNSequence, offsetof(Name, u.rdnSequence),
                                        0, Tagging::None, Presence::Required, -1, 1, nullptr}};
inline const TypeDesc tName = choice("Name", sizeof(Name), nameFields, countOf(nameFields),
                                     offsetof(Name, t));

inline const FieldDesc otherNameFields[] = {
   {"typeId", &tOid, offsetof(OtherName, typeId), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"value", &tOpen, offsetof(OtherName, value), ctxConstructed(0), Tagging::Explicit,
    Presence::Required, -1, 0, nullptr}};
inline const TypeDesc tOtherName =
   ownTag(structure(Kind::Sequence, "OtherName", sizeof(OtherName), otherNameFields,
                    countOf(otherNameFields), 0),
          ctxConstructed(0), Tagging::Implicit);

inline const FieldDesc genNameFields[] = {
   {"otherName", &tOtherName, offsetof(GenName, u.otherName), 0, Tagging::None, Presence::Required,
    -1, 1, nullptr},
   {"rfc822Name", &tIA5, offsetof(GenName, u.rfc822Name), ctxPrimitive(1), Tagging::Implicit,
    Presence::Required, -1, 0, nullptr},
   {"directoryName", &tName, offsetof(GenName, u.directoryName), ctxConstructed(4),
    Tagging::Explicit, Presence::Required, -1, 1, nullptr},
   {"iPAddress", &tOctets, offsetof(GenName, u.iPAddress), ctxPrimitive(7), Tagging::Implicit,
    Presence::Required, -1, 1, nullptr},
   {"registeredID", &tOid, offsetof(GenName, u.registeredID), ctxPrimitive(8), Tagging::Implicit,
    Presence::Required, -1, 1, nullptr}};
inline const TypeDesc tGenName = choice("GenName", sizeof(GenName), genNameFields,
                                        countOf(genNameFields), offsetof(GenName, t));

inline const FieldDesc countryFields[] = {
   {"numeric", &tNumeric, offsetof(Country, u.numeric), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"printable", &tPrintable, offsetof(Country, u.printable), 0, Tagging::None, Presence::Required,
    -1, 0, nullptr}};
inline const TypeDesc tCountry =
   ownTag(choice("Country", sizeof(Country), countryFields, countOf(countryFields),
                 offsetof(Country, t)),
          TM_APPL | TM_CONS | 1, Tagging::Explicit);

inline const FieldDesc personFields[] = {
   {"surname", &tPrintable, offsetof(Person, surname), ctxConstructed(0), Tagging::Explicit,
    Presence::Required, -1, 0, nullptr},
   {"given", &tPrintable, offsetof(Person, given), ctxConstructed(1), Tagging::Explicit,
    Presence::Optional, 0, 0, nullptr},
   {"age", &tInteger, offsetof(Person, age), ctxPrimitive(2), Tagging::Implicit, Presence::Optional,
    1, 0, nullptr}};
inline const TypeDesc tPerson = structure(Kind::Set, "Person", sizeof(Person), personFields,
                                          countOf(personFields), offsetof(Person, m));

/* ---- counted arrays ------------------------------------------------------------ */

inline const TypeDesc tSelectors =
   ownTag(sized(arrayOf("Selectors", sizeof(Selectors), &tOctets, true, offsetof(Selectors, elem)),
                1, -1),
          ctxConstructed(3), Tagging::Explicit);
inline const TypeDesc tIntList =
   ownTag(sized(arrayOf("IntList", sizeof(IntList), &tInteger, false, offsetof(IntList, elem)), 1, 4),
          TM_APPL | TM_CONS | 5, Tagging::Implicit);

/* ---- extensible SEQUENCE, strings, wrapped content -------------------------- */

inline const FieldDesc blobFields[] = {
   {"paramSet", &tOid, offsetof(Blob, paramSet), 0, Tagging::None, Presence::Required, -1, 0, nullptr}};
inline const TypeDesc tBlob = [] {
   TypeDesc t = structure(Kind::Sequence, "Blob", sizeof(Blob), blobFields, countOf(blobFields), 0);
   t.extensible = 1;
   t.extensionOffset = offsetof(Blob, extElem1);
   return t;
}();

inline const FieldDesc stringsFields[] = {
   {"bmp", &tBMP, offsetof(Strings, bmp), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"uni", &tUniversal, offsetof(Strings, uni), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"key", &tKey4, offsetof(Strings, key), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"usage", &tKeyUsage, offsetof(Strings, usage), ctxPrimitive(0), Tagging::Implicit,
    Presence::Optional, 0, 0, nullptr},
   {"reason", &tReason, offsetof(Strings, reason), 0, Tagging::None, Presence::Optional, 1, 0, nullptr},
   {"small", &tSmall, offsetof(Strings, small), 0, Tagging::None, Presence::Optional, 2, 0, nullptr},
   {"nothing", &tNull, 0, 0, Tagging::None, Presence::Optional, 3, 0, nullptr}};
inline const TypeDesc tStrings = structure(Kind::Sequence, "Strings", sizeof(Strings),
                                           stringsFields, countOf(stringsFields),
                                           offsetof(Strings, m));

inline const ASN1UINT dataArcs[] = {1, 2, 3, 7};
inline const ObjectDesc dataObject = {"data", 4, dataArcs, &tParams};
inline const ObjectDesc* const wrappedObjects[] = {&dataObject};
inline const ObjectSetDesc wrappedContents = {"WrappedContents", wrappedObjects, 1};
inline const TableDesc wrappedTable = {&wrappedContents, 0, 1, offsetof(Wrapped, contentObject),
                                       TableForm::InOctetString};
inline const FieldDesc wrappedFields[] = {
   {"contentType", &tOid, offsetof(Wrapped, contentType), 0, Tagging::None, Presence::Required, -1,
    0, nullptr},
   {"content", &tOctets, offsetof(Wrapped, content), ctxConstructed(0), Tagging::Explicit,
    Presence::Optional, 0, 0, nullptr}};
inline const TypeDesc tWrapped =
   withTable(structure(Kind::Sequence, "Wrapped", sizeof(Wrapped), wrappedFields,
                       countOf(wrappedFields), offsetof(Wrapped, m)),
             &wrappedTable);

/* ---- defaults, unions, capacities and recursion ------------------------------------ */

inline const char* const auditVersionDefault = "1";
inline const ASN1BOOL auditOkDefault = 1;
inline const ASN1INT auditLevelDefault = 3;
inline const FieldDesc auditFields[] = {
   {"version", &tBigInt, offsetof(Audit, version), 0, Tagging::None, Presence::DefaultValue, -1, 0,
    &auditVersionDefault},
   {"ok", &tBoolean, offsetof(Audit, ok), 0, Tagging::None, Presence::DefaultValue, -1, 0,
    &auditOkDefault},
   {"level", &tInteger, offsetof(Audit, level), ctxPrimitive(0), Tagging::Implicit,
    Presence::DefaultValue, -1, 0, &auditLevelDefault},
   {"note", &tIA5, offsetof(Audit, note), 0, Tagging::None, Presence::Optional, 0, 0, nullptr}};
inline const TypeDesc tAudit = structure(Kind::Sequence, "Audit", sizeof(Audit), auditFields,
                                         countOf(auditFields), offsetof(Audit, m));

inline const Range keyRanges[] = {{1, 4}, {8, 8}};
inline const TypeDesc tKey = [] {
   TypeDesc t = sized(primitive(Kind::OctetString, "Key", sizeof(ASN1TDynOctStr), ASN_ID_OCTSTR),
                      1, 8);
   t.size.ranges = keyRanges;
   t.size.rangeCount = 2;
   return t;
}();

inline const Range portRanges[] = {{INT64_MIN, -10}, {1, 3}, {20, INT64_MAX}};
inline const TypeDesc tPort = [] {
   TypeDesc t = primitive(Kind::Integer, "Port", sizeof(ASN1INT), ASN_ID_INT);
   t.value.ranges = portRanges;
   t.value.rangeCount = 3;
   return t;
}();

inline const NamedNumber flags9Names[] = {{"a", 0}, {"b", 1}, {"c", 2}, {"d", 3}, {"e", 4},
                                          {"f", 5}, {"g", 6}, {"h", 7}, {"i", 8}};
inline const TypeDesc tFlags9 = [] {
   TypeDesc t = fixedCapacity(
      named(primitive(Kind::BitStringFixed, "Flags9", sizeof(Flags9), ASN_ID_BITSTR), flags9Names, 9),
      4);
   t.bitCapacity = 9;
   return t;
}();

/* A list of itself: every element is one more structured level. */
inline const TypeDesc tNest = [] {
   TypeDesc t = primitive(Kind::SequenceOfList, "Nest", sizeof(Asn1RTDList), kSequenceTag);
   t.elemType = &tNest;
   t.itemName = "Nest";
   return t;
}();

struct NestHolder {
   ASN1OBJID id;
   Asn1TObject value;
};

inline const ASN1UINT nestArcs[] = {1, 2, 3, 9};
inline const ObjectDesc nestObject = {"nest", 4, nestArcs, &tNest};
inline const ObjectDesc* const nestObjects[] = {&nestObject};
inline const ObjectSetDesc nestContents = {"NestContents", nestObjects, 1};
inline const TableDesc nestTable = {&nestContents, 0, 1, 0, TableForm::OpenType};
inline const FieldDesc nestHolderFields[] = {
   {"id", &tOid, offsetof(NestHolder, id), 0, Tagging::None, Presence::Required, -1, 0, nullptr},
   {"value", &tObject, offsetof(NestHolder, value), 0, Tagging::None, Presence::Required, -1, 0,
    nullptr}};
inline const TypeDesc tNestHolder =
   withTable(structure(Kind::Sequence, "NestHolder", sizeof(NestHolder), nestHolderFields,
                       countOf(nestHolderFields), 0),
             &nestTable);

/* ---- values -------------------------------------------------------------------- */

inline ASN1OBJID oid(std::initializer_list<ASN1UINT> arcs) {
   ASN1OBJID value{};
   for (ASN1UINT arc : arcs) value.arcs[value.numarcs++] = arc;
   return value;
}

}

#endif
