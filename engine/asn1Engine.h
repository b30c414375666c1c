/*
 * The generic engine: one routine per codec that interprets a type
 * descriptor. Generated functions are one-line calls into these.
 */
#ifndef BLOBXML_ASN1ENGINE_H
#define BLOBXML_ASN1ENGINE_H

#include "asn1Desc.h"

namespace asn1rt {

/* BER/DER encoder: writes `value` back to front into the context's encode
   buffer; returns the encoded length or a negative status. The value is
   only read: the fresh octets of decoded open-type values live in the
   context's heap while their SEQUENCE is written (engine/openType). */
int berEncode(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, ASN1TagType tagging);

/* BER decoder: reads one value at the current position; with TAG_IMPLICIT
   `length` is the content length handed over by the caller, and the
   end-of-contents octets that close the caller's tag stay for the caller
   (a segmented string consumes them itself, as xd_octstr does). A failed
   decode leaves a partly filled value that freeValue can release. */
int berDecode(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging, int length);

/* Deep copy of every dynamic part into the context's heap; nothing when
   src is dst. A part that cannot be allocated stays empty. */
void copyValue(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst);

/* Releases the dynamic parts of a value, which must all come from the
   context's heap; the value structure stays. */
void freeValue(ASN1CTXT* pctxt, const TypeDesc* type, void* value);

/* Table-constraint steps of a SEQUENCE that carries open types. tableDecode
   decodes each open type's octets as a value of the type of the object that
   the identifier names (an unknown identifier or an object without type
   leaves the octets raw and the decoded value null); tableEncode (the
   generated asn1ETC_ step; berEncode does not need it) replaces the octets
   of each decoded value by its fresh DER in a block of the context's heap,
   borrowed (InOctetString: the OCTET STRING takes them too). Each step
   uses a buffer of its own and gives the context its buffer and flags back.
   They return 0 or a negative status. */
int tableDecode(ASN1CTXT* pctxt, const TypeDesc* type, void* value);
int tableEncode(ASN1CTXT* pctxt, const TypeDesc* type, void* value);

/* First object of the set whose OID equals `oid`, or null. */
const ObjectDesc* lookupObject(const ObjectSetDesc* set, const ASN1OBJID& oid);

}

#endif
