/*
 * OCTET STRING, BIT STRING and character string contents, all in the
 * primitive form that DER requires (X.690 8.6, 8.7, 8.23, 10.2).
 */
#include "berEncode.h"

#include <cstring>

#include "rtContext.h"

/* Wraps contents of len octets with the universal header when explicit. */
static int finish(ASN1CTXT* pctxt, int len, ASN1TagType tagging, ASN1TAG tag) {
   if (len < 0 || tagging != TAG_EXPLICIT) return len;
   return xe_tag_len(pctxt, tag, len);
}

int xe_octstr(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT numocts,
              ASN1TagType tagging) {
   int len = object_p == nullptr ? 0 : xe_memcpy(pctxt, object_p, numocts);
   return finish(pctxt, len, tagging, ASN_ID_OCTSTR);
}

int xe_bitstr(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT numbits,
              ASN1TagType tagging) {
   ASN1OCTET unusedBits = 0;
   int len = 0;
   if (numbits != 0) {
      len = xe_memcpy(pctxt, object_p, numbits / 8 + (numbits % 8 != 0 ? 1 : 0));
      if (len < 0) return len;
      if (numbits % 8 != 0) unusedBits = static_cast<ASN1OCTET>(8 - numbits % 8);
   }
   int stat = xe_memcpy(pctxt, &unusedBits, 1);
   if (stat < 0) return stat;
   return finish(pctxt, len + 1, tagging, ASN_ID_BITSTR);
}

int xe_charstr(ASN1CTXT* pctxt, const char* object_p, ASN1TagType tagging, ASN1TAG tag) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   size_t length = std::strlen(object_p);
   if (length > 0x7FFFFFFFu) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   int len = xe_memcpy(pctxt, reinterpret_cast<const ASN1OCTET*>(object_p),
                       static_cast<ASN1UINT>(length));
   return finish(pctxt, len, tagging, tag);
}

/* Writes nchars units of unitSize octets, most significant octet first, in
   one reserved block so that they come out in order. */
template <typename Unit>
static int writeUnits(ASN1CTXT* pctxt, const Unit* units, ASN1UINT nchars) {
   const ASN1UINT unitSize = sizeof(Unit);
   if (nchars == 0) return 0;
   if (units == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   if (nchars > 0x7FFFFFFFu / unitSize) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   ASN1UINT total = nchars * unitSize;
   int stat = xe_reserve(pctxt, total);
   if (stat != RTS_OK) return stat;
   ASN1OCTET* out = pctxt->buffer.data + pctxt->buffer.byteIndex;
   for (ASN1UINT i = 0; i < nchars; i++) {
      for (ASN1UINT k = 0; k < unitSize; k++)
         out[i * unitSize + k] = static_cast<ASN1OCTET>(units[i] >> (8 * (unitSize - 1 - k)));
   }
   return static_cast<int>(total);
}

int xe_16BitCharStr(ASN1CTXT* pctxt, const ASN116BitCharString* object_p,
                    ASN1TagType tagging, ASN1TAG tag) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return finish(pctxt, writeUnits(pctxt, object_p->data, object_p->nchars), tagging, tag);
}

int xe_32BitCharStr(ASN1CTXT* pctxt, const ASN132BitCharString* object_p,
                    ASN1TagType tagging, ASN1TAG tag) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return finish(pctxt, writeUnits(pctxt, object_p->data, object_p->nchars), tagging, tag);
}
