// Doubly and singly linked lists: linking at every position, searches,
// removal, the three ways of freeing (including the decoders' single-block
// nodes), array conversion and behaviour when allocation fails.
#include <cstring>
#include <vector>

#include "heap_probe.h"
#include "rtList.h"

namespace {

class DListTest : public HeapProbeTest {
 protected:
   Asn1RTDList list;
   int a = 1, b = 2, c = 3, d = 4;
   void SetUp() override {
      HeapProbeTest::SetUp();
      list.count = 77;  // garbage that init must clear
      rtDListInit(&list);
   }
   void TearDown() override {
      rtDListFreeNodes(&ctxt, &list);
      HeapProbeTest::TearDown();
   }
   void fill(std::vector<void*> items) {
      for (void* item : items) ASSERT_NE(rtDListAppend(&ctxt, &list, item), nullptr);
   }
};

// The data pointers from head to tail, after checking that the prev links,
// head, tail and count agree with the next links.
std::vector<void*> contents(const Asn1RTDList& list) {
   std::vector<void*> forward;
   const Asn1RTDListNode* prev = nullptr;
   for (const Asn1RTDListNode* node = list.head; node != nullptr; node = node->next) {
      EXPECT_EQ(node->prev, prev);
      forward.push_back(node->data);
      prev = node;
   }
   EXPECT_EQ(list.tail, prev);
   EXPECT_EQ(list.count, forward.size());
   return forward;
}

TEST_F(DListTest, InitClearsAndIgnoresNull) {
   EXPECT_EQ(list.count, 0u);
   EXPECT_EQ(list.head, nullptr);
   EXPECT_EQ(list.tail, nullptr);
   rtDListInit(nullptr);
}

TEST_F(DListTest, AppendLinksAtTailWithOneBlockPerNode) {
   fill({&a, &b, &c});
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &b, &c}));
   EXPECT_EQ(liveBlocks(), 3u);
   EXPECT_EQ(rtMemHeapBlockSize(list.head), sizeof(Asn1RTDListNode));
}

TEST_F(DListTest, InsertGivesTheNewNodeTheRequestedPosition) {
   struct Case {
      ASN1UINT index;
      std::vector<int> order;  // 0..2 are a, b, c; 3 is the inserted d
   };
   const Case cases[] = {
      {0, {3, 0, 1, 2}}, {1, {0, 3, 1, 2}}, {2, {0, 1, 3, 2}}, {3, {0, 1, 2, 3}}};
   void* items[] = {&a, &b, &c, &d};
   for (const Case& tc : cases) {
      SCOPED_TRACE(tc.index);
      fill({&a, &b, &c});
      Asn1RTDListNode* node = rtDListInsert(&ctxt, &list, tc.index, &d);
      ASSERT_NE(node, nullptr);
      EXPECT_EQ(node->data, &d);
      std::vector<void*> expected;
      for (int i : tc.order) expected.push_back(items[i]);
      EXPECT_EQ(contents(list), expected);
      EXPECT_EQ(rtDListFindByIndex(&list, static_cast<int>(tc.index)), node);
      rtDListFreeNodes(&ctxt, &list);
   }
}

TEST_F(DListTest, InsertOnEmptyListAndBeyondCount) {
   EXPECT_EQ(rtDListInsert(&ctxt, &list, 1, &a), nullptr);
   EXPECT_EQ(liveBlocks(), 0u);
   Asn1RTDListNode* node = rtDListInsert(&ctxt, &list, 0, &a);
   ASSERT_NE(node, nullptr);
   EXPECT_EQ(list.head, node);
   EXPECT_EQ(list.tail, node);
   EXPECT_EQ(rtDListInsert(&ctxt, &list, 2, &b), nullptr);
   EXPECT_EQ(contents(list), (std::vector<void*>{&a}));
}

