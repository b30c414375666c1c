/*
 * The front-to-back encoder's only way of emitting output: into an attached
 * stream, or at the position of the context's message buffer.
 */
#include "rtStream.h"

#include <cstring>

#include "rtBuffer.h"
#include "rtContext.h"

int rtWriteBytes(ASN1CTXT* pctxt, const ASN1OCTET* pdata, size_t nocts) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (nocts == 0) return RTS_OK;
   if (pdata == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   if (pctxt->stream != nullptr) {
      int stat = rtStreamBufWrite(pctxt, pdata, nocts);
      return stat == RTS_OK ? RTS_OK : LOG_ASN1ERR(pctxt, stat);
   }
   int stat = rtCheckBuffer(pctxt, nocts);
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   std::memcpy(pctxt->buffer.data + pctxt->buffer.byteIndex, pdata, nocts);
   pctxt->buffer.byteIndex += static_cast<ASN1UINT>(nocts);
   return RTS_OK;
}
