/*
 * Output streams: a record of user-supplied sink functions attached to a
 * context, optionally collecting writes in the context's message buffer.
 */
#include "rtStream.h"

#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

namespace {

bool hasFlag(const ASN1STREAM* pStream, unsigned flag) {
   return (pStream->flags & flag) != 0;
}

/* Octets a buffered stream can collect: its own size, bounded by the
   message buffer actually present. */
size_t collectCapacity(const ASN1CTXT* pctxt) {
   const ASN1STREAM* pStream = pctxt->stream;
   if (!hasFlag(pStream, ASN1STRM_BUFFERED) || pctxt->buffer.data == nullptr) return 0;
   return pStream->bufsize < pctxt->buffer.size ? pStream->bufsize : pctxt->buffer.size;
}

/* Hands the collected octets to the sink and empties the buffer. */
int writeCollected(ASN1CTXT* pctxt) {
   if (pctxt->buffer.byteIndex == 0) return RTS_OK;
   int stat = rtStreamWrite(pctxt, pctxt->buffer.data, pctxt->buffer.byteIndex);
   if (stat != RTS_OK) return stat;
   pctxt->buffer.byteIndex = 0;
   return RTS_OK;
}

}

int rtStreamInit(ASN1CTXT* pctxt) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pctxt->initMarker != CTXT_INIT_MARKER) return RTS_NOT_INITIALISED;
   rtStreamRelease(pctxt);
   void* record = rtMemHeapAllocZ(&pctxt->msgMemHeap, sizeof(ASN1STREAM));
   if (record == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   pctxt->stream = static_cast<ASN1STREAM*>(record);
   return RTS_OK;
}

int rtStreamBufInit(ASN1CTXT* pctxt) {
   int stat = rtStreamInit(pctxt);
   if (stat != RTS_OK) return stat;
   stat = rtInitContextBuffer(pctxt, nullptr, ASN1STRM_BUFSIZE);
   if (stat != RTS_OK) {
      rtStreamRelease(pctxt);
      return LOG_ASN1ERR(pctxt, stat);
   }
   pctxt->stream->bufsize = ASN1STRM_BUFSIZE;
   pctxt->stream->flags |= ASN1STRM_BUFFERED;
   return RTS_OK;
}

int rtStreamWrite(ASN1CTXT* pctxt, const ASN1OCTET* pdata, size_t nocts) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   ASN1STREAM* pStream = pctxt->stream;
   if (pStream == nullptr || pStream->writeFunc == nullptr || !hasFlag(pStream, ASN1STRM_WRITABLE))
      return LOG_ASN1ERR(pctxt, RTS_NOT_INITIALISED);
   int stat = pStream->writeFunc(pStream, pdata, nocts);
   if (stat < 0) return LOG_ASN1ERR(pctxt, stat);
   pStream->ioBytes += nocts;
   return RTS_OK;
}

long rtStreamRead(ASN1CTXT* pctxt, ASN1OCTET* pbuffer, size_t nocts) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   ASN1STREAM* pStream = pctxt->stream;
   if (pStream == nullptr || pStream->readFunc == nullptr || !hasFlag(pStream, ASN1STRM_READABLE))
      return LOG_ASN1ERR(pctxt, RTS_NOT_INITIALISED);
   long count = pStream->readFunc(pStream, pbuffer, nocts);
   if (count < 0) return LOG_ASN1ERR(pctxt, static_cast<int>(count));
   pStream->ioBytes += static_cast<size_t>(count);
   return count;
}

int rtStreamFlush(ASN1CTXT* pctxt) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   ASN1STREAM* pStream = pctxt->stream;
   if (pStream == nullptr || !hasFlag(pStream, ASN1STRM_WRITABLE))
      return LOG_ASN1ERR(pctxt, RTS_NOT_INITIALISED);
   if (pStream->flushFunc == nullptr) return RTS_OK;
   int stat = pStream->flushFunc(pStream);
   return stat < 0 ? LOG_ASN1ERR(pctxt, stat) : RTS_OK;
}

int rtStreamBufWrite(ASN1CTXT* pctxt, const ASN1OCTET* pdata, size_t nocts) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pctxt->stream == nullptr) return LOG_ASN1ERR(pctxt, RTS_NOT_INITIALISED);
   if (nocts == 0) return RTS_OK;
   if (pdata == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   const size_t capacity = collectCapacity(pctxt);
   if (capacity == 0) return rtStreamWrite(pctxt, pdata, nocts);
   const size_t collected = pctxt->buffer.byteIndex;
   if (collected > capacity || nocts > capacity - collected) {
      int stat = writeCollected(pctxt);
      if (stat != RTS_OK) return stat;
   }
   if (nocts < capacity) {
      std::memcpy(pctxt->buffer.data + pctxt->buffer.byteIndex, pdata, nocts);
      pctxt->buffer.byteIndex += static_cast<ASN1UINT>(nocts);
      return RTS_OK;
   }
   return rtStreamWrite(pctxt, pdata, nocts);
}

int rtStreamBufFlush(ASN1CTXT* pctxt) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   ASN1STREAM* pStream = pctxt->stream;
   if (pStream == nullptr) return LOG_ASN1ERR(pctxt, RTS_NOT_INITIALISED);
   if (!hasFlag(pStream, ASN1STRM_WRITABLE | ASN1STRM_BUFFERED))
      return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   if (hasFlag(pStream, ASN1STRM_BUFFERED)) {
      int stat = writeCollected(pctxt);
      if (stat != RTS_OK) return stat;
   }
   if (pStream->flushFunc == nullptr) return RTS_OK;
   int stat = pStream->flushFunc(pStream);
   return stat < 0 ? LOG_ASN1ERR(pctxt, stat) : RTS_OK;
}

int rtStreamClose(ASN1CTXT* pctxt) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   ASN1STREAM* pStream = pctxt->stream;
   if (pStream == nullptr || pStream->closeFunc == nullptr ||
       !hasFlag(pStream, ASN1STRM_READABLE | ASN1STRM_WRITABLE))
      return LOG_ASN1ERR(pctxt, RTS_NOT_INITIALISED);
   /* The sink is closed even when the flush fails; the first failure is
      the one returned. */
   int stat = hasFlag(pStream, ASN1STRM_WRITABLE) ? rtStreamFlush(pctxt) : RTS_OK;
   pStream->flags = 0;
   int closeStat = pStream->closeFunc(pStream);
   if (closeStat < 0) LOG_ASN1ERR(pctxt, closeStat);
   return stat != RTS_OK ? stat : (closeStat < 0 ? closeStat : RTS_OK);
}

int rtStreamBufClose(ASN1CTXT* pctxt) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pctxt->stream == nullptr) return LOG_ASN1ERR(pctxt, RTS_NOT_INITIALISED);
   int stat = hasFlag(pctxt->stream, ASN1STRM_BUFFERED) ? writeCollected(pctxt) : RTS_OK;
   int closeStat = rtStreamClose(pctxt);
   return stat != RTS_OK ? stat : closeStat;
}

size_t rtStreamGetIOBytes(ASN1CTXT* pctxt) {
   if (pctxt == nullptr || pctxt->stream == nullptr) return 0;
   return pctxt->stream->ioBytes;
}
