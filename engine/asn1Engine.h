/*
 * The generic engine: one routine per codec that interprets a type
 * descriptor. Generated functions are one-line calls into these.
 */
#ifndef BLOBXML_ASN1ENGINE_H
#define BLOBXML_ASN1ENGINE_H

#include "asn1Desc.h"

namespace asn1rt {

/* BER/DER encoder: writes `value` back to front into the context's encode
   buffer; returns the encoded length or a negative status. */
int berEncode(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, ASN1TagType tagging);

/* BER decoder: reads one value at the current position; with TAG_IMPLICIT
   `length` is the content length handed over by the caller. */
int berDecode(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging, int length);

/* Deep copy of every dynamic part into the context's heap. */
void copyValue(ASN1CTXT* pctxt, const TypeDesc* type, const void* src, void* dst);

/* Releases the dynamic parts of a value; the value structure stays. */
void freeValue(ASN1CTXT* pctxt, const TypeDesc* type, void* value);

/* Table-constraint steps of a SEQUENCE that carries open types: resolve the
   open types after decoding and re-encode decoded values before encoding. */
int tableDecode(ASN1CTXT* pctxt, const TypeDesc* type, void* value);
int tableEncode(ASN1CTXT* pctxt, const TypeDesc* type, void* value);

/* First object of the set whose OID equals `oid`, or null. */
const ObjectDesc* lookupObject(const ObjectSetDesc* set, const ASN1OBJID& oid);

}

#endif
