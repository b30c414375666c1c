/*
 * List class over _Asn1RTDList and its iterator.
 */
#include "ASN1CSeqOfList.h"

#include <new>

#include "rtContext.h"
#include "rtMemHeap.h"

/* ---- construction ------------------------------------------------------- */

ASN1CSeqOfList::ASN1CSeqOfList(ASN1MessageBufferIF& msgBuf) : ASN1CType(msgBuf) {
   createOwnList();
}

ASN1CSeqOfList::ASN1CSeqOfList(ASN1Context* context) : ASN1CType(context) { createOwnList(); }

ASN1CSeqOfList::ASN1CSeqOfList(ASN1MessageBufferIF& msgBuf, _Asn1RTDList& list,
                               int initBeforeUse)
   : ASN1CType(msgBuf) {
   useList(list, initBeforeUse);
}

ASN1CSeqOfList::ASN1CSeqOfList(ASN1Context* context, _Asn1RTDList& list, int initBeforeUse)
   : ASN1CType(context) {
   useList(list, initBeforeUse);
}

ASN1CSeqOfList::ASN1CSeqOfList(ASN1MessageBufferIF& msgBuf, ASN1TSeqOfList& list)
   : ASN1CType(msgBuf) {
   useList(list, 0);
}

ASN1CSeqOfList::ASN1CSeqOfList(ASN1MessageBufferIF& msgBuf, ASN1TPDUSeqOfList& list)
   : ASN1CType(msgBuf) {
   useList(list, 0);
}

ASN1CSeqOfList::ASN1CSeqOfList(ASN1Context* context, ASN1TSeqOfList& list)
   : ASN1CType(context) {
   useList(list, 0);
}

ASN1CSeqOfList::ASN1CSeqOfList(ASN1Context* context, ASN1TPDUSeqOfList& list)
   : ASN1CType(context) {
   useList(list, 0);
}

ASN1CSeqOfList::ASN1CSeqOfList(_Asn1RTDList& list) : ASN1CType() { useList(list, 0); }

ASN1CSeqOfList::ASN1CSeqOfList(ASN1TSeqOfList& list) : ASN1CType() { useList(list, 0); }

ASN1CSeqOfList::ASN1CSeqOfList(ASN1TPDUSeqOfList& list) : ASN1CType() { useList(list, 0); }

ASN1CSeqOfList::~ASN1CSeqOfList() {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (!mListGiven && mpList != nullptr && pctxt != nullptr) {
      rtDListFreeNodes(pctxt, mpList);
      ASN1MEMFREEPTR(pctxt, mpList);
   }
}

void ASN1CSeqOfList::createOwnList() {
   mModCount = 0;
   mListGiven = 0;
   ASN1CTXT* pctxt = getCtxtPtr();
   mpList = pctxt != nullptr
               ? static_cast<_Asn1RTDList*>(ASN1MALLOC(pctxt, sizeof(_Asn1RTDList)))
               : nullptr;
   if (mpList != nullptr) rtDListInit(mpList);
   else if (pctxt != nullptr) LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
}

void ASN1CSeqOfList::useList(_Asn1RTDList& list, int initBeforeUse) {
   mModCount = 0;
   mListGiven = 1;
   mpList = &list;
   if (initBeforeUse) rtDListInit(mpList);
}

/* ---- changes ------------------------------------------------------------ */

void ASN1CSeqOfList::append(void* data) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr) return;
   if (rtDListAppend(pctxt, mpList, data) != nullptr) mModCount++;
}

void ASN1CSeqOfList::appendArray(const void* data, int count, int size) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr || data == nullptr || count <= 0 || size <= 0)
      return;
   ASN1UINT before = mpList->count;
   rtDListAppendArray(pctxt, mpList, data, static_cast<ASN1UINT>(count),
                      static_cast<size_t>(size));
   if (mpList->count != before) mModCount++;
}

void ASN1CSeqOfList::appendArrayCopy(const void* data, int count, int size) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr || data == nullptr || count <= 0 || size <= 0)
      return;
   ASN1UINT before = mpList->count;
   rtDListAppendArrayCopy(pctxt, mpList, data, static_cast<ASN1UINT>(count),
                          static_cast<size_t>(size));
   if (mpList->count != before) mModCount++;
}

