/*
 * Singly linked list operations. A list remembers its owning context; its
 * nodes come from that context's typeMemHeap, or from the process allocator
 * when it has none, and are freed the same way.
 */
#include "rtList.h"

#include <cstdlib>

#include "rtMemHeap.h"

void rtSListInitEx(ASN1CTXT* pctxt, Asn1RTSList* pList) {
   if (pList == nullptr) return;
   pList->count = 0;
   pList->head = nullptr;
   pList->tail = nullptr;
   pList->pctxt = pctxt;
}

Asn1RTSListNode* rtSListAppend(Asn1RTSList* pList, void* pData) {
   if (pList == nullptr) return nullptr;
   void* mem = pList->pctxt != nullptr ? ASN1MALLOC(pList->pctxt, sizeof(Asn1RTSListNode))
                                       : std::malloc(sizeof(Asn1RTSListNode));
   Asn1RTSListNode* node = static_cast<Asn1RTSListNode*>(mem);
   if (node == nullptr) return nullptr;
   node->data = pData;
   node->next = nullptr;
   if (pList->tail != nullptr) pList->tail->next = node;
   else pList->head = node;
   pList->tail = node;
   pList->count++;
   return node;
}

void rtSListFree(Asn1RTSList* pList) {
   if (pList == nullptr) return;
   Asn1RTSListNode* node = pList->head;
   while (node != nullptr) {
      Asn1RTSListNode* next = node->next;
      if (pList->pctxt != nullptr) ASN1MEMFREEPTR(pList->pctxt, node);
      else std::free(node);
      node = next;
   }
   rtSListInitEx(nullptr, pList);
}