TEST_F(DListTest, InsertBeforeAndAfter) {
   fill({&a, &b});
   Asn1RTDListNode* first = list.head;
   Asn1RTDListNode* last = list.tail;
   ASSERT_NE(rtDListInsertBefore(&ctxt, &list, nullptr, &c), nullptr);  // at the tail
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &b, &c}));
   ASSERT_NE(rtDListInsertBefore(&ctxt, &list, first, &d), nullptr);  // new head
   EXPECT_EQ(contents(list), (std::vector<void*>{&d, &a, &b, &c}));
   ASSERT_NE(rtDListInsertBefore(&ctxt, &list, last, &d), nullptr);  // before b
   EXPECT_EQ(contents(list), (std::vector<void*>{&d, &a, &d, &b, &c}));
   rtDListFreeNodes(&ctxt, &list);

   fill({&a, &b});
   first = list.head;
   ASSERT_NE(rtDListInsertAfter(&ctxt, &list, nullptr, &c), nullptr);  // at the head
   EXPECT_EQ(contents(list), (std::vector<void*>{&c, &a, &b}));
   ASSERT_NE(rtDListInsertAfter(&ctxt, &list, list.tail, &d), nullptr);  // new tail
   EXPECT_EQ(contents(list), (std::vector<void*>{&c, &a, &b, &d}));
   ASSERT_NE(rtDListInsertAfter(&ctxt, &list, first, &d), nullptr);  // after a
   EXPECT_EQ(contents(list), (std::vector<void*>{&c, &a, &d, &b, &d}));
}

TEST_F(DListTest, FailedAllocationLeavesListUnchanged) {
   fill({&a, &b});
   failAfter(0);
   EXPECT_EQ(rtDListAppend(&ctxt, &list, &c), nullptr);
   EXPECT_EQ(rtDListInsert(&ctxt, &list, 1, &c), nullptr);
   EXPECT_EQ(rtDListInsertBefore(&ctxt, &list, list.tail, &c), nullptr);
   EXPECT_EQ(rtDListInsertAfter(&ctxt, &list, list.head, &c), nullptr);
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &b}));
   EXPECT_EQ(ctxt.errInfo.status, 0);
}

TEST_F(DListTest, FindByIndexAndData) {
   fill({&a, &b, &a});
   EXPECT_EQ(rtDListFindByIndex(&list, -5), list.head);
   EXPECT_EQ(rtDListFindByIndex(&list, 0), list.head);
   EXPECT_EQ(rtDListFindByIndex(&list, 1), list.head->next);
   EXPECT_EQ(rtDListFindByIndex(&list, 2), list.tail);
   EXPECT_EQ(rtDListFindByIndex(&list, 3), nullptr);
   EXPECT_EQ(rtDListFindByData(&list, &a), list.head);  // the first of two
   EXPECT_EQ(rtDListFindByData(&list, &b), list.head->next);
   EXPECT_EQ(rtDListFindByData(&list, &c), nullptr);
   EXPECT_EQ(rtDListFindIndexByData(&list, &a), 0);
   EXPECT_EQ(rtDListFindIndexByData(&list, &b), 1);
   EXPECT_EQ(rtDListFindIndexByData(&list, &c), -1);

   Asn1RTDList empty;
   rtDListInit(&empty);
   EXPECT_EQ(rtDListFindByIndex(&empty, -1), nullptr);
   EXPECT_EQ(rtDListFindByIndex(&empty, 0), nullptr);
}

