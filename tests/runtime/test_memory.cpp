// The heap, segment buffers, doubly linked lists and deep copies, through
// the probe's allocator, with allocations failing in turn.
#include <cstdint>
#include <cstring>

#include "rtCopy.h"
#include "runtime_test.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#endif

namespace {

/* With the default hooks small blocks are carved from chunks: each keeps
   its own contents and size, aligned as malloc's, across many chunks; the
   last one carved gives its room back; bigger ones come from the hook. */
TEST(CarvedHeap, BlocksOfChunksBehaveAsSingleBlocks) {
   void* slot = nullptr;
   std::vector<unsigned char*> blocks;
   const size_t sizes[] = {0, 1, 15, 16, 17, 100, 511, 512};
   for (int round = 0; round < 100; round++)
      for (size_t size : sizes) {
         auto* p = static_cast<unsigned char*>(rtMemHeapAlloc(&slot, size));
         ASSERT_NE(nullptr, p);
         EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(p) % 16);
         std::memset(p, static_cast<int>(blocks.size() & 0xFF), size);
         blocks.push_back(p);
      }
   EXPECT_EQ(nullptr, static_cast<ASN1MemHeap*>(slot)->head) << "nothing from the hook";
   for (size_t i = 0; i < blocks.size(); i++) {
      const size_t size = sizes[i % 8];
      ASSERT_EQ(size, rtMemHeapBlockSize(blocks[i]));
      ASSERT_EQ(std::string(size, static_cast<char>(i & 0xFF)),
                std::string(blocks[i], blocks[i] + size)) << "block " << i;
   }
   for (size_t i = 0; i < blocks.size(); i += 2) rtMemHeapFreePtr(&slot, blocks[i]);
   void* last = rtMemHeapAlloc(&slot, 40);
   rtMemHeapFreePtr(&slot, last);
#if defined(__SANITIZE_ADDRESS__)
   EXPECT_TRUE(__asan_address_is_poisoned(last)) << "a freed block stays out of reach";
#endif
   EXPECT_EQ(last, rtMemHeapAlloc(&slot, 40)) << "the last block's room given back";
   for (size_t i = 1; i < blocks.size(); i += 2)
      if (i != 7) rtMemHeapFreePtr(&slot, blocks[i]);  // empties and frees the older chunks
   auto* moved = static_cast<unsigned char*>(rtMemHeapRealloc(&slot, blocks[7], 513));
   EXPECT_EQ(std::string(512, 7), std::string(moved, moved + 512));
   EXPECT_NE(nullptr, static_cast<ASN1MemHeap*>(slot)->head) << "513 octets from the hook";
   rtMemHeapRelease(&slot);
   EXPECT_EQ(nullptr, slot);
}

TEST_F(HeapProbeTest, HeapBlocksReallocAndSegments) {
   void* slot = nullptr;
   EXPECT_EQ(nullptr, rtMemHeapAlloc(&slot, 0x7FFFFFE8u));
   void* blocks[3];
   for (void*& p : blocks) p = rtMemHeapAlloc(&slot, 8);  // the first creates the record
   for (void* p : {blocks[2], blocks[0], static_cast<void*>(nullptr), blocks[1]})
      rtMemHeapFreePtr(&slot, p);
   EXPECT_EQ(nullptr, static_cast<ASN1MemHeap*>(slot)->head);  // head, oldest and last unlinked
   auto* p = static_cast<unsigned char*>(rtMemHeapAllocZ(&slot, 100));
   EXPECT_EQ(std::string(100, '\0'), std::string(p, p + 100));
   std::fill(p, p + 16, 0xAB);
   EXPECT_EQ(p, rtMemHeapRealloc(&slot, p, 4));  // shrinking keeps the block
   failAfter(0);
   EXPECT_EQ(nullptr, rtMemHeapRealloc(&slot, p, 64));  // the old block stays
   failAfter(-1);
   auto* q = static_cast<unsigned char*>(rtMemHeapRealloc(&slot, p, 16));
   EXPECT_EQ(std::string(4, '\xAB'), std::string(q, q + 4));  // the recorded size copied
   EXPECT_EQ(2u, liveBlocks());
   rtMemHeapRelease(&slot);
   EXPECT_EQ(0u, liveBlocks());
   ASN1MemBuf buf;
   rtMemBufInit(&ctxt, &buf, 1024);
   ASSERT_EQ(RTS_OK, rtMemBufSet(&buf, 'x', 1000) + rtMemBufPreAllocate(&buf, 24));
   EXPECT_EQ(1024u, buf.bufsize);  // whole segments
   ASSERT_EQ(RTS_OK, rtMemBufAppend(&buf, reinterpret_cast<const ASN1OCTET*>("abc"), 3) +
                         rtMemBufAppend(&buf, nullptr, 3000));
   buf.startidx = 999;
   int len = 0;
   const ASN1OCTET* data = rtMemBufGetData(&buf, &len);
   EXPECT_EQ("xabc", std::string(data, data + len));  // the null data only reserved
   EXPECT_EQ(4096u, buf.bufsize);
   rtMemBufFree(&buf);
}

