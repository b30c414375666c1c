/*
 * DER SET OF ordering (X.690 11.6): the encoded elements, which lie
 * contiguously in front of the rest of the encoding, are put in ascending
 * order of their octets.
 */
#include "berEncode.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "rtContext.h"
#include "rtList.h"
#include "rtMemHeap.h"

void xe_getBufLocDescr(ASN1CTXT* pctxt, ASN1UINT length, ASN1BufLocDescr* pDescr) {
   pDescr->numocts = length;
   pDescr->offset = static_cast<ASN1INT>(pctxt->buffer.size - 1 - pctxt->buffer.byteIndex);
}

static const ASN1OCTET* elementStart(const ASN1CTXT* pctxt, const ASN1BufLocDescr* descr) {
   return pctxt->buffer.data + pctxt->buffer.size - 1 - descr->offset;
}

/* Octet-by-octet order over the shorter length; a shorter encoding that is
   a prefix of a longer one comes first. */
static bool encodingLess(const ASN1CTXT* pctxt, const ASN1BufLocDescr* a,
                         const ASN1BufLocDescr* b) {
   ASN1UINT common = std::min(a->numocts, b->numocts);
   int cmp = std::memcmp(elementStart(pctxt, a), elementStart(pctxt, b), common);
   return cmp < 0 || (cmp == 0 && a->numocts < b->numocts);
}

static const ASN1BufLocDescr* descrOf(const Asn1RTSListNode* node) {
   return static_cast<const ASN1BufLocDescr*>(node->data);
}

/* The elements were written from the SET OF's tail to its head, so the list
   runs from the highest buffer address down: the buffer is in order when no
   element is less than the one listed after it. */
static bool inOrder(const ASN1CTXT* pctxt, const Asn1RTSList* pList) {
   for (const Asn1RTSListNode* node = pList->head; node != nullptr && node->next != nullptr;
        node = node->next) {
      if (encodingLess(pctxt, descrOf(node), descrOf(node->next))) return false;
   }
   return true;
}

/* Rewrites the elements at the position in ascending order. */
static int reorder(ASN1CTXT* pctxt, const Asn1RTSList* pList, ASN1UINT total) {
   const ASN1BufLocDescr** order = static_cast<const ASN1BufLocDescr**>(
      ASN1MALLOC(pctxt, pList->count * sizeof(ASN1BufLocDescr*)));
   ASN1OCTET* work = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, total));
   if (order == nullptr || work == nullptr) {
      ASN1MEMFREEPTR(pctxt, order);
      ASN1MEMFREEPTR(pctxt, work);
      return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   ASN1UINT n = 0;
   for (const Asn1RTSListNode* node = pList->head; node != nullptr; node = node->next)
      order[n++] = descrOf(node);
   std::sort(order, order + n, [pctxt](const ASN1BufLocDescr* a, const ASN1BufLocDescr* b) {
      return encodingLess(pctxt, a, b);
   });
   ASN1OCTET* out = work;
   for (ASN1UINT i = 0; i < n; i++) {
      std::memcpy(out, elementStart(pctxt, order[i]), order[i]->numocts);
      out += order[i]->numocts;
   }
   std::memcpy(pctxt->buffer.data + pctxt->buffer.byteIndex, work, total);
   ASN1MEMFREEPTR(pctxt, work);
   ASN1MEMFREEPTR(pctxt, order);
   return RTS_OK;
}

int xe_addBufLocDescr(ASN1CTXT* pctxt, Asn1RTSList* pList, ASN1UINT length) {
   ASN1BufLocDescr* location =
      static_cast<ASN1BufLocDescr*>(ASN1MALLOC(pctxt, sizeof(ASN1BufLocDescr)));
   if (location == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   xe_getBufLocDescr(pctxt, length, location);
   if (rtSListAppend(pList, location) == nullptr) {
      ASN1MEMFREEPTR(pctxt, location);
      return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   }
   return RTS_OK;
}

void xe_freeBufLocDescrs(ASN1CTXT* pctxt, Asn1RTSList* pList) {
   for (Asn1RTSListNode* node = pList->head; node != nullptr; node = node->next)
      ASN1MEMFREEPTR(pctxt, node->data);
   rtSListFree(pList);
}

int xe_derCanonicalSort(ASN1CTXT* pctxt, Asn1RTSList* pList) {
   if (pList == nullptr) return 0;
   ASN1UINT total = 0;
   for (const Asn1RTSListNode* node = pList->head; node != nullptr; node = node->next) {
      if (descrOf(node)->numocts > INT_MAX - total) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
      total += descrOf(node)->numocts;
   }
   if (!inOrder(pctxt, pList)) {
      int stat = reorder(pctxt, pList, total);
      if (stat != RTS_OK) return stat;
   }
   for (Asn1RTSListNode* node = pList->head; node != nullptr; node = node->next)
      ASN1MEMFREEPTR(pctxt, node->data);
   rtSListFree(pList);
   return static_cast<int>(total);
}
