/*
 * Deep copies of primitive value forms into the context's typeMemHeap, used
 * by the generated copy routines.
 */
#include "rtCopy.h"

#include <cstring>

#include "rtList.h"
#include "rtMemHeap.h"

/* New heap block holding a copy of nbytes octets; null when nbytes is 0 or
   the allocation fails. */
static void* dupBlock(ASN1CTXT* pctxt, const void* src, size_t nbytes) {
   if (nbytes == 0 || nbytes > RT_MH_MAXALLOC) return nullptr;
   void* copy = ASN1MALLOC(pctxt, nbytes);
   if (copy != nullptr) std::memcpy(copy, src, nbytes);
   return copy;
}

/* Copies a counted array of units: a new block of count * unitSize octets,
   null for an empty array. Returns 1, or 0 with an empty destination. */
static int copyCounted(ASN1CTXT* pctxt, ASN1UINT count, const void* srcData, size_t unitSize,
                       ASN1UINT* pDstCount, const void** ppDstData) {
   *pDstCount = 0;
   *ppDstData = nullptr;
   if (count == 0) return 1;
   if (srcData == nullptr) return 0;
   const void* copy = dupBlock(pctxt, srcData, static_cast<size_t>(count) * unitSize);
   if (copy == nullptr) return 0;
   *pDstCount = count;
   *ppDstData = copy;
   return 1;
}

int rtCopyBitStr(ASN1CTXT*, ASN1UINT srcNumbits, const ASN1OCTET* srcData,
                 ASN1UINT* pDstNumbits, ASN1OCTET* dstData) {
   if (srcData == nullptr || pDstNumbits == nullptr || dstData == nullptr) return 0;
   *pDstNumbits = srcNumbits;
   if (srcNumbits == 0) return 0;
   std::memcpy(dstData, srcData, (static_cast<size_t>(srcNumbits) + 7) / 8);
   return 1;
}

int rtCopyDynBitStr(ASN1CTXT* pctxt, const ASN1TDynBitStr* pSrc, ASN1TDynBitStr* pDst) {
   if (pctxt == nullptr || pSrc == nullptr || pDst == nullptr) return 0;
   const ASN1TDynBitStr src = *pSrc; /* pSrc may be pDst */
   pDst->numbits = 0;
   pDst->data = nullptr;
   if (src.numbits == 0) return 1;
   if (src.data == nullptr) return 0;
   pDst->data = static_cast<const ASN1OCTET*>(
      dupBlock(pctxt, src.data, (static_cast<size_t>(src.numbits) + 7) / 8));
   if (pDst->data == nullptr) return 0;
   pDst->numbits = src.numbits;
   return 1;
}

int rtCopyOctStr(ASN1CTXT*, ASN1UINT srcNumocts, const ASN1OCTET* srcData,
                 ASN1UINT* pDstNumocts, ASN1OCTET* dstData) {
   if (srcData == nullptr || pDstNumocts == nullptr || dstData == nullptr) return 0;
   *pDstNumocts = srcNumocts;
   if (srcNumocts == 0) return 0;
   std::memcpy(dstData, srcData, srcNumocts);
   return 1;
}

int rtCopyDynOctStr(ASN1CTXT* pctxt, const ASN1TDynOctStr* pSrc, ASN1TDynOctStr* pDst) {
   if (pctxt == nullptr || pSrc == nullptr || pDst == nullptr) return 0;
   const void* data;
   const int copied = copyCounted(pctxt, pSrc->numocts, pSrc->data, 1, &pDst->numocts, &data);
   pDst->data = static_cast<const ASN1OCTET*>(data);
   return copied;
}

int rtCopyCharStr(ASN1CTXT* pctxt, const char* pSrc, char** ppDst) {
   if (pctxt == nullptr || pSrc == nullptr || ppDst == nullptr) return 0;
   *ppDst = static_cast<char*>(dupBlock(pctxt, pSrc, std::strlen(pSrc) + 1));
   return *ppDst != nullptr ? 1 : 0;
}

int rtCopy16BitCharStr(ASN1CTXT* pctxt, const ASN116BitCharString* pSrc,
                       ASN116BitCharString* pDst) {
   if (pctxt == nullptr || pSrc == nullptr || pDst == nullptr) return 0;
   const void* data;
   const int copied =
      copyCounted(pctxt, pSrc->nchars, pSrc->data, sizeof(ASN116BITCHAR), &pDst->nchars, &data);
   pDst->data = static_cast<ASN116BITCHAR*>(const_cast<void*>(data));
   return copied;
}

int rtCopy32BitCharStr(ASN1CTXT* pctxt, const ASN132BitCharString* pSrc,
                       ASN132BitCharString* pDst) {
   if (pctxt == nullptr || pSrc == nullptr || pDst == nullptr) return 0;
   const void* data;
   const int copied =
      copyCounted(pctxt, pSrc->nchars, pSrc->data, sizeof(ASN132BITCHAR), &pDst->nchars, &data);
   pDst->data = static_cast<ASN132BITCHAR*>(const_cast<void*>(data));
   return copied;
}

int rtCopyOID(ASN1CTXT*, const ASN1OBJID* pSrc, ASN1OBJID* pDst) {
   if (pSrc == nullptr || pDst == nullptr || pSrc->numarcs > MAX_OID_ARCS) return 0;
   if (pSrc == pDst) return 1;
   pDst->numarcs = pSrc->numarcs;
   std::memcpy(pDst->arcs, pSrc->arcs, pSrc->numarcs * sizeof(pSrc->arcs[0]));
   return 1;
}

int rtCopyOpenType(ASN1CTXT* pctxt, const ASN1TOpenType* pSrc, ASN1TOpenType* pDst) {
   if (pctxt == nullptr || pSrc == nullptr || pDst == nullptr) return 0;
   const void* data;
   const int copied = copyCounted(pctxt, pSrc->numocts, pSrc->data, 1, &pDst->numocts, &data);
   pDst->data = static_cast<const ASN1OCTET*>(data);
   /* Borrowed or not in the source, the copy's octets come from the heap. */
   pDst->flags = 0;
   return copied;
}

int rtCopyOpenTypeExt(ASN1CTXT* pctxt, const Asn1RTDList* pSrc, Asn1RTDList* pDst) {
   if (pctxt == nullptr || pSrc == nullptr || pDst == nullptr) return 0;
   rtDListInit(pDst);
   for (const Asn1RTDListNode* node = pSrc->head; node != nullptr; node = node->next) {
      if (node->data == nullptr) continue;
      ASN1TOpenType* copy = static_cast<ASN1TOpenType*>(ASN1MALLOCZ(pctxt, sizeof(ASN1TOpenType)));
      if (copy == nullptr) return 0;
      if (!rtCopyOpenType(pctxt, static_cast<const ASN1TOpenType*>(node->data), copy) ||
          rtDListAppend(pctxt, pDst, copy) == nullptr) {
         ASN1MEMFREEPTR(pctxt, copy->data);
         ASN1MEMFREEPTR(pctxt, copy);
         return 0;
      }
   }
   return 1;
}
