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

/* Whether the object gives the open type a value to write as XER: a typed
   object with a decoded value, or a type without storage (NULL). */
bool resolvesTo(const ObjectDesc* object, const Asn1TObject& openType);

/* Whether tableXerEncode has already put the XER text into the octets. */
inline bool holdsXerText(const Asn1TObject& openType) {
   return openType.data != nullptr && (openType.flags & ASN1OPENTYPE_XER_TEXT) != 0;
}

/* The XER of a value, compact and on the current line, as an open type's
   content: no line feeds or indentation inside it. */
int encodeCompact(ASN1CTXT* pctxt, const TypeDesc* type, const void* value);

/* <Encoded>HEX</Encoded>, compact. */
int encodeHexForm(ASN1CTXT* pctxt, ASN1UINT numocts, const ASN1OCTET* data);

/* An open type as a component: <name>content</name> on one line. The
   content is the object's value when it resolves the open type, else the
   hexadecimal form; an empty open type leaves the element empty. */
int encodeObjectField(ASN1CTXT* pctxt, const ObjectDesc* object, const Asn1TObject& openType,
                      const char* name);

/* An open type as a list item without element of its own, on its own
   line; an empty one is skipped. */
int encodeObjectItem(ASN1CTXT* pctxt, const ObjectDesc* object, const Asn1TObject& openType);

/* An open type that no table constrains: the hexadecimal form. */
int encodeUntypedField(ASN1CTXT* pctxt, const ASN1TOpenType& openType, const char* name);
int encodeUntypedItem(ASN1CTXT* pctxt, const ASN1TOpenType& openType);

/* Reads the hexadecimal form out of captured text (whitespace around and
   between the digits allowed): 1 with the DER form of the octets allocated
   in pctxt's heap, 0 when the text is not that form, or RTS_BAD_HEX_TEXT /
   RTS_NO_MEMORY / RTS_BAD_VALUE (octets that are not exactly one complete
   element) / the status of BER that has no DER form (xe_derNormalise),
   recorded. */
int decodeHexForm(ASN1CTXT* pctxt, const ASN1OCTET* text, ASN1UINT length,
                  ASN1TDynOctStr* octets);

/* Turns the captured text of an open type without table constraint into
   the octets the hexadecimal form spells, the value's own from pctxt's
   heap; any other text is RTS_BAD_VALUE (recorded), since it has no
   encoding of its own. */
int resolveUntyped(ASN1CTXT* pctxt, ASN1TOpenType* openType);

}
}

#endif
