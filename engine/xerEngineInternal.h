/*
 * Internals of the XER half of the engine: the pieces that the encoder, the
 * SAX machines and the table-constraint steps share.
 */
#ifndef BLOBXML_XERENGINEINTERNAL_H
#define BLOBXML_XERENGINEINTERNAL_H

#include "asn1Desc.h"

namespace asn1rt {
namespace xerdetail {

/* The structured kinds under the element `name` (see xerEncode). */
int encodeComponents(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, const char* name,
                     const char* attributes);
int encodeChoice(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, const char* name,
                 const char* attributes);
int encodeList(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, const char* name,
               const char* attributes);
int encodeArray(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, const char* name,
                const char* attributes);

/* Only XML white space: what may stand around the elements of a
   structured value without meaning anything. */
inline bool isBlankText(const char* chars, unsigned int length) {
   for (unsigned int i = 0; i < length; i++) {
      const char c = chars[i];
      if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
   }
   return true;
}

/* Identifier of a named number or enumeration item, or null. */
const char* identifierOf(const TypeDesc* type, int64_t number);

}
}

#endif
