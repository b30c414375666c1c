/*
 * Room-making for the front-to-back (XER) output buffer, and the bit length
 * of an octet.
 */
#include "rtBuffer.h"

#include <algorithm>

#include "rtContext.h"
#include "rtMemHeap.h"
#include "rtStream.h"

static bool fits(const ASN1CTXT* pctxt, size_t nbytes) {
   return static_cast<size_t>(pctxt->buffer.byteIndex) + nbytes <= pctxt->buffer.size;
}

int rtCheckBuffer(ASN1CTXT* pctxt, size_t nbytes) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (fits(pctxt, nbytes)) return RTS_OK;
   if (pctxt->stream != nullptr) {
      const int stat = rtStreamBufFlush(pctxt);
      if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
      if (fits(pctxt, nbytes)) return RTS_OK;
   }
   if (!pctxt->buffer.dynamic) return LOG_ASN1ERR(pctxt, RTS_BUFFER_FULL);
   /* A dynamic buffer lost to a failed growth cannot take output again. */
   if (pctxt->buffer.data == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);

   /* The buffer at least doubles, so a long document is copied a bounded
      number of times in all rather than once per 16 KB step. */
   const size_t size = pctxt->buffer.size;
   const size_t grow = std::max({nbytes, static_cast<size_t>(RT_BUFFER_GROW_MIN), size});
   const size_t newSize = size + grow;
   void* data = nullptr;
   if (newSize <= RT_MH_MAXALLOC)
      data = rtMemHeapRealloc(&pctxt->msgMemHeap, pctxt->buffer.data, newSize);
   if (data == nullptr) {
      rtMemHeapFreePtr(&pctxt->msgMemHeap, pctxt->buffer.data);
      pctxt->buffer.data = nullptr;
      pctxt->buffer.size = 0;
      return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   pctxt->buffer.data = static_cast<ASN1OCTET*>(data);
   pctxt->buffer.size = static_cast<ASN1UINT>(newSize);
   return RTS_OK;
}

int rtOctetBitLen(ASN1OCTET octet) {
   int bits = 0;
   for (unsigned v = octet; v != 0; v >>= 1) bits++;
   return bits;
}
