/*
 * Doubly linked lists (every SEQUENCE OF / SET OF value and extension list)
 * and singly linked lists (DER SET OF sort, error parameters).
 *
 * Nodes and copied elements come from the context's typeMemHeap. A node may
 * also share one heap block with its element: the node first, the element
 * starting sizeof(Asn1RTDListNode) octets after it (the decoders' form, linked
 * with rtDListAppendNode); rtDListFreeAll frees such a block once.
 */
#ifndef BLOBXML_RTLIST_H
#define BLOBXML_RTLIST_H

#include "asn1type.h"

/* ---- doubly linked list ------------------------------------------------- */

/* Empties the list record (count 0, no nodes) without freeing anything;
   a null list is ignored. */
void rtDListInit(Asn1RTDList* pList);

/* Allocates a node for pData and links it at the tail. Returns the node, or
   null (list unchanged) when the allocation fails. */
Asn1RTDListNode* rtDListAppend(ASN1CTXT* pctxt, Asn1RTDList* pList, void* pData);

/* Links at the tail the node that lies immediately before pData in one block
   allocated by the caller. No allocation. Returns the node. */
Asn1RTDListNode* rtDListAppendNode(ASN1CTXT* pctxt, Asn1RTDList* pList, void* pData);

/* Inserts so that the new node has position index (0 = head, count = tail).
   Null when index > count or the allocation fails. */
Asn1RTDListNode* rtDListInsert(ASN1CTXT* pctxt, Asn1RTDList* pList, ASN1UINT index,
                               void* pData);

/* A null node appends at the tail. Returns the new node or null. */
Asn1RTDListNode* rtDListInsertBefore(ASN1CTXT* pctxt, Asn1RTDList* pList,
                                     Asn1RTDListNode* node, void* pData);

/* A null node inserts at the head. Returns the new node or null. */
Asn1RTDListNode* rtDListInsertAfter(ASN1CTXT* pctxt, Asn1RTDList* pList,
                                    Asn1RTDListNode* node, void* pData);

/* Null when index >= count; the head for index 0 or below. */
Asn1RTDListNode* rtDListFindByIndex(const Asn1RTDList* pList, int index);
Asn1RTDListNode* rtDListFindByData(const Asn1RTDList* pList, const void* pData);
/* Position of the first node holding pData, or -1. */
int rtDListFindIndexByData(const Asn1RTDList* pList, const void* pData);

/* Unlinks the node; neither the node nor its data is freed. */
void rtDListRemove(Asn1RTDList* pList, Asn1RTDListNode* node);

/* Frees every node but not the data, and empties the list. */
void rtDListFreeNodes(ASN1CTXT* pctxt, Asn1RTDList* pList);

/* Frees every node and its data (a single-block node once), and empties the
   list. */
void rtDListFreeAll(ASN1CTXT* pctxt, Asn1RTDList* pList);

/* Copies each element (elemSize octets, a null element as zeros) into
   consecutive slots of *ppArray and returns the count. When pCapacity is
   given and below count, or *ppArray is null, a new array of count elements
   is allocated (the old one is not freed) and *pCapacity set to count.
   RTS_NO_MEMORY (recorded) when that allocation fails. */
int rtDListToArray(ASN1CTXT* pctxt, const Asn1RTDList* pList, void** ppArray,
                   ASN1UINT* pCapacity, size_t elemSize);

/* Appends numElements nodes pointing into pArray, elemSize apart; nothing is
   copied. If a node cannot be allocated the list is left unchanged. */
void rtDListAppendArray(ASN1CTXT* pctxt, Asn1RTDList* pList, const void* pArray,
                        ASN1UINT numElements, size_t elemSize);

/* Appends numElements nodes, each with its own heap copy of one element. If
   an allocation fails the list is left unchanged. */
void rtDListAppendArrayCopy(ASN1CTXT* pctxt, Asn1RTDList* pList, const void* pArray,
                            ASN1UINT numElements, size_t elemSize);

/* ---- singly linked list ------------------------------------------------- */

/* Nodes of a list with an owner come from the owner's typeMemHeap; with a
   null owner, from the process allocator. */
void rtSListInitEx(ASN1CTXT* pctxt, Asn1RTSList* pList);

/* Links pData at the tail. Returns the node, or null (list unchanged). */
Asn1RTSListNode* rtSListAppend(Asn1RTSList* pList, void* pData);

/* Frees every node (not the data) and zeroes count, head, tail and owner. */
void rtSListFree(Asn1RTSList* pList);

#endif
