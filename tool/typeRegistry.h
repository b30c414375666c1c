/*
 * Registry of the top-level types: from a type name to the control object
 * that decodes or encodes a value of that type on a message buffer. Its one
 * table also gives the help text's list of types and the pairs of the -t1
 * step, so that a new top-level type is one new row.
 */
#ifndef BLOBXML_TYPEREGISTRY_H
#define BLOBXML_TYPEREGISTRY_H

#include <cstddef>

class ASN1MessageBuffer;
class ASN1CType;
struct ASN1TDynOctStr;

/* Makes the control object of one type on the buffer over *value; when
   *value is null it first allocates a zero-filled value structure from the
   heap of the buffer's context and stores its address there. */
typedef ASN1CType* (*TopLevelTypeFactory)(ASN1MessageBuffer& buffer, void** value);

/* The octets of the inner message inside a decoded value of the outer type;
   null when that value carries none. */
typedef const ASN1TDynOctStr* (*InnerOctetsReader)(const void* outer);

struct TopLevelType {
   const char* name;
   TopLevelTypeFactory create;
   /* Where the help text lists the type among the supported ones, from 0. */
   size_t helpPosition;
   /* The outer type that -t1 takes a message of this type out of, with the
      reader of its octets; both null when -t1 gives no message of this type. */
   const char* carriedBy;
   InnerOctetsReader innerOctets;
};

struct TopLevelTypeTable {
   const TopLevelType* rows;
   size_t count;
   const TopLevelType* begin() const { return rows; }
   const TopLevelType* end() const { return rows + count; }
};

/* The rows in registry order, which fixes what type the first byte of a
   fuzz input picks (and so the meaning of the saved fuzz inputs). */
extern const TopLevelTypeTable kTopLevelTypes;

/* The row that the help text lists at position (from 0), or null past the
   last. */
const TopLevelType* topLevelTypeAtHelpPosition(size_t position);

/* The row whose name equals typeName exactly (case counts), or null. */
const TopLevelType* findTopLevelType(const char* typeName);

/* The caller owns the returned control object. An unknown name gives null
   and allocates nothing. Calling it twice with the same value pointer, on a
   decode buffer and then on an encode buffer, gives two control objects over
   one value. */
ASN1CType* CreateType(ASN1MessageBuffer& buffer, const char* typeName, void** value);

#endif
