/*
 * OBJECT IDENTIFIER contents (X.690 8.19): the first two arcs combined into
 * one subidentifier, then one base-128 subidentifier per further arc.
 */
#include "berEncode.h"

#include "rtContext.h"

/* A subidentifier of up to 35 bits (arcs are 32 bits, the first
   subidentifier 33) takes at most five base-128 octets. */
static const unsigned kMaxSubidOctets = 5;

/* Writes value in base 128 ending just before *end and moves *end back. */
static void putSubidentifier(ASN1OCTET** end, ASN1UINT64 value) {
   *--*end = static_cast<ASN1OCTET>(value & 0x7F);
   for (value >>= 7; value != 0; value >>= 7)
      *--*end = static_cast<ASN1OCTET>(0x80 | (value & 0x7F));
}

int xe_objid(ASN1CTXT* pctxt, const ASN1OBJID* object_p, ASN1TagType tagging) {
   if (object_p == nullptr || object_p->numarcs < 2 || object_p->numarcs > MAX_OID_ARCS ||
       object_p->arcs[0] > 2 || (object_p->arcs[0] < 2 && object_p->arcs[1] > 39))
      return LOG_ASN1ERR(pctxt, RTS_BAD_OID);

   /* Built back to front in a local block, then written in one piece. */
   ASN1OCTET octets[MAX_OID_ARCS * kMaxSubidOctets];
   ASN1OCTET* const end = octets + sizeof(octets);
   ASN1OCTET* p = end;
   for (ASN1UINT i = object_p->numarcs - 1; i >= 2; i--) putSubidentifier(&p, object_p->arcs[i]);
   /* Under arc 2 the second arc is unbounded: 40 * 2 + arc may need 33 bits. */
   putSubidentifier(&p, ASN1UINT64{object_p->arcs[0]} * 40 + object_p->arcs[1]);

   int len = xe_memcpy(pctxt, p, static_cast<ASN1UINT>(end - p));
   if (len < 0 || tagging != TAG_EXPLICIT) return len;
   return xe_tag_len(pctxt, ASN_ID_OBJID, len);
}
