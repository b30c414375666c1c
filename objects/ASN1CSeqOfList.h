/*
 * List class over a SEQUENCE OF / SET OF value (_Asn1RTDList), the base of
 * the generated list control classes, and its iterator.
 *
 * Every change made through the class increments a modification count; an
 * iterator remembers the count it last saw and refuses to go on (status
 * RTS_LIST_CHANGED) once the list was changed behind its back. Nodes, copies,
 * the class's own list record and the iterators come from the context's
 * typeMemHeap; operations that would allocate or free do nothing when the
 * object has no context.
 */
#ifndef BLOBXML_ASN1CSEQOFLIST_H
#define BLOBXML_ASN1CSEQOFLIST_H

#include "ASN1CType.h"
#include "ASN1MessageBuffer.h"
#include "ASN1TPDU.h"
#include "rtList.h"

/* A list value that starts empty. */
struct ASN1TSeqOfList : public _Asn1RTDList {
   ASN1TSeqOfList() { rtDListInit(this); }
};

/* A list value that also remembers the context owning its nodes: the list
   record first, the ASN1TPDU part after it. */
struct ASN1TPDUSeqOfList : public ASN1TSeqOfList, public ASN1TPDU {};

class ASN1CSeqOfListIterator;

class ASN1CSeqOfList : public ASN1CType {
public:
   /* A new empty list of the class's own, allocated in typeMemHeap. */
   explicit ASN1CSeqOfList(ASN1MessageBufferIF& msgBuf);
   explicit ASN1CSeqOfList(ASN1Context* context);
   /* The caller's list, first made empty when initBeforeUse is non-zero. */
   ASN1CSeqOfList(ASN1MessageBufferIF& msgBuf, _Asn1RTDList& list, int initBeforeUse);
   ASN1CSeqOfList(ASN1Context* context, _Asn1RTDList& list, int initBeforeUse);
   /* The caller's list as it is. */
   ASN1CSeqOfList(ASN1MessageBufferIF& msgBuf, ASN1TSeqOfList& list);
   ASN1CSeqOfList(ASN1MessageBufferIF& msgBuf, ASN1TPDUSeqOfList& list);
   ASN1CSeqOfList(ASN1Context* context, ASN1TSeqOfList& list);
   ASN1CSeqOfList(ASN1Context* context, ASN1TPDUSeqOfList& list);
   /* The caller's list as it is, with a new context of the object's own and
      no message buffer. */
   explicit ASN1CSeqOfList(_Asn1RTDList& list);
   explicit ASN1CSeqOfList(ASN1TSeqOfList& list);
   explicit ASN1CSeqOfList(ASN1TPDUSeqOfList& list);

   ASN1CSeqOfList(const ASN1CSeqOfList&) = delete;
   ASN1CSeqOfList& operator=(const ASN1CSeqOfList&) = delete;

   /* Frees the nodes and the record of the class's own list. */
   virtual ~ASN1CSeqOfList();

   /* Links data at the tail; nothing copied. */
   void append(void* data);
   /* Links count elements of the array, size octets apart; nothing copied. */
   void appendArray(const void* data, int count, int size);
   /* Links a heap copy of each of count elements of the array. */
   void appendArrayCopy(const void* data, int count, int size);

   /* The new node at position index (0 is the head, size() the tail), or null
      when index is out of range or nothing could be allocated. */
   _Asn1RTDListNode* insert(int index, void* data);
   /* Before node (at the tail when node is null) / after node (at the head
      when node is null). The new node, or null. */
   _Asn1RTDListNode* insertBefore(void* data, _Asn1RTDListNode* node);
   _Asn1RTDListNode* insertAfter(void* data, _Asn1RTDListNode* node);

   /* Unlink without freeing node or data. An index or data that is not in
      the list changes nothing. */
   void remove(int index);
   void remove(void* data);
   void remove(_Asn1RTDListNode* node);

   /* Replaces the data at index and returns the old data; null when there is
      no such index. */
   void* set(int index, void* data);

   /* Frees the nodes but not the data. */
   void clear();
   /* Frees the nodes and the data. */
   void freeAll();

   /* Position of the first node holding data, or -1. */
   int indexOf(void* data) const;
   /* Data at index, or null. */
   void* get(int index) const;
   void* getFirst() const;
   void* getLast() const;
   bool isEmpty() const;
   int size() const;

   /* A new array in typeMemHeap holding a copy of each element (size octets
      each); null for an empty list. */
   void* toArray(int size);
   /* The same into buffer when capacity (in elements) is enough, else into a
      new array; returns the array used. */
   void* toArray(void* buffer, int size, int capacity);

   /* New iterators in typeMemHeap: cursor at the head, at the tail, or at the
      first node holding data (no cursor when absent). They live with the
      heap; rtMemHeapFreePtr may give one back earlier. Null without a
      context. */
   ASN1CSeqOfListIterator* iterator();
   ASN1CSeqOfListIterator* iteratorFromLast();
   ASN1CSeqOfListIterator* iteratorFrom(void* data);

protected:
   _Asn1RTDList* mpList;
   int mModCount;
   ASN1UINT8 mListGiven;

private:
   friend class ASN1CSeqOfListIterator;

   /* The list the object works on: one of its own, or the caller's
      (emptied first when initBeforeUse); the iterator factory. */
   void createOwnList();
   void useList(_Asn1RTDList& list, int initBeforeUse);
   ASN1CSeqOfListIterator* newIterator(_Asn1RTDListNode* cursor);
};

/* Cursor over an ASN1CSeqOfList. Failures are kept in the last status
   (getStatus), not in the context: RTS_LIST_CHANGED (-27) when the list was
   changed other than through this iterator, RTS_MISSING_ELEMENT (-8) when
   there is nothing to return, RTS_NO_CURRENT (-28) when set or remove has no
   node last returned. */
class ASN1CSeqOfListIterator {
public:
   ASN1CSeqOfListIterator(ASN1CSeqOfList* listObject, _Asn1RTDListNode* cursor);

   /* The data at the cursor; the cursor then moves to the next node. */
   void* next();
   /* Moves backwards: the first call after iteratorFromLast returns the tail,
      each later call the node before the one last returned. */
   void* prev();
   bool hasNext() const;
   bool hasPrev() const;

   /* Replaces the data of the node last returned. */
   int set(void* data);
   /* Unlinks the node last returned (the cursor moves on if it was there). */
   int remove();
   /* Inserts before the cursor, or at the tail when there is no cursor. */
   int insert(void* data);

   /* 0, or the status of the last failed call. */
   int getStatus() const { return mLastStatus; }

private:
   /* False once the list changed behind the iterator; fail keeps the status
      and returns null. */
   bool listUnchanged();
   void* fail(int status);

   ASN1CSeqOfList* mpListObject;
   _Asn1RTDListNode* mpCursor;
   _Asn1RTDListNode* mpCurrent;
   int mExpectedModCount;
   int mLastStatus;
};

#endif
