/*
 * Release of an open-type extension list: the unknown elements that an
 * extensible type kept for re-encoding. Octets borrowed from the message
 * stay where they are.
 */
#include "rtList.h"
#include "rtMemHeap.h"

void rtMemFreeOpenSeqExt(ASN1CTXT* pctxt, Asn1RTDList* pElemList) {
   for (Asn1RTDListNode* node = pElemList->head; node != nullptr; node = node->next) {
      ASN1TOpenType* openType = static_cast<ASN1TOpenType*>(node->data);
      if (openType != nullptr && !(openType->flags & ASN1OPENTYPE_BORROWED))
         ASN1MEMFREEPTR(pctxt, openType->data);
   }
   rtDListFreeAll(pctxt, pElemList);
}