_Asn1RTDListNode* ASN1CSeqOfList::insert(int index, void* data) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr || index < 0) return nullptr;
   _Asn1RTDListNode* node = rtDListInsert(pctxt, mpList, static_cast<ASN1UINT>(index), data);
   if (node != nullptr) mModCount++;
   return node;
}

_Asn1RTDListNode* ASN1CSeqOfList::insertBefore(void* data, _Asn1RTDListNode* node) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr) return nullptr;
   _Asn1RTDListNode* added = rtDListInsertBefore(pctxt, mpList, node, data);
   if (added != nullptr) mModCount++;
   return added;
}

_Asn1RTDListNode* ASN1CSeqOfList::insertAfter(void* data, _Asn1RTDListNode* node) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr) return nullptr;
   _Asn1RTDListNode* added = rtDListInsertAfter(pctxt, mpList, node, data);
   if (added != nullptr) mModCount++;
   return added;
}

void ASN1CSeqOfList::remove(int index) {
   if (mpList == nullptr || index < 0) return;
   remove(rtDListFindByIndex(mpList, index));
}

void ASN1CSeqOfList::remove(void* data) {
   if (mpList == nullptr) return;
   remove(rtDListFindByData(mpList, data));
}

void ASN1CSeqOfList::remove(_Asn1RTDListNode* node) {
   if (mpList == nullptr || node == nullptr) return;
   rtDListRemove(mpList, node);
   mModCount++;
}

void* ASN1CSeqOfList::set(int index, void* data) {
   if (mpList == nullptr || index < 0) return nullptr;
   _Asn1RTDListNode* node = rtDListFindByIndex(mpList, index);
   if (node == nullptr) return nullptr;
   void* old = node->data;
   node->data = data;
   mModCount++;
   return old;
}

void ASN1CSeqOfList::clear() {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr) return;
   rtDListFreeNodes(pctxt, mpList);
   mModCount++;
}

void ASN1CSeqOfList::freeAll() {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr) return;
   rtDListFreeAll(pctxt, mpList);
   mModCount++;
}

/* ---- queries ------------------------------------------------------------ */

int ASN1CSeqOfList::indexOf(void* data) const {
   return mpList != nullptr ? rtDListFindIndexByData(mpList, data) : -1;
}

void* ASN1CSeqOfList::get(int index) const {
   if (mpList == nullptr || index < 0) return nullptr;
   _Asn1RTDListNode* node = rtDListFindByIndex(mpList, index);
   return node != nullptr ? node->data : nullptr;
}

void* ASN1CSeqOfList::getFirst() const {
   return mpList != nullptr && mpList->head != nullptr ? mpList->head->data : nullptr;
}

void* ASN1CSeqOfList::getLast() const {
   return mpList != nullptr && mpList->tail != nullptr ? mpList->tail->data : nullptr;
}

bool ASN1CSeqOfList::isEmpty() const { return size() == 0; }

int ASN1CSeqOfList::size() const {
   return mpList != nullptr ? static_cast<int>(mpList->count) : 0;
}

void* ASN1CSeqOfList::toArray(int size) {
   return toArray(nullptr, size, 0);
}

void* ASN1CSeqOfList::toArray(void* buffer, int size, int capacity) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr || mpList == nullptr || size <= 0) return nullptr;
   if (mpList->count == 0) return buffer;
   ASN1UINT arrayCapacity = capacity > 0 ? static_cast<ASN1UINT>(capacity) : 0;
   if (buffer == nullptr) arrayCapacity = 0;
   void* array = buffer;
   if (rtDListToArray(pctxt, mpList, &array, &arrayCapacity, static_cast<size_t>(size)) < 0)
      return nullptr;
   return array;
}

/* ---- iterators ---------------------------------------------------------- */

