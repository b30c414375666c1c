// List class and iterator: every change through the class counts, an
// iterator refuses to continue after a change behind its back (-27), reports
// running off either end (-8) and set/remove without a current node (-28);
// constructors bind own or caller's lists to contexts and buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ASN1CSeqOfList.h"
#include "rtContext.h"

namespace {

// A minimal message buffer: a context of its own and nothing else.
class PlainBuffer : public ASN1MessageBuffer {
public:
   PlainBuffer() : ASN1MessageBuffer(BEREncode) {}
   bool isA(Type bufferType) override { return bufferType == BEREncode; }
};

class SeqOfListTest : public ::testing::Test {
protected:
   ASN1CtxtPtr context{new ASN1Context()};
   int a = 1, b = 2, c = 3, d = 4, e = 5;

   std::vector<void*> contents(const ASN1CSeqOfList& list) {
      std::vector<void*> items;
      for (int i = 0; i < list.size(); i++) items.push_back(list.get(i));
      return items;
   }
   int errorStatus() { return context->getPtr()->errInfo.status; }
};

TEST_F(SeqOfListTest, OwnListStartsEmptyAndLivesInTheContextHeap) {
   ASN1CSeqOfList list(context);
   EXPECT_TRUE(list.isEmpty());
   EXPECT_EQ(list.size(), 0);
   EXPECT_EQ(list.getFirst(), nullptr);
   EXPECT_EQ(list.getLast(), nullptr);
   EXPECT_EQ(context->getRefCount(), 2u);
   list.append(&a);
   list.append(&b);
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &b}));
}

TEST_F(SeqOfListTest, CallerListIsInitialisedOnlyWhenAsked) {
   ASN1TSeqOfList value;
   ASN1CSeqOfList filler(context, value);
   filler.append(&a);
   filler.append(&b);

   ASN1CSeqOfList keep(context, static_cast<_Asn1RTDList&>(value), 0);
   EXPECT_EQ(contents(keep), (std::vector<void*>{&a, &b}));

   _Asn1RTDList raw;
   raw.count = 99;  // garbage the flag must clear
   ASN1CSeqOfList reset(context, raw, 1);
   EXPECT_EQ(raw.count, 0u);
   EXPECT_EQ(raw.head, nullptr);
   reset.append(&c);
   EXPECT_EQ(raw.count, 1u);
   EXPECT_EQ(raw.head->data, &c);
}

TEST_F(SeqOfListTest, ListOnlyConstructorsCreateTheirOwnContext) {
   ASN1TPDUSeqOfList value;
   EXPECT_EQ(value.count, 0u);
   ASN1CSeqOfList list(value);
   ASN1Context* own = list.getContext();
   ASSERT_NE(own, nullptr);
   EXPECT_NE(own, static_cast<ASN1Context*>(context));
   EXPECT_EQ(list.getMsgBuf(), nullptr);
   list.append(&a);
   EXPECT_EQ(value.count, 1u);
   list.clear();
}

TEST_F(SeqOfListTest, BufferConstructorsShareTheBufferContext) {
   PlainBuffer buffer;
   ASN1CtxtPtr bufferContext = buffer.getContext();
   ASN1UINT before = bufferContext->getRefCount();
   {
      ASN1TSeqOfList value;
      ASN1CSeqOfList list(buffer, value);
      EXPECT_EQ(list.getMsgBuf(), &buffer);
      EXPECT_EQ(static_cast<ASN1Context*>(list.getContext()),
                static_cast<ASN1Context*>(bufferContext));
      EXPECT_EQ(bufferContext->getRefCount(), before + 1);
      list.append(&a);
      EXPECT_EQ(value.head->data, &a);
      list.clear();
      ASN1CSeqOfList own(buffer);
      own.append(&b);
      EXPECT_EQ(own.getFirst(), &b);
   }
   EXPECT_EQ(bufferContext->getRefCount(), before);
}

