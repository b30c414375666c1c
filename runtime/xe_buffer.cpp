/*
 * The back-to-front encode buffer: set-up, growth at the front with the
 * encoding kept at the end, and raw writes in front of the position.
 */
#include "berEncode.h"

#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

/* A dynamic buffer never grows by less than this. */
static const ASN1UINT kMinIncrement = 16384;

/* Lengths are returned as int, so no buffer may exceed this. */
static const ASN1UINT kMaxBufferSize = 0x7FFFFFFFu;

int xe_setp(ASN1CTXT* pctxt, ASN1OCTET* buf_p, int bufsiz) {
   /* A caller's buffer must hold at least the spare last octet. */
   if (bufsiz < 0 || (buf_p != nullptr && bufsiz == 0)) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   int stat = rtInitContextBuffer(pctxt, buf_p, static_cast<ASN1UINT>(bufsiz));
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   pctxt->buffer.byteIndex = pctxt->buffer.size - 1;
   return RTS_OK;
}

ASN1OCTET* xe_getp(ASN1CTXT* pctxt) {
   return pctxt->buffer.data + pctxt->buffer.byteIndex;
}

int xe_expandBuffer(ASN1CTXT* pctxt, ASN1UINT length) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (!buf.dynamic) return LOG_ASN1ERR(pctxt, RTS_BUFFER_FULL);
   ASN1UINT increment = length > kMinIncrement ? length : kMinIncrement;
   if (increment > kMaxBufferSize - buf.size) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   ASN1UINT newSize = buf.size + increment;

   /* The buffer lives in the message heap (where the context set it up and
      where it is freed with the context), which may differ from typeMemHeap
      once a control object shares another context's heap. */
   ASN1OCTET* newData = static_cast<ASN1OCTET*>(rtMemHeapAlloc(&pctxt->msgMemHeap, newSize));
   if (newData == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   if (buf.data != nullptr) {
      ASN1UINT used = buf.size - buf.byteIndex; /* encoding plus the spare octet */
      std::memcpy(newData + newSize - used, buf.data + buf.byteIndex, used);
      rtMemHeapFreePtr(&pctxt->msgMemHeap, buf.data);
   }
   buf.data = newData;
   buf.size = newSize;
   buf.byteIndex += increment;
   return RTS_OK;
}

int xe_reserve(ASN1CTXT* pctxt, ASN1UINT length) {
   if (pctxt->buffer.byteIndex < length) {
      int stat = xe_expandBuffer(pctxt, length);
      if (stat != RTS_OK) return stat;
   }
   pctxt->buffer.byteIndex -= length;
   return RTS_OK;
}

int xe_memcpy(ASN1CTXT* pctxt, const ASN1OCTET* object_p, ASN1UINT length) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   int stat = xe_reserve(pctxt, length);
   if (stat != RTS_OK) return stat;
   ASN1OCTET* dest = pctxt->buffer.data + pctxt->buffer.byteIndex;
   if (length == 1)
      *dest = *object_p;
   else if (length > 1)
      std::memcpy(dest, object_p, length);
   return static_cast<int>(length);
}