ASN1CSeqOfListIterator* ASN1CSeqOfList::newIterator(_Asn1RTDListNode* cursor) {
   ASN1CTXT* pctxt = getCtxtPtr();
   if (pctxt == nullptr) return nullptr;
   void* memory = ASN1MALLOC(pctxt, sizeof(ASN1CSeqOfListIterator));
   if (memory == nullptr) {
      LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
      return nullptr;
   }
   return new (memory) ASN1CSeqOfListIterator(this, cursor);
}

ASN1CSeqOfListIterator* ASN1CSeqOfList::iterator() {
   return newIterator(mpList != nullptr ? mpList->head : nullptr);
}

ASN1CSeqOfListIterator* ASN1CSeqOfList::iteratorFromLast() {
   return newIterator(mpList != nullptr ? mpList->tail : nullptr);
}

ASN1CSeqOfListIterator* ASN1CSeqOfList::iteratorFrom(void* data) {
   return newIterator(mpList != nullptr ? rtDListFindByData(mpList, data) : nullptr);
}

ASN1CSeqOfListIterator::ASN1CSeqOfListIterator(ASN1CSeqOfList* listObject,
                                               _Asn1RTDListNode* cursor)
   : mpListObject(listObject),
     mpCursor(cursor),
     mpCurrent(nullptr),
     mExpectedModCount(listObject->mModCount),
     mLastStatus(0) {}

bool ASN1CSeqOfListIterator::listUnchanged() {
   if (mpListObject->mModCount == mExpectedModCount) return true;
   mLastStatus = RTS_LIST_CHANGED;
   return false;
}

void* ASN1CSeqOfListIterator::fail(int status) {
   mLastStatus = status;
   return nullptr;
}

void* ASN1CSeqOfListIterator::next() {
   if (!listUnchanged()) return nullptr;
   if (mpCursor == nullptr) return fail(RTS_MISSING_ELEMENT);
   mpCurrent = mpCursor;
   mpCursor = mpCursor->next;
   return mpCurrent->data;
}

/* After a node was returned the cursor steps back first; past the tail (the
   cursor ran off the end going forwards) the step back lands on the tail. */
void* ASN1CSeqOfListIterator::prev() {
   if (!listUnchanged()) return nullptr;
   _Asn1RTDListNode* target = mpCursor;
   if (mpCurrent != nullptr) {
      target = mpCursor != nullptr ? mpCursor->prev : mpListObject->mpList->tail;
   }
   if (target == nullptr) return fail(RTS_MISSING_ELEMENT);
   mpCursor = target;
   mpCurrent = target;
   return mpCurrent->data;
}

bool ASN1CSeqOfListIterator::hasNext() const {
   return mpListObject->mModCount == mExpectedModCount && mpCursor != nullptr;
}

bool ASN1CSeqOfListIterator::hasPrev() const {
   if (mpListObject->mModCount != mExpectedModCount) return false;
   if (mpCurrent == nullptr) return mpCursor != nullptr;
   return (mpCursor != nullptr ? mpCursor->prev : mpListObject->mpList->tail) != nullptr;
}

int ASN1CSeqOfListIterator::set(void* data) {
   if (!listUnchanged()) return RTS_LIST_CHANGED;
   if (mpCurrent == nullptr) return mLastStatus = RTS_NO_CURRENT;
   mpCurrent->data = data;
   return RTS_OK;
}

int ASN1CSeqOfListIterator::remove() {
   if (!listUnchanged()) return RTS_LIST_CHANGED;
   if (mpCurrent == nullptr) return mLastStatus = RTS_NO_CURRENT;
   if (mpCursor == mpCurrent) mpCursor = mpCurrent->next;
   mpListObject->remove(mpCurrent);
   mpCurrent = nullptr;
   mExpectedModCount = mpListObject->mModCount;
   return RTS_OK;
}

int ASN1CSeqOfListIterator::insert(void* data) {
   if (!listUnchanged()) return RTS_LIST_CHANGED;
   if (mpListObject->insertBefore(data, mpCursor) == nullptr) {
      return mLastStatus = RTS_NO_MEMORY;
   }
   mpCurrent = nullptr;
   mExpectedModCount = mpListObject->mModCount;
   return RTS_OK;
}