TEST_F(SeqOfListTest, InsertRemoveAndSetKeepTheOrder) {
   ASN1CSeqOfList list(context);
   list.append(&b);
   ASSERT_NE(list.insert(0, &a), nullptr);
   ASSERT_NE(list.insert(2, &d), nullptr);
   EXPECT_EQ(list.insert(4, &e), nullptr) << "index beyond the tail";
   EXPECT_EQ(list.insert(-1, &e), nullptr);
   _Asn1RTDListNode* cNode = list.insertBefore(&c, nullptr);
   ASSERT_NE(cNode, nullptr);
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &b, &d, &c}));
   list.remove(cNode);
   _Asn1RTDListNode* eNode = list.insertAfter(&e, nullptr);
   EXPECT_EQ(contents(list), (std::vector<void*>{&e, &a, &b, &d}));
   list.insertBefore(&c, eNode->next->next);
   EXPECT_EQ(contents(list), (std::vector<void*>{&e, &a, &c, &b, &d}));

   EXPECT_EQ(list.indexOf(&c), 2);
   EXPECT_EQ(list.indexOf(&list), -1);
   EXPECT_EQ(list.set(2, &a), &c);
   EXPECT_EQ(list.set(5, &a), nullptr);
   EXPECT_EQ(list.get(5), nullptr);
   EXPECT_EQ(list.get(-1), nullptr);

   list.remove(0);
   list.remove(&d);
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &a, &b}));
   EXPECT_EQ(list.getFirst(), &a);
   EXPECT_EQ(list.getLast(), &b);
}

TEST_F(SeqOfListTest, AbsentIndexOrDataIsNoChange) {
   ASN1CSeqOfList list(context);
   list.append(&a);
   ASN1CSeqOfListIterator* it = list.iterator();
   ASSERT_NE(it, nullptr);
   list.remove(3);
   list.remove(-1);
   list.remove(&e);
   list.remove(static_cast<_Asn1RTDListNode*>(nullptr));
   EXPECT_EQ(list.size(), 1);
   EXPECT_EQ(it->next(), &a) << "the iterator must still be valid";
   EXPECT_EQ(it->getStatus(), 0);
}

TEST_F(SeqOfListTest, AppendArrayLinksAndAppendArrayCopyCopies) {
   int values[3] = {10, 20, 30};
   ASN1CSeqOfList list(context);
   list.appendArray(values, 3, sizeof(int));
   list.appendArrayCopy(values, 2, sizeof(int));
   ASSERT_EQ(list.size(), 5);
   EXPECT_EQ(list.get(1), &values[1]);
   EXPECT_NE(list.get(4), &values[1]);
   EXPECT_EQ(*static_cast<int*>(list.get(4)), 20);
   values[1] = 21;
   EXPECT_EQ(*static_cast<int*>(list.get(1)), 21);
   EXPECT_EQ(*static_cast<int*>(list.get(4)), 20);
}

TEST_F(SeqOfListTest, ToArrayCopiesEveryElement) {
   int values[3] = {7, 8, 9};
   ASN1CSeqOfList list(context);
   EXPECT_EQ(list.toArray(sizeof(int)), nullptr) << "empty list";
   list.appendArray(values, 3, sizeof(int));

   int* fresh = static_cast<int*>(list.toArray(sizeof(int)));
   ASSERT_NE(fresh, nullptr);
   EXPECT_EQ(std::vector<int>(fresh, fresh + 3), (std::vector<int>{7, 8, 9}));

   int roomy[4] = {0, 0, 0, -1};
   EXPECT_EQ(list.toArray(roomy, sizeof(int), 4), roomy);
   EXPECT_EQ(std::vector<int>(roomy, roomy + 4), (std::vector<int>{7, 8, 9, -1}));

   int tight[2] = {0, 0};
   int* other = static_cast<int*>(list.toArray(tight, sizeof(int), 2));
   ASSERT_NE(other, nullptr);
   EXPECT_NE(other, tight);
   EXPECT_EQ(std::vector<int>(other, other + 3), (std::vector<int>{7, 8, 9}));
   EXPECT_EQ(tight[0], 0);
}

TEST_F(SeqOfListTest, ClearFreesNodesAndFreeAllAlsoData) {
   ASN1CSeqOfList list(context);
   ASN1CTXT* pctxt = context->getPtr();
   int* owned = static_cast<int*>(ASN1MALLOC(pctxt, sizeof(int)));
   *owned = 5;
   list.append(owned);
   list.append(&a);
   list.clear();
   EXPECT_TRUE(list.isEmpty());
   EXPECT_EQ(*owned, 5) << "clear leaves the data alone";

   list.append(owned);
   list.freeAll();
   EXPECT_TRUE(list.isEmpty());
}

