/*
 * SAX state machine of SEQUENCE OF and SET OF: one machine (or open-type
 * capture) per item, reused from item to item; a list gets each completed
 * item appended, a counted array grows in place.
 */
#include <cstring>

#include "ASN1CXerOpenType.h"
#include "ASN1MessageBuffer.h"
#include "asn1Xer.h"
#include "openTypeInternal.h"
#include "rtContext.h"
#include "rtList.h"
#include "xerEngineInternal.h"

namespace asn1rt {

using namespace detail;

/* Elements a counted array is first given room for. */
static const ASN1UINT kFirstArrayCapacity = 4;

/* Room for one more item: a zeroed node-and-element block for a list (the
   element directly behind the node), the next zeroed slot of a counted
   array, whose storage doubles when full. */
void* XerDecodeHandler::newItemSlot() {
   ASN1CTXT* pctxt = decodeContext();
   const size_t itemSize = mpType->elemType->valueSize;
   if (mpType->kind == Kind::SequenceOfList) {
      char* block = static_cast<char*>(ASN1MALLOCZ(pctxt, sizeof(Asn1RTDListNode) + itemSize));
      if (block == nullptr) fail(RTS_NO_MEMORY);
      return block + sizeof(Asn1RTDListNode);
   }
   const ASN1UINT count = fieldAs<ASN1UINT>(mpValue, 0);
   char*& items = fieldAs<char*>(mpValue, mpType->arrayElemOffset);
   if (count == mArrayCapacity) {
      const ASN1UINT capacity = mArrayCapacity == 0 ? kFirstArrayCapacity : mArrayCapacity * 2;
      if (capacity <= mArrayCapacity || itemSize == 0 || capacity > RT_MH_MAXALLOC / itemSize) {
         fail(RTS_NO_MEMORY);
      }
      void* grown = items == nullptr ? ASN1MALLOC(pctxt, capacity * itemSize)
                                     : ASN1REALLOC(pctxt, items, capacity * itemSize);
      if (grown == nullptr) fail(RTS_NO_MEMORY);
      items = static_cast<char*>(grown);
      mArrayCapacity = capacity;
   }
   char* slot = items + count * itemSize;
   std::memset(slot, 0, itemSize);
   return slot;
}

void XerDecodeHandler::startItem(const char* localName, const char* const* attrs) {
   if (mpCurrent == nullptr) {
      const TypeDesc& itemType = *mpType->elemType;
      mpItem = newItemSlot();
      if (itemType.kind == Kind::OpenType) {
         ASN1MessageBufferIF& msgBuf = *mpSession->msgBuf;
         if (isTableObject(&itemType)) {
            if (mpItemObject != nullptr && std::strcmp(localName, XER_ENCODED_ELEMENT) != 0) {
               beginStreamedItem();
               return streamed([&] { mpCurrent->startElement(nullptr, localName, localName, attrs); });
            }
            if (mpItemObject != nullptr) mCapturedItems++;
            adoptCapture(new ASN1CXerOpenType(msgBuf, *static_cast<Asn1TObject*>(mpItem)), 0);
         } else {
            adoptCapture(new ASN1CXerOpenType(msgBuf, *static_cast<ASN1TOpenType*>(mpItem)), 0);
         }
      } else {
         /* CHOICE items ("" as item name) have no element of their own; only
            structured items have their element name checked. */
         const bool ownElement = mpType->itemName == nullptr || mpType->itemName[0] != '\0';
         XerDecodeHandler* item = childFor(0, itemType);
         item->mpValue = mpItem;
         item->init(ownElement ? 0 : 1);
         item->elementName = nullptr;
         if (ownElement && (item->isConstructed() || item->isList())) {
            item->elementName = mpType->itemName != nullptr ? mpType->itemName : itemType.name;
         }
         mpCurrent = item;
         enter(item, Entry::Item);
      }
   }
   if (mStreamingItem) {
      streamed([&] { mpCurrent->startElement(nullptr, localName, localName, attrs); });
   } else {
      mpCurrent->startElement(nullptr, localName, localName, attrs);
   }
}

void XerDecodeHandler::endItem() {
   if (mpCurrent->level != mpCurrent->startLevel) return;
   if (mStreamingItem) endStreamedItem();
   ASN1CTXT* pctxt = decodeContext();
   if (mpCurrent == mpCapture && !isTableObject(mpType->elemType)) {
      check(xerdetail::resolveUntyped(pctxt, static_cast<ASN1TOpenType*>(mpItem)));
   }
   mpCurrent->finalize();
   if (mpType->kind == Kind::SequenceOfList) {
      rtDListAppendNode(pctxt, static_cast<Asn1RTDList*>(mpValue), mpItem);
   } else {
      fieldAs<ASN1UINT>(mpValue, 0)++;
   }
   dropCapture();
   mpCurrent = nullptr;
   mpItem = nullptr;
   currentState = 3;
}

}
