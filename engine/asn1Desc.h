/*
 * Type descriptors: the tables that asn1gen emits for every ASN.1 type and
 * that the generic engine interprets for BER encode/decode, XER encode, SAX
 * decode, copy and free. Each construct's behaviour is written once, in the
 * engine; a generated type is only a value structure, one descriptor and
 * one-line functions that hand both to the engine.
 *
 * Layout contract between asn1gen and the engine (offsets in bytes from the
 * start of the value structure, taken with offsetof by the generated code):
 *  - SEQUENCE / SET: presence bits `m` (bit i = i-th OPTIONAL/DEFAULT-with-bit
 *    component, bits 0 to 31, read and written as one 32-bit word at
 *    `presenceOffset`), then one field per component; `extElem1` (an
 *    Asn1RTDList of ASN1TOpenType) for an extensible type. A SET has at most
 *    64 components. A component with a default that the decoder fills in
 *    (Presence::DefaultValue) is a plain field without presence bit.
 *  - CHOICE: `t` (unsigned, 1-based) at `selectorOffset` and the union `u`;
 *    the FieldDesc of an alternative carries offsetof(T, u.<alternative>).
 *    An alternative is either held in the union itself (numbers,
 *    character-string pointers) or, with `byPointer`, by pointer to a zeroed
 *    heap value of `type->valueSize` bytes.
 *  - SEQUENCE OF as list: an Asn1RTDList at offset 0; nodes and elements are
 *    one heap block, element directly behind the node.
 *  - SEQUENCE OF as counted array: `n` (unsigned) at offset 0, `elem` (pointer
 *    to n elements of `elemType->valueSize` bytes) at `arrayElemOffset`.
 *  - fixed-size OCTET STRING / BIT STRING: the 32-bit count (`numocts`,
 *    `numbits`) at offset 0 and the array of `fixedCapacity` octets directly
 *    behind it, at offset 4. A BIT STRING takes at most `bitCapacity` bits,
 *    which the array may exceed.
 *  - table-constrained open type: an Asn1TObject (below); its `decoded`
 *    points to a zeroed heap value of the object's type (`valueSize` bytes),
 *    and is null for an unknown identifier, an object without type and a
 *    type without storage (NULL).
 *  - primitives: the forms of asn1type.h, at the field's offset.
 */
#ifndef BLOBXML_ASN1DESC_H
#define BLOBXML_ASN1DESC_H

#include <cstddef>
#include <cstdint>

#include "asn1type.h"

