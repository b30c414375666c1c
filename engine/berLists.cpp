/*
 * SEQUENCE OF and SET OF, held as a list or as a counted array. Elements
 * are encoded from the last to the first; a SET OF is put into DER order
 * (X.690 11.6) after its elements are written. Decoding keeps the order of
 * the input.
 */
#include "asn1Engine.h"
#include "berEncode.h"
#include "engineInternal.h"
#include "rtContext.h"
#include "rtList.h"
#include "rtMemHeap.h"

namespace asn1rt {
namespace detail {

/* An element that failed to decode puts its index in front of the
   failure's path. */
static int failedItem(ASN1CTXT* pctxt, ASN1UINT index, int stat) {
   rtErrAddPathStep(pctxt, nullptr, index);
   return stat;
}

/* A list node and its element share one heap block, the element behind. */
static const size_t kNodeSize = sizeof(Asn1RTDListNode);

/* Encodes `count` elements handed out by `previous`, from the last to the
   first. A single element needs no sorting. */
template <typename PreviousElement>
static int encodeElements(ASN1CTXT* pctxt, const TypeDesc* type, ASN1UINT count,
                          PreviousElement previous, ASN1TagType tagging) {
   int stat = checkSize(pctxt, type->size, count);
   if (stat != RTS_OK) return stat;
   const bool sort = type->isSetOf && count > 1;
   Asn1RTSList locations;
   rtSListInitEx(pctxt, &locations);
   int total = 0;
   for (ASN1UINT i = 0; i < count; i++) {
      int len = berEncode(pctxt, type->elemType, previous(), TAG_EXPLICIT);
      stat = len < 0 ? len : addLength(pctxt, &total, len);
      if (stat == RTS_OK && sort) {
         stat = xe_addBufLocDescr(pctxt, &locations, static_cast<ASN1UINT>(len));
      }
      if (stat != RTS_OK) {
         xe_freeBufLocDescrs(pctxt, &locations);
         return stat;
      }
   }
   if (sort) {
      total = xe_derCanonicalSort(pctxt, &locations);
      if (total < 0) {
         xe_freeBufLocDescrs(pctxt, &locations);
         return total;
      }
   }
   if (tagging == TAG_EXPLICIT) return xe_tag_len(pctxt, type->universalTag | TM_CONS, total);
   return total;
}

int encodeList(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, ASN1TagType tagging) {
   const Asn1RTDList& list = fieldAs<Asn1RTDList>(value, 0);
   const Asn1RTDListNode* node = list.tail;
   return encodeElements(
      pctxt, type, list.count,
      [&node]() {
         const void* element = node->data;
         node = node->prev;
         return element;
      },
      tagging);
}

int encodeArray(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, ASN1TagType tagging) {
   const ASN1UINT count = fieldAs<ASN1UINT>(value, 0);
   const char* elements = fieldAs<const char*>(value, type->arrayElemOffset);
   if (count > 0 && elements == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   const size_t elemSize = type->elemType->valueSize;
   const char* next = elements + static_cast<size_t>(count) * elemSize;
   return encodeElements(
      pctxt, type, count,
      [&next, elemSize]() {
         next -= elemSize;
         return static_cast<const void*>(next);
      },
      tagging);
}

int decodeList(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
               int length) {
   int stat = RTS_OK;
   if (tagging == TAG_EXPLICIT) stat = readUniversalTag(pctxt, type, &length);
   if (stat != RTS_OK) return stat;
   Asn1RTDList& list = fieldAs<Asn1RTDList>(value, 0);
   rtDListInit(&list);
   const ASN1BlockDescr block = contentsBlock(pctxt, length);
   const size_t elemSize = type->elemType->valueSize;
   while (contentRemains(pctxt, block)) {
      if (list.count > 0x7FFFFFFEu) return LOG_ASN1ERR(pctxt, RTS_EXTRA_ELEMENT);
      char* node = static_cast<char*>(ASN1MALLOCZ(pctxt, kNodeSize + elemSize));
      if (node == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
      /* Linked before decoding, so that freeValue reaches a partly decoded
         element. */
      rtDListAppendNode(pctxt, &list, node + kNodeSize);
      stat = berDecode(pctxt, type->elemType, node + kNodeSize, TAG_EXPLICIT, 0);
      if (stat != RTS_OK) return failedItem(pctxt, list.count - 1, stat);
   }
   stat = finishContents(pctxt, block, tagging == TAG_EXPLICIT);
   return stat != RTS_OK ? stat : checkSize(pctxt, type->size, list.count);
}

int decodeArray(ASN1CTXT* pctxt, const TypeDesc* type, void* value, ASN1TagType tagging,
                int length) {
   int stat = RTS_OK;
   if (tagging == TAG_EXPLICIT) stat = readUniversalTag(pctxt, type, &length);
   if (stat != RTS_OK) return stat;
   ASN1UINT& count = fieldAs<ASN1UINT>(value, 0);
   char*& elements = fieldAs<char*>(value, type->arrayElemOffset);
   count = 0;
   elements = nullptr;
   const ASN1BlockDescr block = contentsBlock(pctxt, length);
   int found = 0;
   stat = xd_count(pctxt, length, &found);
   if (stat != RTS_OK) return stat;
   const size_t elemSize = type->elemType->valueSize;
   if (found > 0) {
      /* One block for all elements, after counting them. */
      if (elemSize > RT_MH_MAXALLOC / static_cast<size_t>(found))
         return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
      elements = static_cast<char*>(ASN1MALLOCZ(pctxt, static_cast<size_t>(found) * elemSize));
      if (elements == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
      count = static_cast<ASN1UINT>(found);
   }
   for (ASN1UINT i = 0; i < count; i++) {
      stat = berDecode(pctxt, type->elemType, elements + i * elemSize, TAG_EXPLICIT, 0);
      if (stat != RTS_OK) return failedItem(pctxt, i, stat);
   }
   stat = finishContents(pctxt, block, tagging == TAG_EXPLICIT);
   return stat != RTS_OK ? stat : checkSize(pctxt, type->size, count);
}

}
}