TEST_F(DListTest, RemoveUnlinksWithoutFreeing) {
   fill({&a, &b, &c, &d});
   std::vector<Asn1RTDListNode*> removed = {list.head->next, list.head, list.tail};
   for (Asn1RTDListNode* node : removed) rtDListRemove(&list, node);
   EXPECT_EQ(contents(list), (std::vector<void*>{&c}));
   removed.push_back(list.head);
   rtDListRemove(&list, list.head);
   EXPECT_EQ(contents(list), std::vector<void*>{});
   EXPECT_EQ(liveBlocks(), 4u);  // the nodes are still the caller's
   EXPECT_EQ(removed[0]->data, &b);
   for (Asn1RTDListNode* node : removed) ASN1MEMFREEPTR(&ctxt, node);
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(DListTest, FreeNodesKeepsDataAndFreeAllFreesIt) {
   std::vector<void*> data;
   for (int i = 0; i < 3; i++) data.push_back(ASN1MALLOC(&ctxt, 8));
   fill(data);
   EXPECT_EQ(liveBlocks(), 6u);
   rtDListFreeNodes(&ctxt, &list);
   EXPECT_EQ(contents(list), std::vector<void*>{});
   EXPECT_EQ(liveBlocks(), 3u);

   fill(data);
   fill({nullptr});
   rtDListFreeAll(&ctxt, &list);
   EXPECT_EQ(contents(list), std::vector<void*>{});
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(DListTest, SingleBlockNodesAreLinkedWithoutAllocationAndFreedOnce) {
   struct Element {
      ASN1UINT value;
   };
   std::vector<Element*> elements;
   for (ASN1UINT i = 0; i < 3; i++) {
      void* block = ASN1MALLOCZ(&ctxt, sizeof(Asn1RTDListNode) + sizeof(Element));
      ASSERT_NE(block, nullptr);
      Element* elem = reinterpret_cast<Element*>(static_cast<unsigned char*>(block) +
                                                 sizeof(Asn1RTDListNode));
      elem->value = i;
      const size_t before = liveBlocks();
      EXPECT_EQ(rtDListAppendNode(&ctxt, &list, elem), block);
      EXPECT_EQ(liveBlocks(), before);
      elements.push_back(elem);
   }
   void* separate = ASN1MALLOC(&ctxt, sizeof(Element));
   fill({separate});  // a separately allocated element in the same list
   EXPECT_EQ(contents(list), (std::vector<void*>{elements[0], elements[1], elements[2], separate}));
   EXPECT_EQ(static_cast<Element*>(rtDListFindByIndex(&list, 1)->data)->value, 1u);
   EXPECT_EQ(liveBlocks(), 5u);
   rtDListFreeAll(&ctxt, &list);  // a double free fails the probe
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(DListTest, ToArrayAllocatesOnlyWhenCapacityIsShort) {
   ASN1UINT values[] = {10, 20, 30};
   fill({&values[0], &values[1], &values[2]});

   ASN1UINT own[4] = {0, 0, 0, 99};
   void* array = own;
   ASN1UINT capacity = 4;
   EXPECT_EQ(rtDListToArray(&ctxt, &list, &array, &capacity, sizeof(ASN1UINT)), 3);
   EXPECT_EQ(array, own);
   EXPECT_EQ(capacity, 4u);
   EXPECT_EQ(std::vector<ASN1UINT>(own, own + 4), (std::vector<ASN1UINT>{10, 20, 30, 99}));

   ASN1UINT small[2] = {0, 0};
   array = small;
   capacity = 2;
   EXPECT_EQ(rtDListToArray(&ctxt, &list, &array, &capacity, sizeof(ASN1UINT)), 3);
   ASSERT_NE(array, small);
   EXPECT_EQ(capacity, 3u);
   EXPECT_EQ(rtMemHeapBlockSize(array), 3 * sizeof(ASN1UINT));
   const ASN1UINT* got = static_cast<ASN1UINT*>(array);
   EXPECT_EQ(std::vector<ASN1UINT>(got, got + 3), (std::vector<ASN1UINT>{10, 20, 30}));
   EXPECT_EQ(small[0], 0u);
   ASN1MEMFREEPTR(&ctxt, array);

   // Without a capacity the caller's array is trusted to be large enough.
   array = own;
   values[1] = 21;
   EXPECT_EQ(rtDListToArray(&ctxt, &list, &array, nullptr, sizeof(ASN1UINT)), 3);
   EXPECT_EQ(array, own);
   EXPECT_EQ(own[1], 21u);
}

TEST_F(DListTest, ToArrayReportsAllocationFailure) {
   fill({&a});
   void* array = nullptr;
   ASN1UINT capacity = 0;
   failAfter(0);
   EXPECT_EQ(rtDListToArray(&ctxt, &list, &array, &capacity, sizeof(int)), RTS_NO_MEMORY);
   EXPECT_EQ(array, nullptr);
   EXPECT_EQ(capacity, 0u);
   EXPECT_EQ(ctxt.errInfo.status, RTS_NO_MEMORY);
}

TEST_F(DListTest, AppendArrayLinksIntoTheCallersArray) {
   const short array[3] = {7, 8, 9};
   fill({&a});
   rtDListAppendArray(&ctxt, &list, array, 3, sizeof(short));
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, const_cast<short*>(&array[0]),
                                                 const_cast<short*>(&array[1]),
                                                 const_cast<short*>(&array[2])}));
   EXPECT_EQ(liveBlocks(), 4u);

   failAfter(1);  // the second new node fails: the list is as before
   rtDListAppendArray(&ctxt, &list, array, 3, sizeof(short));
   EXPECT_EQ(list.count, 4u);
   EXPECT_EQ(liveBlocks(), 4u);
}

