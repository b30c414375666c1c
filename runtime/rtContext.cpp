/*
 * Codec context life: initialisation with one heap in both slots, message
 * buffer set-up, copying of the buffer state, flags, heap sharing and free
 * (with the stream record the context owns).
 */
#include "rtContext.h"

#include <cstring>

#include "rtMemHeap.h"

/* A dynamic buffer asked for with size 0 gets this many bytes. */
static const ASN1UINT kDefaultBufferSize = 16384;

int rtInitContext(ASN1CTXT* pctxt, void* allocArg) {
   std::memset(pctxt, 0, sizeof(*pctxt));
   pctxt->initMarker = CTXT_INIT_MARKER;
   int stat = rtMemHeapCreate(&pctxt->typeMemHeap, allocArg);
   if (stat != RTS_OK) return stat;
   pctxt->allocArg = allocArg;
   pctxt->msgMemHeap = pctxt->typeMemHeap;
   rtMemHeapAddRef(&pctxt->msgMemHeap);
   return RTS_OK;
}

int rtInitContextBuffer(ASN1CTXT* pctxt, ASN1OCTET* bufaddr, ASN1UINT bufsiz) {
   if (pctxt->initMarker != CTXT_INIT_MARKER) return RTS_NOT_INITIALISED;
   if (bufaddr == nullptr) {
      if (bufsiz == 0) bufsiz = kDefaultBufferSize;
      pctxt->buffer.data = static_cast<ASN1OCTET*>(rtMemHeapAlloc(&pctxt->msgMemHeap, bufsiz));
      if (pctxt->buffer.data == nullptr) return RTS_NO_MEMORY;
      pctxt->buffer.dynamic = 1;
   } else {
      pctxt->buffer.data = bufaddr;
      pctxt->buffer.dynamic = 0;
   }
   pctxt->buffer.size = bufsiz;
   pctxt->buffer.byteIndex = 0;
   pctxt->buffer.bitOffset = 8;
   return RTS_OK;
}

void rtFreeContext(ASN1CTXT* pctxt) {
   if (pctxt->initMarker != CTXT_INIT_MARKER) return;
   if (pctxt->buffer.dynamic && pctxt->buffer.data != nullptr) {
      if (pctxt->flags & CTXTF_BUFFER_SAVED)
         rtMemHeapMarkSaved(&pctxt->msgMemHeap, pctxt->buffer.data, ASN1TRUE);
      else
         rtMemHeapFreePtr(&pctxt->msgMemHeap, pctxt->buffer.data);
   }
   rtStreamRelease(pctxt);
   rtErrReset(&pctxt->errInfo);
   rtMemHeapRelease(&pctxt->typeMemHeap);
   rtMemHeapRelease(&pctxt->msgMemHeap);
   pctxt->initMarker = 0;
}

int rtStreamRelease(ASN1CTXT* pctxt) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pctxt->stream != nullptr) {
      rtMemHeapFreePtr(&pctxt->msgMemHeap, pctxt->stream);
      pctxt->stream = nullptr;
   }
   return RTS_OK;
}

void rtCopyContext(ASN1CTXT* pdest, const ASN1CTXT* psrc) {
   pdest->buffer = psrc->buffer;
   pdest->flags = psrc->flags;
}

void rtCtxtSetFlag(ASN1CTXT* pctxt, ASN1UINT mask) {
   pctxt->flags = static_cast<ASN1USINT>(pctxt->flags | mask);
}

void rtCtxtClearFlag(ASN1CTXT* pctxt, ASN1UINT mask) {
   pctxt->flags = static_cast<ASN1USINT>(pctxt->flags & ~mask);
}

/* Points one heap slot of pctxt at the heap in the same slot of pSrcCtxt. */
static void shareHeap(ASN1CTXT* pctxt, void* ASN1CTXT::*slot, ASN1CTXT* pSrcCtxt) {
   if (pctxt == nullptr || pSrcCtxt == nullptr || pctxt->*slot == pSrcCtxt->*slot) return;
   rtMemHeapRelease(&(pctxt->*slot));
   pctxt->*slot = pSrcCtxt->*slot;
   rtMemHeapAddRef(&(pctxt->*slot));
}

void rtCtxtSetMemHeap(ASN1CTXT* pctxt, ASN1CTXT* pSrcCtxt) {
   shareHeap(pctxt, &ASN1CTXT::typeMemHeap, pSrcCtxt);
}

void rtCtxtSetMsgMemHeap(ASN1CTXT* pctxt, ASN1CTXT* pSrcCtxt) {
   shareHeap(pctxt, &ASN1CTXT::msgMemHeap, pSrcCtxt);
}

void xu_SaveBufferState(ASN1CTXT* pctxt, ASN1BUFSAVE* pSavedInfo) {
   ASN1BUFSAVE* slot = pSavedInfo != nullptr ? pSavedInfo : &pctxt->savedState;
   slot->byteIndex = pctxt->buffer.byteIndex;
   slot->bitOffset = pctxt->buffer.bitOffset;
   slot->flags = pctxt->flags;
}

void xu_RestoreBufferState(ASN1CTXT* pctxt, ASN1BUFSAVE* pSavedInfo) {
   const ASN1BUFSAVE* slot = pSavedInfo != nullptr ? pSavedInfo : &pctxt->savedState;
   pctxt->buffer.byteIndex = slot->byteIndex;
   pctxt->buffer.bitOffset = slot->bitOffset;
   pctxt->flags = static_cast<ASN1USINT>(slot->flags & ~CTXTF_RESERVED_1000);
}