class List : public HeapProbeTest {
 protected:
   Asn1RTDList list{77, nullptr, nullptr};
   int a = 1, b = 2, c = 3, d = 4;
   void TearDown() override {
      rtDListFreeNodes(&ctxt, &list);
      HeapProbeTest::TearDown();
   }
   std::vector<void*> contents() {  // head to tail, after checking the back links
      std::vector<void*> items;
      const Asn1RTDListNode* prev = nullptr;
      for (const Asn1RTDListNode* node = list.head; node != nullptr;
           prev = node, node = node->next) {
         EXPECT_EQ(prev, node->prev);
         items.push_back(node->data);
      }
      EXPECT_EQ(prev, list.tail);
      EXPECT_EQ(items.size(), list.count);
      return items;
   }
};

TEST_F(List, LinkFindRemoveAndFree) {
   rtDListInit(&list);
   EXPECT_EQ(nullptr, rtDListInsert(&ctxt, &list, 1, &a));
   EXPECT_EQ(nullptr, rtDListAppend(&ctxt, nullptr, &a));
   for (ASN1UINT index = 0; index <= 3; index++) {
      for (int* item : {&a, &b, &c}) rtDListAppend(&ctxt, &list, item);
      Asn1RTDListNode* inserted = rtDListInsert(&ctxt, &list, index, &d);
      EXPECT_EQ(inserted, rtDListFindByIndex(&list, static_cast<int>(index)));
      std::vector<void*> expected = {&a, &b, &c};
      expected.insert(expected.begin() + index, &d);
      EXPECT_EQ(expected, contents());
      rtDListFreeNodes(&ctxt, &list);
   }
   rtDListAppend(&ctxt, &list, &a);
   rtDListInsertBefore(&ctxt, &list, nullptr, &b);         // at the tail
   rtDListInsertBefore(&ctxt, &list, list.head, &d);       // new head
   rtDListInsertAfter(&ctxt, &list, nullptr, &c);          // at the head
   rtDListInsertAfter(&ctxt, &list, list.tail, &d);        // new tail
   rtDListInsertAfter(&ctxt, &list, list.head->next, &b);  // inside
   failAfter(0);  // a failed allocation leaves the list as it was
   EXPECT_EQ(nullptr, rtDListInsertAfter(&ctxt, &list, list.head, &c));
   EXPECT_EQ((std::vector<void*>{&c, &d, &b, &a, &b, &d}), contents());
   EXPECT_EQ(list.head, rtDListFindByIndex(&list, -5));
   EXPECT_EQ(list.head->next->next->next, rtDListFindByIndex(&list, 3));
   EXPECT_EQ(list.head->next->next, rtDListFindByData(&list, &b));  // the first of two
   EXPECT_EQ(3, rtDListFindIndexByData(&list, &a));
   Asn1RTDListNode* removed[] = {list.head->next, list.head, list.tail};
   for (Asn1RTDListNode* node : removed) rtDListRemove(&list, node);
   EXPECT_EQ((std::vector<void*>{&b, &a, &b}), contents());
   for (Asn1RTDListNode* node : removed) ASN1MEMFREEPTR(&ctxt, node);  // still the caller's
   failAfter(-1);
   rtDListFreeNodes(&ctxt, &list);
   rtDListAppend(&ctxt, &list, ASN1MALLOC(&ctxt, 8));
   rtDListAppend(&ctxt, &list, nullptr);
   auto* block = static_cast<unsigned char*>(ASN1MALLOCZ(&ctxt, sizeof(Asn1RTDListNode) + 4));
   EXPECT_EQ(static_cast<void*>(block),
             rtDListAppendNode(&ctxt, &list, block + sizeof(Asn1RTDListNode)));
   EXPECT_EQ(4u, liveBlocks());  // node and element in one block
   rtDListFreeAll(&ctxt, &list);  // a double free fails the probe
   EXPECT_EQ(0u, liveBlocks() + contents().size());
}

