/*
 * Deep copies of the primitive value forms for the generated copy routines.
 * Every copy returns 1 when it copied and 0 when it did not; a null source or
 * destination gives 0. New storage comes from the context's typeMemHeap; when
 * it cannot be allocated the destination is left empty (count 0, data null).
 */
#ifndef BLOBXML_RTCOPY_H
#define BLOBXML_RTCOPY_H

#include "asn1type.h"

/* Into the caller's array of at least (srcNumbits + 7) / 8 octets. Zero bits
   give 0 with *pDstNumbits set to 0. */
int rtCopyBitStr(ASN1CTXT* pctxt, ASN1UINT srcNumbits, const ASN1OCTET* srcData,
                 ASN1UINT* pDstNumbits, ASN1OCTET* dstData);
/* Zero bits give a null data pointer. */
int rtCopyDynBitStr(ASN1CTXT* pctxt, const ASN1TDynBitStr* pSrc, ASN1TDynBitStr* pDst);

/* Into the caller's array of at least srcNumocts octets. Zero octets give 0
   with *pDstNumocts set to 0. */
int rtCopyOctStr(ASN1CTXT* pctxt, ASN1UINT srcNumocts, const ASN1OCTET* srcData,
                 ASN1UINT* pDstNumocts, ASN1OCTET* dstData);
/* Zero octets give a null data pointer. */
int rtCopyDynOctStr(ASN1CTXT* pctxt, const ASN1TDynOctStr* pSrc, ASN1TDynOctStr* pDst);

/* New zero-terminated copy stored through ppDst (null on failure). */
int rtCopyCharStr(ASN1CTXT* pctxt, const char* pSrc, char** ppDst);

/* New arrays of the characters (null for none) with the same count. */
int rtCopy16BitCharStr(ASN1CTXT* pctxt, const ASN116BitCharString* pSrc,
                       ASN116BitCharString* pDst);
int rtCopy32BitCharStr(ASN1CTXT* pctxt, const ASN132BitCharString* pSrc,
                       ASN132BitCharString* pDst);

/* No allocation; 0 when numarcs exceeds MAX_OID_ARCS. */
int rtCopyOID(ASN1CTXT* pctxt, const ASN1OBJID* pSrc, ASN1OBJID* pDst);

/* The copy owns its octets, also when the source's are borrowed. */
int rtCopyOpenType(ASN1CTXT* pctxt, const ASN1TOpenType* pSrc, ASN1TOpenType* pDst);

/* Initialises pDst, then appends a separately allocated copy of every
   ASN1TOpenType of pSrc (nodes with null data are skipped). The first
   failure ends the copy with 0, keeping what was appended. */
int rtCopyOpenTypeExt(ASN1CTXT* pctxt, const Asn1RTDList* pSrc, Asn1RTDList* pDst);

#endif