TEST_F(DListTest, AppendArrayCopyGivesEachNodeItsOwnCopy) {
   unsigned char array[3][12];
   for (int i = 0; i < 3; i++) std::memset(array[i], 'a' + i, sizeof(array[i]));
   rtDListAppendArrayCopy(&ctxt, &list, array, 3, 12);
   ASSERT_EQ(list.count, 3u);
   int i = 0;
   for (const Asn1RTDListNode* node = list.head; node != nullptr; node = node->next, i++) {
      EXPECT_NE(node->data, array[i]);
      EXPECT_EQ(rtMemHeapBlockSize(node->data), 12u);
      EXPECT_EQ(std::memcmp(node->data, array[i], 12), 0);
   }
   EXPECT_EQ(liveBlocks(), 6u);

   for (int allowed : {0, 1, 2, 5}) {  // a copy or a node fails at each step
      failAfter(allowed);
      rtDListAppendArrayCopy(&ctxt, &list, array, 3, 12);
      EXPECT_EQ(list.count, 3u);
      EXPECT_EQ(liveBlocks(), 6u);
   }
   failAfter(-1);
   rtDListFreeAll(&ctxt, &list);
   EXPECT_EQ(liveBlocks(), 0u);
}

std::vector<void*> contents(const Asn1RTSList& list) {
   std::vector<void*> items;
   const Asn1RTSListNode* last = nullptr;
   for (const Asn1RTSListNode* node = list.head; node != nullptr; node = node->next) {
      items.push_back(node->data);
      last = node;
   }
   EXPECT_EQ(list.tail, last);
   EXPECT_EQ(list.count, items.size());
   return items;
}

TEST_F(HeapProbeTest, SListWithOwnerAllocatesFromItsHeap) {
   int a = 1, b = 2;
   Asn1RTSList list;
   list.count = 5;
   rtSListInitEx(&ctxt, &list);
   EXPECT_EQ(list.pctxt, &ctxt);
   EXPECT_EQ(contents(list), std::vector<void*>{});
   ASSERT_NE(rtSListAppend(&list, &a), nullptr);
   ASSERT_NE(rtSListAppend(&list, &b), nullptr);
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &b}));
   EXPECT_EQ(liveBlocks(), 2u);

   failAfter(0);
   EXPECT_EQ(rtSListAppend(&list, &a), nullptr);
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &b}));

   rtSListFree(&list);
   EXPECT_EQ(liveBlocks(), 0u);
   EXPECT_EQ(contents(list), std::vector<void*>{});
   EXPECT_EQ(list.pctxt, nullptr);
}

TEST_F(HeapProbeTest, SListWithoutOwnerUsesTheProcessAllocator) {
   int a = 1, b = 2, c = 3;
   Asn1RTSList list;
   rtSListInitEx(nullptr, &list);
   for (int* item : {&a, &b, &c}) ASSERT_NE(rtSListAppend(&list, item), nullptr);
   EXPECT_EQ(contents(list), (std::vector<void*>{&a, &b, &c}));
   EXPECT_EQ(liveBlocks(), 0u);
   rtSListFree(&list);  // the leak checker of the sanitizer build sees the nodes go
   EXPECT_EQ(contents(list), std::vector<void*>{});
   rtSListInitEx(&ctxt, nullptr);
   rtSListFree(nullptr);
}

}