TEST_F(List, Arrays) {
   rtDListInit(&list);
   ASN1UINT values[] = {10, 20, 30}, own[4] = {0, 0, 0, 99};
   for (ASN1UINT& v : values) rtDListAppend(&ctxt, &list, &v);
   void* array = own;
   ASN1UINT capacity = 4;
   EXPECT_EQ(3, rtDListToArray(&ctxt, &list, &array, &capacity, sizeof(ASN1UINT)));
   EXPECT_EQ((std::vector<ASN1UINT>{10, 20, 30, 99}), std::vector<ASN1UINT>(own, own + 4));
   EXPECT_EQ(0, rtDListToArray(&ctxt, &list, nullptr, &capacity, sizeof(ASN1UINT)));
   capacity = 2;
   EXPECT_EQ(3, rtDListToArray(&ctxt, &list, &array, &capacity, sizeof(ASN1UINT)));
   EXPECT_EQ(0, std::memcmp(array, values, sizeof values));
   EXPECT_EQ(3u, capacity);
   EXPECT_EQ(sizeof values, rtMemHeapBlockSize(array));
   ASN1MEMFREEPTR(&ctxt, array);
   capacity = 0;  // no room: a block is needed
   failAfter(0);
   EXPECT_EQ(RTS_NO_MEMORY, rtDListToArray(&ctxt, &list, &array, &capacity, sizeof(int)));
   rtDListFreeNodes(&ctxt, &list);
   unsigned char copies[3][12];
   std::memset(copies, 'a', sizeof copies);
   for (int allowed : {0, 1, 2, 5}) {  // a copy or a node fails at each step: no change
      failAfter(allowed);
      rtDListAppendArrayCopy(&ctxt, &list, copies, 3, 12);
      rtDListAppendArray(&ctxt, &list, values, 3, sizeof(ASN1UINT));
      EXPECT_EQ(0u, list.count + liveBlocks());
   }
   failAfter(-1);
   rtDListAppendArray(&ctxt, &list, values, 3, sizeof(ASN1UINT));
   rtDListAppendArrayCopy(&ctxt, &list, copies, 3, 12);
   EXPECT_EQ(&values[2], list.head->next->next->data);
   EXPECT_EQ(0, std::memcmp(list.tail->data, copies[2], 12));
   for (Asn1RTDListNode* node = rtDListFindByIndex(&list, 3); node != nullptr; node = node->next)
      ASN1MEMFREEPTR(&ctxt, node->data);
}

class Copy : public HeapProbeTest {
 protected:
   std::string taken(const void* block) {  // the block's octets; the block is freed
      const std::string out(static_cast<const char*>(block), rtMemHeapBlockSize(block));
      ASN1MEMFREEPTR(&ctxt, block);
      return out;
   }
};

