/*
 * OBJECT IDENTIFIER (X.690 8.19): subidentifiers in base 128, the first one
 * standing for the first two arcs.
 */
#include "berDecode.h"

#include "rtContext.h"

int xd_objid(ASN1CTXT* pctxt, ASN1OBJID* object_p, ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = xd_matchUniversal(pctxt, 0x06);
      if (stat == RTS_OK) stat = xd_len(pctxt, &length);
      if (stat != RTS_OK) return stat;
   }
   if (length < 1) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   ASN1BUFFER& buf = pctxt->buffer;
   if (!(pctxt->flags & CTXTF_OUTER_INDEFINITE) &&
       static_cast<int64_t>(buf.byteIndex) + length > buf.size)
      return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);

   const ASN1UINT end = buf.byteIndex + static_cast<ASN1UINT>(length);
   ASN1UINT numarcs = 0;
   while (buf.byteIndex < end) {
      /* X.690 8.19.2: a subidentifier has no leading 0x80 octet. */
      if (buf.data[buf.byteIndex] == 0x80) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
      /* Arcs are 32 bits; the first subidentifier, 80 + the second arc
         under arc 2, may be 80 more. Anything wider is refused rather than
         cut to another identifier. */
      const ASN1UINT64 limit = numarcs == 0 ? ASN1UINT64{0xFFFFFFFFu} + 80 : 0xFFFFFFFFu;
      ASN1UINT64 subid = 0;
      ASN1OCTET octet;
      do {
         /* The last octet of a subidentifier has bit 8 clear. */
         if (buf.byteIndex == end) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
         octet = buf.data[buf.byteIndex++];
         subid = (subid << 7) | (octet & 0x7F);
         if (subid > limit) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
      } while (octet & 0x80);

      if (numarcs == 0) {
         /* X.690 8.19.4: (X * 40) + Y, where X is 0 or 1 below 80, else 2. */
         object_p->arcs[0] = subid < 80 ? static_cast<ASN1UINT>(subid / 40) : 2;
         object_p->arcs[1] = static_cast<ASN1UINT>(subid < 80 ? subid % 40 : subid - 80);
         numarcs = 2;
      } else {
         if (numarcs == MAX_OID_ARCS) return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
         object_p->arcs[numarcs++] = static_cast<ASN1UINT>(subid);
      }
   }
   object_p->numarcs = numarcs;
   return RTS_OK;
}
