/*
 * OBJECT IDENTIFIER (X.690 8.19): subidentifiers in base 128, the first one
 * standing for the first two arcs.
 */
#include "berDecode.h"

#include "rtContext.h"

/* One subidentifier from data[*pos], which is left after it or at the octet
   that refuses it. */
static int readSubid(const ASN1OCTET* data, ASN1UINT* pos, ASN1UINT end, bool first,
                     ASN1UINT64* subid) {
   /* X.690 8.19.2: a subidentifier has no leading 0x80 octet. */
   if (data[*pos] == 0x80) return RTS_BAD_OID;
   /* Arcs are 32 bits; the first subidentifier, 80 + the second arc under
      arc 2, may be 80 more. Anything wider is refused rather than cut to
      another identifier. */
   const ASN1UINT64 limit = first ? ASN1UINT64{0xFFFFFFFFu} + 80 : 0xFFFFFFFFu;
   ASN1UINT64 value = 0;
   ASN1OCTET octet;
   do {
      /* The last octet of a subidentifier has bit 8 clear. */
      if (*pos == end) return RTS_BAD_OID;
      octet = data[(*pos)++];
      value = (value << 7) | (octet & 0x7F);
      if (value > limit) return RTS_BAD_OID;
   } while (octet & 0x80);
   *subid = value;
   return RTS_OK;
}

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

   /* The position is kept in a local, written back on every way out, since
      the stores into the arcs might otherwise alias it. */
   const ASN1OCTET* const data = buf.data;
   ASN1UINT pos = buf.byteIndex;
   const ASN1UINT end = pos + static_cast<ASN1UINT>(length);
   ASN1UINT numarcs = 0;
   ASN1UINT64 subid = 0;
   while (pos < end) {
      /* Most arcs after the first two are below 128: one octet each. */
      if (data[pos] < 0x80 && numarcs >= 2 && numarcs < MAX_OID_ARCS) {
         object_p->arcs[numarcs++] = data[pos++];
         continue;
      }
      const int stat = readSubid(data, &pos, end, numarcs == 0, &subid);
      if (stat != RTS_OK) {
         buf.byteIndex = pos;
         return LOG_ASN1ERR(pctxt, stat);
      }
      if (numarcs == 0) {
         /* X.690 8.19.4: (X * 40) + Y, where X is 0 or 1 below 80, else 2. */
         object_p->arcs[0] = subid < 80 ? static_cast<ASN1UINT>(subid / 40) : 2;
         object_p->arcs[1] = static_cast<ASN1UINT>(subid < 80 ? subid % 40 : subid - 80);
         numarcs = 2;
      } else if (numarcs == MAX_OID_ARCS) {
         buf.byteIndex = pos;
         return LOG_ASN1ERR(pctxt, RTS_BAD_OID);
      } else {
         object_p->arcs[numarcs++] = static_cast<ASN1UINT>(subid);
      }
   }
   buf.byteIndex = pos;
   object_p->numarcs = numarcs;
   return RTS_OK;
}