namespace asn1rt {

/* What a descriptor describes; one engine routine per kind and codec. The
   structured kinds, which hold other values, come last (isStructured). */
enum class Kind : uint8_t {
   Boolean,
   Integer,        /* int */
   Unsigned,       /* unsigned int */
   Unsigned16,     /* unsigned short */
   BigInteger,     /* const char* text (0x... hex from the decoder) */
   Enumerated,     /* unsigned int holding the enumeration's number */
   Null,           /* no storage */
   ObjectId,       /* ASN1OBJID */
   OctetString,    /* ASN1TDynOctStr */
   OctetStringFixed, /* numocts + fixed array of `fixedCapacity` octets */
   BitString,      /* ASN1TDynBitStr */
   BitStringFixed, /* numbits + fixed array of `fixedCapacity` octets */
   CharString,     /* const char*, universal tag in `universalTag` */
   BMPString,      /* ASN116BitCharString */
   UniversalString,/* ASN132BitCharString */
   OpenType,       /* ASN1TOpenType, or Asn1TObject when table-constrained */
   Sequence,
   Set,
   Choice,
   SequenceOfList,
   SequenceOfArray,
};

/* Whether values of the kind hold other values: the kinds through which
   codecs, copy and free descend. */
constexpr bool isStructured(Kind kind) { return kind >= Kind::Sequence; }

/* How a component's tag is written. */
enum class Tagging : uint8_t {
   None,     /* the component's own (universal) tag */
   Implicit, /* the context/application tag replaces it */
   Explicit, /* the context/application tag wraps it */
};

/* Presence of a component. */
enum class Presence : uint8_t {
   Required,
   Optional,     /* field + presence bit */
   DefaultZero,  /* DEFAULT FALSE / DEFAULT 0: plain field, written when non-zero */
   DefaultValue, /* any other default of a BOOLEAN, INTEGER or ENUMERATED: plain
                    field set to `defaultValue` before decoding, written when
                    it differs (a null big-integer text counts as the default) */
};

/* Identifier of a named number, named bit or enumeration item. */
struct NamedNumber {
   const char* name; /* XER identifier, e.g. "v3" or "cms_v1" */
   int64_t value;
};

struct TypeDesc;
struct TableDesc;

/* A table-constrained open type: the encoding (BER octets, or XER text on
   the XER side) plus the value decoded through the information object. It
   begins like ASN1TOpenType, whose flags tell whether the octets are the
   value's own. The mirror of an OCTET STRING (TableForm::InOctetString)
   never frees its octets; when it shares borrowed ones with the OCTET
   STRING, free leaves them alone there too. */
struct Asn1TObject {
   ASN1UINT numocts;
   const ASN1OCTET* data;
   ASN1UINT flags;  /* ASN1OPENTYPE_BORROWED, ASN1OPENTYPE_XER_TEXT */
   void* decoded;   /* value of the object's type, null when not decoded */
};

/* The octets are the XER text that the XER encoder rendered for the open
   type (tableXerEncode), to be written as they are. */
#define ASN1OPENTYPE_XER_TEXT 0x2u

/* One information object: its identifying OID and the type it names (null
   for an object that defines no type, such as an algorithm without
   parameters: the open type then stays raw both ways). */
struct ObjectDesc {
   const char* name;
   ASN1UINT numarcs;
   const ASN1UINT* arcs;
   const TypeDesc* type;
};

/* An information object set: objects in search order; the first object
   whose OID equals the identifier wins. */
struct ObjectSetDesc {
   const char* name;
   const ObjectDesc* const* objects;
   uint16_t objectCount;
};

/* Where a table-constrained open type travels inside its SEQUENCE. */
enum class TableForm : uint8_t {
   OpenType,          /* an Asn1TObject field (AlgorithmIdentifier.parameters) */
   InOctetString,     /* mirrored by an OCTET STRING field (Extension.extnValue) */
   SetOfOpenTypes,    /* a list of Asn1TObject (Attribute.values) */
};

struct TableDesc {
   const ObjectSetDesc* set;
   uint16_t idField;        /* index of the OBJECT IDENTIFIER component */
   uint16_t openField;      /* index of the component that carries the value: the
                               open type (OpenType), the OCTET STRING
                               (InOctetString) or the list of Asn1TObject
                               (SetOfOpenTypes) */
   uint32_t objectOffset;   /* InOctetString: offset of the Asn1TObject held
                               beside the OCTET STRING (not a component) */
   TableForm form;
};

/* One component of a SEQUENCE or SET, or one alternative of a CHOICE. */
struct FieldDesc {
   const char* name;        /* element name: the ASN.1 identifier, '-' -> '_' */
   const TypeDesc* type;
   uint32_t offset;         /* of the field (CHOICE: offsetof(T, u.<alternative>)) */
   ASN1TagWord tag;         /* context/application tag; 0 with Tagging::None. The
                               engine sets the constructed bit as the form needs. */
   Tagging tagging;
   Presence presence;
   int8_t presenceBit;      /* bit in `m`, -1 when none */
   uint8_t byPointer;       /* CHOICE alternative held by pointer to a heap value */
   const void* defaultValue; /* Presence::DefaultValue: the default in the field's
                                own form (a big integer as a `const char*`
                                pointing to static text); never freed */
};

/* One closed range of a constraint that is a union, as (1..4 | 8). */
struct Range {
   int64_t lower, upper;
};

/* Size or value bounds; a flag says which bounds are present. A union of
   ranges also lists them: a number inside lower..upper must then lie in one
   of them (the hull alone is the common case and costs no more). */
struct Bounds {
   uint8_t hasLower, hasUpper;
   int64_t lower, upper;
   const Range* ranges;
   uint16_t rangeCount;
};

struct TypeDesc {
   Kind kind;
   const char* name;          /* ASN.1 type name, the element name of a top-level value */
   uint32_t valueSize;        /* sizeof the value structure or primitive form */
   ASN1TagWord universalTag;  /* the type's own tag (SET OF: 0x20000011); 0 for
                                 CHOICE and open types, except an open type
                                 that must hold a value of this tag (a signed
                                 part kept raw: 0x20000010) */

   /* A tag written in the type's own definition ([APPLICATION 1] EXPLICIT
      CHOICE, [3] IMPLICIT SEQUENCE OF): Explicit wraps the type's encoding,
      Implicit replaces its universal tag. Tagging::None and 0 otherwise. A
      component tag in front of such a type replaces this tag. */
   ASN1TagWord ownTag;
   Tagging ownTagging;

   /* SEQUENCE, SET, CHOICE */
   const FieldDesc* fields;
   uint16_t fieldCount;
   uint16_t requiredCount;    /* mandatory components (SAX required-component counter) */
   uint32_t presenceOffset;   /* SEQUENCE/SET: offset of `m`, when some bit exists */
   uint32_t selectorOffset;   /* CHOICE: offset of `t` */
   uint8_t extensible;        /* SEQUENCE with an extension marker */
   uint32_t extensionOffset;  /* offset of `extElem1` */

   /* SEQUENCE OF / SET OF */
   const TypeDesc* elemType;
   uint8_t isSetOf;           /* SET OF: DER-sorted on encode */
   const char* itemName;      /* XER item element name; "" for CHOICE items, null for open types */
   uint32_t arrayElemOffset;  /* counted array: offset of `elem` */

   /* constraints, checked after decoding and before encoding */
   Bounds size;               /* SIZE: octets, bits, characters (UTF-8 characters
                                 for UTF8String, units for BMPString and
                                 UniversalString) or list elements */
   Bounds value;              /* value range of Integer, Unsigned, Unsigned16 */
   uint32_t fixedCapacity;    /* fixed arrays: octets available */
   uint32_t bitCapacity;      /* fixed BIT STRING: the most bits a decoded value may
                                 have (the named bits, for KeyUsage 9); 0 for as
                                 many as the octets hold */

   /* INTEGER named numbers (also of a big integer), ENUMERATED items (BER
      takes any number from the lowest item to the highest, XER only the
      items), BIT STRING named bits */
   const NamedNumber* names;
   uint16_t nameCount;

   /* table-constrained open types carried by this SEQUENCE */
   const TableDesc* table;
};

}

#endif
