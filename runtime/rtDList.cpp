/*
 * Doubly linked list operations. Nodes are single heap blocks from the
 * context's typeMemHeap, except the decoders' node-and-element blocks.
 */
#include "rtList.h"

#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

static Asn1RTDListNode* newNode(ASN1CTXT* pctxt, void* pData) {
   Asn1RTDListNode* node =
      static_cast<Asn1RTDListNode*>(ASN1MALLOC(pctxt, sizeof(Asn1RTDListNode)));
   if (node != nullptr) {
      node->data = pData;
      node->next = nullptr;
      node->prev = nullptr;
   }
   return node;
}

/* The element of a node-and-element block starts right after the node. */
static bool isSingleBlock(const Asn1RTDListNode* node) {
   return node->data == reinterpret_cast<const unsigned char*>(node) + sizeof(Asn1RTDListNode);
}

static void linkAtTail(Asn1RTDList* pList, Asn1RTDListNode* node) {
   node->next = nullptr;
   node->prev = pList->tail;
   if (pList->tail != nullptr) pList->tail->next = node;
   else pList->head = node;
   pList->tail = node;
   pList->count++;
}

static void linkAtHead(Asn1RTDList* pList, Asn1RTDListNode* node) {
   node->prev = nullptr;
   node->next = pList->head;
   if (pList->head != nullptr) pList->head->prev = node;
   else pList->tail = node;
   pList->head = node;
   pList->count++;
}

/* Links node directly after pos, which is not the tail. */
static void linkAfter(Asn1RTDList* pList, Asn1RTDListNode* pos, Asn1RTDListNode* node) {
   node->prev = pos;
   node->next = pos->next;
   pos->next->prev = node;
   pos->next = node;
   pList->count++;
}

void rtDListInit(Asn1RTDList* pList) {
   if (pList == nullptr) return;
   pList->count = 0;
   pList->head = nullptr;
   pList->tail = nullptr;
}

Asn1RTDListNode* rtDListAppend(ASN1CTXT* pctxt, Asn1RTDList* pList, void* pData) {
   if (pctxt == nullptr || pList == nullptr) return nullptr;
   Asn1RTDListNode* node = newNode(pctxt, pData);
   if (node != nullptr) linkAtTail(pList, node);
   return node;
}

Asn1RTDListNode* rtDListAppendNode(ASN1CTXT*, Asn1RTDList* pList, void* pData) {
   if (pList == nullptr || pData == nullptr) return nullptr;
   Asn1RTDListNode* node = reinterpret_cast<Asn1RTDListNode*>(
      static_cast<unsigned char*>(pData) - sizeof(Asn1RTDListNode));
   node->data = pData;
   linkAtTail(pList, node);
   return node;
}

Asn1RTDListNode* rtDListInsert(ASN1CTXT* pctxt, Asn1RTDList* pList, ASN1UINT index,
                               void* pData) {
   if (pctxt == nullptr || pList == nullptr || index > pList->count) return nullptr;
   Asn1RTDListNode* node = newNode(pctxt, pData);
   if (node == nullptr) return nullptr;
   if (index == 0) linkAtHead(pList, node);
   else if (index == pList->count) linkAtTail(pList, node);
   else linkAfter(pList, rtDListFindByIndex(pList, static_cast<int>(index - 1)), node);
   return node;
}

Asn1RTDListNode* rtDListInsertBefore(ASN1CTXT* pctxt, Asn1RTDList* pList,
                                     Asn1RTDListNode* node, void* pData) {
   if (pctxt == nullptr || pList == nullptr) return nullptr;
   Asn1RTDListNode* added = newNode(pctxt, pData);
   if (added == nullptr) return nullptr;
   if (node == nullptr) linkAtTail(pList, added);
   else if (node == pList->head) linkAtHead(pList, added);
   else linkAfter(pList, node->prev, added);
   return added;
}

Asn1RTDListNode* rtDListInsertAfter(ASN1CTXT* pctxt, Asn1RTDList* pList,
                                    Asn1RTDListNode* node, void* pData) {
   if (pctxt == nullptr || pList == nullptr) return nullptr;
   Asn1RTDListNode* added = newNode(pctxt, pData);
   if (added == nullptr) return nullptr;
   if (node == nullptr) linkAtHead(pList, added);
   else if (node == pList->tail) linkAtTail(pList, added);
   else linkAfter(pList, node, added);
   return added;
}

Asn1RTDListNode* rtDListFindByIndex(const Asn1RTDList* pList, int index) {
   if (pList == nullptr || (index >= 0 && static_cast<ASN1UINT>(index) >= pList->count))
      return nullptr;
   Asn1RTDListNode* node = pList->head;
   for (int i = 0; i < index && node != nullptr; i++) node = node->next;
   return node;
}

Asn1RTDListNode* rtDListFindByData(const Asn1RTDList* pList, const void* pData) {
   if (pList == nullptr) return nullptr;
   for (Asn1RTDListNode* node = pList->head; node != nullptr; node = node->next)
      if (node->data == pData) return node;
   return nullptr;
}