TEST_F(SeqOfListTest, WithoutContextAllocatingOperationsDoNothing) {
   ASN1TSeqOfList value;
   ASN1CSeqOfList list(static_cast<ASN1Context*>(nullptr), value);
   EXPECT_EQ(list.getCtxtPtr(), nullptr);
   list.append(&a);
   EXPECT_EQ(list.insert(0, &a), nullptr);
   EXPECT_EQ(list.size(), 0);
   EXPECT_EQ(list.iterator(), nullptr);
   EXPECT_EQ(list.toArray(sizeof(int)), nullptr);

   ASN1CSeqOfList ownless(static_cast<ASN1Context*>(nullptr));
   ownless.append(&a);
   EXPECT_TRUE(ownless.isEmpty());
   EXPECT_EQ(ownless.get(0), nullptr);
}

/* ---- iterator ----------------------------------------------------------- */

class IteratorTest : public SeqOfListTest {
protected:
   ASN1CSeqOfList list{context};
   void SetUp() override {
      list.append(&a);
      list.append(&b);
      list.append(&c);
   }
};

TEST_F(IteratorTest, ForwardThenMissingElement) {
   ASN1CSeqOfListIterator* it = list.iterator();
   ASSERT_NE(it, nullptr);
   std::vector<void*> seen;
   while (it->hasNext()) seen.push_back(it->next());
   EXPECT_EQ(seen, (std::vector<void*>{&a, &b, &c}));
   EXPECT_EQ(it->getStatus(), 0);
   EXPECT_EQ(it->next(), nullptr);
   EXPECT_EQ(it->getStatus(), RTS_MISSING_ELEMENT);
}

TEST_F(IteratorTest, BackwardFromLastThenMissingElement) {
   ASN1CSeqOfListIterator* it = list.iteratorFromLast();
   ASSERT_NE(it, nullptr);
   EXPECT_EQ(it->prev(), &c);
   EXPECT_EQ(it->prev(), &b);
   EXPECT_TRUE(it->hasPrev());
   EXPECT_EQ(it->prev(), &a);
   EXPECT_FALSE(it->hasPrev());
   EXPECT_EQ(it->prev(), nullptr);
   EXPECT_EQ(it->getStatus(), RTS_MISSING_ELEMENT);
   EXPECT_EQ(it->next(), &a) << "a failed prev leaves the position alone";
}

TEST_F(IteratorTest, PrevAfterNextReturnsTheSameNodeAgain) {
   ASN1CSeqOfListIterator* it = list.iterator();
   EXPECT_EQ(it->next(), &a);
   EXPECT_EQ(it->next(), &b);
   EXPECT_EQ(it->prev(), &b);
   EXPECT_EQ(it->prev(), &a);
   EXPECT_EQ(it->next(), &a);
   EXPECT_EQ(it->next(), &b);
   EXPECT_EQ(it->next(), &c);
   EXPECT_EQ(it->prev(), &c) << "stepping back from beyond the tail";
}

TEST_F(IteratorTest, IteratorFromDataStartsThere) {
   ASN1CSeqOfListIterator* it = list.iteratorFrom(&b);
   EXPECT_EQ(it->next(), &b);
   EXPECT_EQ(it->next(), &c);
   ASN1CSeqOfListIterator* none = list.iteratorFrom(&e);
   ASSERT_NE(none, nullptr);
   EXPECT_FALSE(none->hasNext());
   EXPECT_EQ(none->next(), nullptr);
   EXPECT_EQ(none->getStatus(), RTS_MISSING_ELEMENT);
}

