/*
 * ASN1MemBuf: a byte buffer that grows in whole segments inside the owning
 * context's memory heap. The XER decoder collects character data in it.
 */
#include "rtMemHeap.h"

#include <cstring>

void rtMemBufInit(ASN1CTXT* pctxt, ASN1MemBuf* pMemBuf, ASN1UINT segsize) {
   pMemBuf->pctxt = pctxt;
   pMemBuf->segsize = segsize;
   pMemBuf->startidx = 0;
   pMemBuf->usedcnt = 0;
   pMemBuf->bufsize = 0;
   pMemBuf->bitOffset = 0;
   pMemBuf->buffer = nullptr;
   pMemBuf->isDynamic = 1;
}

void rtMemBufReset(ASN1MemBuf* pMemBuf) {
   pMemBuf->usedcnt = 0;
   pMemBuf->startidx = 0;
   pMemBuf->bitOffset = 0;
}

int rtMemBufPreAllocate(ASN1MemBuf* pMemBuf, ASN1UINT nbytes) {
   if (nbytes == 0) return RTS_OK;
   if (pMemBuf->usedcnt + nbytes <= pMemBuf->bufsize) return RTS_OK;
   ASN1UINT seg = pMemBuf->segsize;
   ASN1UINT capacity = seg * ((pMemBuf->usedcnt + nbytes - 1) / seg + 1);
   void** heap = &pMemBuf->pctxt->typeMemHeap;
   ASN1OCTET* storage;
   if (pMemBuf->isDynamic && pMemBuf->buffer != nullptr) {
      storage = static_cast<ASN1OCTET*>(rtMemHeapRealloc(heap, pMemBuf->buffer, capacity));
   } else {
      storage = static_cast<ASN1OCTET*>(rtMemHeapAlloc(heap, capacity));
      if (storage != nullptr && pMemBuf->buffer != nullptr)
         std::memcpy(storage, pMemBuf->buffer, pMemBuf->usedcnt);
      pMemBuf->isDynamic = 1;
   }
   if (storage == nullptr) return RTS_NO_MEMORY;
   pMemBuf->buffer = storage;
   pMemBuf->bufsize = capacity;
   return RTS_OK;
}

int rtMemBufAppend(ASN1MemBuf* pMemBuf, const ASN1OCTET* pdata, ASN1UINT nbytes) {
   if (nbytes == 0) return RTS_OK;
   int stat = rtMemBufPreAllocate(pMemBuf, nbytes);
   if (stat != RTS_OK) return stat;
   if (pdata != nullptr) {
      std::memcpy(pMemBuf->buffer + pMemBuf->usedcnt, pdata, nbytes);
      pMemBuf->usedcnt += nbytes;
   }
   return RTS_OK;
}

int rtMemBufSet(ASN1MemBuf* pMemBuf, ASN1OCTET value, ASN1UINT nbytes) {
   if (nbytes == 0) return RTS_OK;
   int stat = rtMemBufPreAllocate(pMemBuf, nbytes);
   if (stat != RTS_OK) return stat;
   std::memset(pMemBuf->buffer + pMemBuf->usedcnt, value, nbytes);
   pMemBuf->usedcnt += nbytes;
   return RTS_OK;
}

ASN1OCTET* rtMemBufGetData(ASN1MemBuf* pMemBuf, int* length) {
   if (length != nullptr) *length = static_cast<int>(pMemBuf->usedcnt - pMemBuf->startidx);
   return pMemBuf->buffer == nullptr ? nullptr : pMemBuf->buffer + pMemBuf->startidx;
}

void rtMemBufFree(ASN1MemBuf* pMemBuf) {
   if (pMemBuf->isDynamic) rtMemHeapFreePtr(&pMemBuf->pctxt->typeMemHeap, pMemBuf->buffer);
}