int rtDListFindIndexByData(const Asn1RTDList* pList, const void* pData) {
   if (pList == nullptr) return -1;
   int index = 0;
   for (const Asn1RTDListNode* node = pList->head; node != nullptr; node = node->next, index++)
      if (node->data == pData) return index;
   return -1;
}

void rtDListRemove(Asn1RTDList* pList, Asn1RTDListNode* node) {
   if (pList == nullptr || node == nullptr) return;
   if (node->next != nullptr) node->next->prev = node->prev;
   else pList->tail = node->prev;
   if (node->prev != nullptr) node->prev->next = node->next;
   else pList->head = node->next;
   if (pList->count > 0) pList->count--;
}

void rtDListFreeNodes(ASN1CTXT* pctxt, Asn1RTDList* pList) {
   if (pctxt == nullptr || pList == nullptr) return;
   Asn1RTDListNode* node = pList->head;
   while (node != nullptr) {
      Asn1RTDListNode* next = node->next;
      ASN1MEMFREEPTR(pctxt, node);
      node = next;
   }
   rtDListInit(pList);
}

void rtDListFreeAll(ASN1CTXT* pctxt, Asn1RTDList* pList) {
   if (pctxt == nullptr || pList == nullptr) return;
   Asn1RTDListNode* node = pList->head;
   while (node != nullptr) {
      Asn1RTDListNode* next = node->next;
      if (!isSingleBlock(node)) ASN1MEMFREEPTR(pctxt, node->data);
      ASN1MEMFREEPTR(pctxt, node);
      node = next;
   }
   rtDListInit(pList);
}

int rtDListToArray(ASN1CTXT* pctxt, const Asn1RTDList* pList, void** ppArray,
                   ASN1UINT* pCapacity, size_t elemSize) {
   if (pctxt == nullptr || pList == nullptr || ppArray == nullptr) return 0;
   const ASN1UINT count = pList->count;
   if (count == 0) return 0;
   if (*ppArray == nullptr || (pCapacity != nullptr && *pCapacity < count)) {
      void* array = nullptr;
      if (elemSize <= RT_MH_MAXALLOC / count) array = ASN1MALLOC(pctxt, count * elemSize);
      if (array == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
      *ppArray = array;
      if (pCapacity != nullptr) *pCapacity = count;
   }
   unsigned char* slot = static_cast<unsigned char*>(*ppArray);
   for (const Asn1RTDListNode* node = pList->head; node != nullptr; node = node->next) {
      if (node->data != nullptr) std::memcpy(slot, node->data, elemSize);
      else std::memset(slot, 0, elemSize);
      slot += elemSize;
   }
   return static_cast<int>(count);
}

/* Frees the nodes appended after `last` (and their data when `ownData`),
   restoring the list as it was before an array append began. */
static void dropAppendedNodes(ASN1CTXT* pctxt, Asn1RTDList* pList, Asn1RTDListNode* last,
                              ASN1UINT count, bool ownData) {
   Asn1RTDListNode* node = last != nullptr ? last->next : pList->head;
   while (node != nullptr) {
      Asn1RTDListNode* next = node->next;
      if (ownData) ASN1MEMFREEPTR(pctxt, node->data);
      ASN1MEMFREEPTR(pctxt, node);
      node = next;
   }
   if (last != nullptr) last->next = nullptr;
   else pList->head = nullptr;
   pList->tail = last;
   pList->count = count;
}

void rtDListAppendArray(ASN1CTXT* pctxt, Asn1RTDList* pList, const void* pArray,
                        ASN1UINT numElements, size_t elemSize) {
   if (pctxt == nullptr || pList == nullptr || pArray == nullptr) return;
   Asn1RTDListNode* const oldTail = pList->tail;
   const ASN1UINT oldCount = pList->count;
   /* The list stores mutable element pointers; the caller's array becomes the
      elements' storage. */
   unsigned char* elem = static_cast<unsigned char*>(const_cast<void*>(pArray));
   for (ASN1UINT i = 0; i < numElements; i++, elem += elemSize) {
      if (rtDListAppend(pctxt, pList, elem) == nullptr) {
         dropAppendedNodes(pctxt, pList, oldTail, oldCount, false);
         return;
      }
   }
}

void rtDListAppendArrayCopy(ASN1CTXT* pctxt, Asn1RTDList* pList, const void* pArray,
                            ASN1UINT numElements, size_t elemSize) {
   if (pctxt == nullptr || pList == nullptr || pArray == nullptr) return;
   Asn1RTDListNode* const oldTail = pList->tail;
   const ASN1UINT oldCount = pList->count;
   const unsigned char* elem = static_cast<const unsigned char*>(pArray);
   for (ASN1UINT i = 0; i < numElements; i++, elem += elemSize) {
      void* copy = ASN1MALLOC(pctxt, elemSize);
      if (copy != nullptr) std::memcpy(copy, elem, elemSize);
      if (copy == nullptr || rtDListAppend(pctxt, pList, copy) == nullptr) {
         ASN1MEMFREEPTR(pctxt, copy);
         dropAppendedNodes(pctxt, pList, oldTail, oldCount, true);
         return;
      }
   }
}