TEST_F(IteratorTest, NoCurrentForSetAndRemove) {
   ASN1CSeqOfListIterator* it = list.iterator();
   EXPECT_EQ(it->set(&e), RTS_NO_CURRENT);
   EXPECT_EQ(it->getStatus(), RTS_NO_CURRENT);
   EXPECT_EQ(it->remove(), RTS_NO_CURRENT);
   EXPECT_EQ(it->next(), &a);
   EXPECT_EQ(it->remove(), 0);
   EXPECT_EQ(it->remove(), RTS_NO_CURRENT) << "remove clears the current node";
   EXPECT_EQ(it->set(&e), RTS_NO_CURRENT);
}

TEST_F(IteratorTest, ChangeBehindTheIteratorIsListChanged) {
   struct Change {
      const char* name;
      void (*apply)(ASN1CSeqOfList&, void*);
   };
   const Change changes[] = {
      {"append", [](ASN1CSeqOfList& l, void* p) { l.append(p); }},
      {"insert", [](ASN1CSeqOfList& l, void* p) { l.insert(1, p); }},
      {"remove", [](ASN1CSeqOfList& l, void*) { l.remove(0); }},
      {"set", [](ASN1CSeqOfList& l, void* p) { l.set(0, p); }},
      {"clear", [](ASN1CSeqOfList& l, void*) { l.clear(); }},
   };
   for (const Change& change : changes) {
      SCOPED_TRACE(change.name);
      list.clear();
      list.append(&a);
      list.append(&b);
      ASN1CSeqOfListIterator* it = list.iterator();
      EXPECT_EQ(it->next(), &a);
      change.apply(list, &e);
      EXPECT_EQ(it->next(), nullptr);
      EXPECT_EQ(it->getStatus(), RTS_LIST_CHANGED);
      EXPECT_EQ(it->prev(), nullptr);
      EXPECT_EQ(it->set(&d), RTS_LIST_CHANGED);
      EXPECT_EQ(it->remove(), RTS_LIST_CHANGED);
      EXPECT_EQ(it->insert(&d), RTS_LIST_CHANGED);
      EXPECT_FALSE(it->hasNext());
   }
}

TEST_F(IteratorTest, ReadingAndMakingIteratorsIsNoChange) {
   ASN1CSeqOfListIterator* it = list.iterator();
   EXPECT_EQ(it->next(), &a);
   list.get(1);
   list.indexOf(&c);
   list.toArray(sizeof(int));
   ASN1CSeqOfListIterator* other = list.iteratorFromLast();
   EXPECT_EQ(other->prev(), &c);
   EXPECT_EQ(it->next(), &b);
   EXPECT_EQ(it->getStatus(), 0);
}

TEST_F(IteratorTest, ChangesThroughTheIteratorKeepItValid) {
   ASN1CSeqOfListIterator* it = list.iterator();
   EXPECT_EQ(it->next(), &a);
   EXPECT_EQ(it->set(&d), 0);
   EXPECT_EQ(it->next(), &b);
   EXPECT_EQ(it->remove(), 0);
   EXPECT_EQ(it->insert(&e), 0) << "goes before the cursor, at c";
   EXPECT_EQ(it->next(), &c);
   EXPECT_EQ(it->insert(&b), 0) << "no cursor: at the tail";
   EXPECT_FALSE(it->hasNext());
   EXPECT_EQ(contents(list), (std::vector<void*>{&d, &e, &c, &b}));
   EXPECT_EQ(it->getStatus(), 0);

   // A second iterator made before these changes is stale now.
   ASN1CSeqOfListIterator* fresh = list.iteratorFromLast();
   EXPECT_EQ(fresh->prev(), &b);
   EXPECT_EQ(fresh->remove(), 0) << "cursor was at b: it moves to b's successor (none)";
   EXPECT_EQ(fresh->prev(), nullptr);
   EXPECT_EQ(fresh->getStatus(), RTS_MISSING_ELEMENT);
   EXPECT_EQ(it->next(), nullptr);
   EXPECT_EQ(it->getStatus(), RTS_LIST_CHANGED);
}

TEST_F(IteratorTest, RemovingEveryNodeWhileIterating) {
   ASN1CSeqOfListIterator* it = list.iterator();
   int removed = 0;
   while (it->hasNext()) {
      it->next();
      ASSERT_EQ(it->remove(), 0);
      removed++;
   }
   EXPECT_EQ(removed, 3);
   EXPECT_TRUE(list.isEmpty());
}

}
