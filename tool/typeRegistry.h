/*
 * Registry of the top-level types: from a type name to the control object
 * that decodes or encodes a value of that type on a message buffer.
 */
#ifndef BLOBXML_TYPEREGISTRY_H
#define BLOBXML_TYPEREGISTRY_H

class ASN1MessageBuffer;
class ASN1CType;

/* Makes the control object of one type on the buffer over *value; when
   *value is null it first allocates a zero-filled value structure from the
   heap of the buffer's context and stores its address there. */
typedef ASN1CType* (*TopLevelTypeFactory)(ASN1MessageBuffer& buffer, void** value);

struct TopLevelType {
   const char* name;
   TopLevelTypeFactory create;
};

/* The row whose name equals typeName exactly (case counts), or null. */
const TopLevelType* findTopLevelType(const char* typeName);

/* The caller owns the returned control object. An unknown name gives null
   and allocates nothing. Calling it twice with the same value pointer, on a
   decode buffer and then on an encode buffer, gives two control objects over
   one value. */
ASN1CType* CreateType(ASN1MessageBuffer& buffer, const char* typeName, void** value);

#endif