TEST_F(Copy, ValuesGetTheirOwnBlocks) {
   const ASN1OCTET src[3] = {0xA5, 0xC0, 0x77};
   ASN1OCTET fixed[3] = {0, 0, 0xEE};
   ASN1UINT n = 99;
   EXPECT_EQ(2,
             rtCopyBitStr(&ctxt, 10, src, &n, fixed) + rtCopyOctStr(&ctxt, 2, src, &n, fixed + 1));
   EXPECT_EQ("\xA5\xA5\xC0", std::string(fixed, fixed + 3));  // (10 + 7) / 8 octets, then 2
   EXPECT_EQ(0u, rtCopyBitStr(&ctxt, 0, src, &n, fixed) + n);
   ASN1TDynBitStr bits = {16, src};
   ASN1TDynOctStr octs = {2, src};
   ASN1TOpenType open = {3, src, 0};
   char* text = nullptr;
   ASN116BITCHAR units[] = {0x20AC, 0x0041};
   ASN116BitCharString bmp = {2, units};
   ASN132BitCharString univ = {0, nullptr};
   EXPECT_EQ(5, rtCopyDynBitStr(&ctxt, &bits, &bits) + rtCopyDynOctStr(&ctxt, &octs, &octs) +
                   rtCopyOpenType(&ctxt, &open, &open) + rtCopyCharStr(&ctxt, "hello", &text) +
                   rtCopy16BitCharStr(&ctxt, &bmp, &bmp));
   EXPECT_EQ("\xA5\xC0", taken(bits.data));
   EXPECT_EQ("\xA5\xC0", taken(octs.data));
   EXPECT_EQ("\xA5\xC0\x77", taken(open.data));
   EXPECT_EQ(std::string("hello", 6), taken(text));
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(units), 4), taken(bmp.data));
   bits = {0, src};  // empty values copy to null data without allocating
   bmp = {0, units};
   EXPECT_EQ(2, rtCopyDynBitStr(&ctxt, &bits, &bits) + rtCopy16BitCharStr(&ctxt, &bmp, &bmp));
   EXPECT_EQ(nullptr, bits.data);
   EXPECT_EQ(nullptr, bmp.data);
   EXPECT_EQ(0, rtCopyDynBitStr(&ctxt, nullptr, &bits) + rtCopyDynOctStr(&ctxt, &octs, nullptr) +
                    rtCopyCharStr(&ctxt, nullptr, &text) + rtCopyCharStr(&ctxt, "x", nullptr) +
                    rtCopy32BitCharStr(&ctxt, &univ, nullptr) +
                    rtCopyOpenType(&ctxt, nullptr, &open) +
                    rtCopyBitStr(&ctxt, 8, src, nullptr, fixed) +
                    rtCopyOctStr(&ctxt, 1, src, &n, nullptr));
   ASN1OBJID oid{MAX_OID_ARCS, {1, 2, 3}}, oidCopy{};
   ASSERT_EQ(1, rtCopyOID(&ctxt, &oid, &oidCopy));
   EXPECT_EQ(0, std::memcmp(&oid, &oidCopy, sizeof oid));
   oid.numarcs = MAX_OID_ARCS + 1;
   EXPECT_EQ(0, rtCopyOID(&ctxt, &oid, &oidCopy) + rtCopyOID(&ctxt, nullptr, &oidCopy));
   failAfter(0);  // a failed copy leaves the destination empty
   bits = {9, src};
   text = const_cast<char*>("stale");
   EXPECT_EQ(0, rtCopyDynBitStr(&ctxt, &bits, &bits) + rtCopyCharStr(&ctxt, "abc", &text));
   EXPECT_EQ(nullptr, bits.data);
   EXPECT_EQ(nullptr, text);
}

// Extension lists as a decoder builds them (node and record in one block):
// each record copied apart; the first failure ends the copy.
TEST_F(Copy, OpenTypeLists) {
   const ASN1OCTET first[3] = {0x02, 0x01, 0x07}, second[2] = {0x05, 0x00};
   Asn1RTDList src;
   rtDListInit(&src);
   for (const ASN1TOpenType& value : {ASN1TOpenType{3, first, 0}, ASN1TOpenType{2, second, 0}}) {
      auto* block = static_cast<unsigned char*>(
          ASN1MALLOC(&ctxt, sizeof(Asn1RTDListNode) + sizeof(ASN1TOpenType)));
      *reinterpret_cast<ASN1TOpenType*>(block + sizeof(Asn1RTDListNode)) = value;
      rtDListAppendNode(&ctxt, &src, block + sizeof(Asn1RTDListNode));
   }
   rtDListAppend(&ctxt, &src, nullptr);  // skipped by the copy
   const size_t base = liveBlocks();
   Asn1RTDList dst{42, nullptr, nullptr};
   ASSERT_EQ(1, rtCopyOpenTypeExt(&ctxt, &src, &dst));
   ASSERT_EQ(2u, dst.count);
   const ASN1TOpenType* copied = static_cast<const ASN1TOpenType*>(dst.tail->data);
   EXPECT_EQ(std::string("\x05\x00", 2), std::string(copied->data, copied->data + copied->numocts));
   EXPECT_EQ(sizeof(Asn1RTDListNode),
             rtMemHeapBlockSize(dst.tail));  // node apart from record and octets
   EXPECT_EQ(base + 6, liveBlocks());
   rtMemFreeOpenSeqExt(&ctxt, &dst);
   EXPECT_EQ(0, rtCopyOpenTypeExt(&ctxt, nullptr, &dst) + rtCopyOpenTypeExt(&ctxt, &src, nullptr));
   for (const auto& [allowed, count] : {std::pair<int, ASN1UINT>{0, 0}, {2, 0}, {3, 1}, {5, 1}}) {
      failAfter(allowed);  // each element takes a record, its octets and a node
      EXPECT_EQ(0, rtCopyOpenTypeExt(&ctxt, &src, &dst));
      failAfter(-1);
      EXPECT_EQ(count, dst.count);
      rtMemFreeOpenSeqExt(&ctxt, &dst);
      EXPECT_EQ(base, liveBlocks());
   }
   rtDListFreeAll(&ctxt, &src);
}

}
