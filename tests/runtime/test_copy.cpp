// Deep copies of the primitive value forms: what is copied, where the new
// storage comes from, and what null, empty and failed copies leave behind.
#include <cstring>
#include <string>
#include <vector>

#include "heap_probe.h"
#include "rtCopy.h"
#include "rtList.h"

namespace {

class CopyTest : public HeapProbeTest {};

std::string bytes(const void* p, size_t n) {
   return std::string(static_cast<const char*>(p), n);
}

TEST_F(CopyTest, BitAndOctetStringsIntoTheCallersArray) {
   const ASN1OCTET src[3] = {0xA5, 0xC0, 0x77};
   ASN1OCTET dst[3] = {0, 0, 0xEE};
   ASN1UINT n = 99;
   EXPECT_EQ(rtCopyBitStr(&ctxt, 10, src, &n, dst), 1);
   EXPECT_EQ(n, 10u);
   EXPECT_EQ(bytes(dst, 3), "\xA5\xC0\xEE");  // (10 + 7) / 8 = 2 octets

   EXPECT_EQ(rtCopyOctStr(&ctxt, 3, src, &n, dst), 1);
   EXPECT_EQ(n, 3u);
   EXPECT_EQ(bytes(dst, 3), bytes(src, 3));
   EXPECT_EQ(liveBlocks(), 0u);

   n = 99;
   EXPECT_EQ(rtCopyBitStr(&ctxt, 0, src, &n, dst), 0);
   EXPECT_EQ(n, 0u);
   n = 99;
   EXPECT_EQ(rtCopyOctStr(&ctxt, 0, src, &n, dst), 0);
   EXPECT_EQ(n, 0u);

   EXPECT_EQ(rtCopyBitStr(&ctxt, 8, nullptr, &n, dst), 0);
   EXPECT_EQ(rtCopyBitStr(&ctxt, 8, src, nullptr, dst), 0);
   EXPECT_EQ(rtCopyBitStr(&ctxt, 8, src, &n, nullptr), 0);
   EXPECT_EQ(rtCopyOctStr(&ctxt, 1, nullptr, &n, dst), 0);
   EXPECT_EQ(rtCopyOctStr(&ctxt, 1, src, nullptr, dst), 0);
   EXPECT_EQ(rtCopyOctStr(&ctxt, 1, src, &n, nullptr), 0);
}

TEST_F(CopyTest, DynamicBitAndOctetStringsGetNewBlocks) {
   const ASN1OCTET data[3] = {0x01, 0x02, 0x80};
   const ASN1TDynBitStr bits = {17, data};
   ASN1TDynBitStr bitCopy = {0, nullptr};
   ASSERT_EQ(rtCopyDynBitStr(&ctxt, &bits, &bitCopy), 1);
   EXPECT_EQ(bitCopy.numbits, 17u);
   EXPECT_NE(bitCopy.data, data);
   EXPECT_EQ(rtMemHeapBlockSize(bitCopy.data), 3u);
   EXPECT_EQ(bytes(bitCopy.data, 3), bytes(data, 3));

   const ASN1TDynOctStr octs = {2, data};
   ASN1TDynOctStr octCopy = {0, nullptr};
   ASSERT_EQ(rtCopyDynOctStr(&ctxt, &octs, &octCopy), 1);
   EXPECT_EQ(octCopy.numocts, 2u);
   EXPECT_NE(octCopy.data, data);
   EXPECT_EQ(rtMemHeapBlockSize(octCopy.data), 2u);
   EXPECT_EQ(bytes(octCopy.data, 2), bytes(data, 2));
   EXPECT_EQ(liveBlocks(), 2u);
   ASN1MEMFREEPTR(&ctxt, bitCopy.data);
   ASN1MEMFREEPTR(&ctxt, octCopy.data);

   // Empty values copy to a null data pointer, without allocating.
   const ASN1TDynBitStr noBits = {0, data};
   bitCopy = {5, data};
   EXPECT_EQ(rtCopyDynBitStr(&ctxt, &noBits, &bitCopy), 1);
   EXPECT_EQ(bitCopy.numbits, 0u);
   EXPECT_EQ(bitCopy.data, nullptr);
   const ASN1TDynOctStr noOcts = {0, nullptr};
   octCopy = {5, data};
   EXPECT_EQ(rtCopyDynOctStr(&ctxt, &noOcts, &octCopy), 1);
   EXPECT_EQ(octCopy.numocts, 0u);
   EXPECT_EQ(octCopy.data, nullptr);
   EXPECT_EQ(liveBlocks(), 0u);

   EXPECT_EQ(rtCopyDynBitStr(&ctxt, nullptr, &bitCopy), 0);
   EXPECT_EQ(rtCopyDynBitStr(&ctxt, &bits, nullptr), 0);
   EXPECT_EQ(rtCopyDynOctStr(&ctxt, nullptr, &octCopy), 0);
   EXPECT_EQ(rtCopyDynOctStr(&ctxt, &octs, nullptr), 0);
}

TEST_F(CopyTest, CharacterStrings) {
   char* text = nullptr;
   ASSERT_EQ(rtCopyCharStr(&ctxt, "hello", &text), 1);
   EXPECT_STREQ(text, "hello");
   EXPECT_EQ(rtMemHeapBlockSize(text), 6u);
   ASN1MEMFREEPTR(&ctxt, text);
   ASSERT_EQ(rtCopyCharStr(&ctxt, "", &text), 1);
   EXPECT_STREQ(text, "");
   ASN1MEMFREEPTR(&ctxt, text);
   EXPECT_EQ(rtCopyCharStr(&ctxt, nullptr, &text), 0);
   EXPECT_EQ(rtCopyCharStr(&ctxt, "x", nullptr), 0);

   ASN116BITCHAR units[] = {0x20AC, 0x0041, 0xFFFF};
   const ASN116BitCharString bmp = {3, units};
   ASN116BitCharString bmpCopy = {0, nullptr};
   ASSERT_EQ(rtCopy16BitCharStr(&ctxt, &bmp, &bmpCopy), 1);
   EXPECT_EQ(bmpCopy.nchars, 3u);
   EXPECT_NE(bmpCopy.data, units);
   EXPECT_EQ(rtMemHeapBlockSize(bmpCopy.data), 6u);
   EXPECT_EQ(std::vector<ASN116BITCHAR>(bmpCopy.data, bmpCopy.data + 3),
             std::vector<ASN116BITCHAR>(units, units + 3));
   ASN1MEMFREEPTR(&ctxt, bmpCopy.data);

   ASN132BITCHAR chars[] = {0x1F600, 0x41};
   const ASN132BitCharString univ = {2, chars};
   ASN132BitCharString univCopy = {0, nullptr};
   ASSERT_EQ(rtCopy32BitCharStr(&ctxt, &univ, &univCopy), 1);
   EXPECT_EQ(univCopy.nchars, 2u);
   EXPECT_NE(univCopy.data, chars);
   EXPECT_EQ(rtMemHeapBlockSize(univCopy.data), 8u);
   EXPECT_EQ(std::vector<ASN132BITCHAR>(univCopy.data, univCopy.data + 2),
             std::vector<ASN132BITCHAR>(chars, chars + 2));
   ASN1MEMFREEPTR(&ctxt, univCopy.data);

   const ASN116BitCharString noUnits = {0, units};
   bmpCopy = {4, units};
   EXPECT_EQ(rtCopy16BitCharStr(&ctxt, &noUnits, &bmpCopy), 1);
   EXPECT_EQ(bmpCopy.nchars, 0u);
   EXPECT_EQ(bmpCopy.data, nullptr);
   const ASN132BitCharString noChars = {0, chars};
   univCopy = {4, chars};
   EXPECT_EQ(rtCopy32BitCharStr(&ctxt, &noChars, &univCopy), 1);
   EXPECT_EQ(univCopy.nchars, 0u);
   EXPECT_EQ(univCopy.data, nullptr);
   EXPECT_EQ(rtCopy16BitCharStr(&ctxt, nullptr, &bmpCopy), 0);
   EXPECT_EQ(rtCopy32BitCharStr(&ctxt, &univ, nullptr), 0);
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(CopyTest, AllocationFailureLeavesTheDestinationEmpty) {
   const ASN1OCTET data[2] = {1, 2};
   ASN116BITCHAR units[1] = {0x41};
   ASN132BITCHAR chars[1] = {0x41};
   failAfter(0);

   ASN1TDynBitStr bits = {9, data};
   EXPECT_EQ(rtCopyDynBitStr(&ctxt, &bits, &bits), 0);  // source and destination alike
   EXPECT_EQ(bits.numbits, 0u);
   EXPECT_EQ(bits.data, nullptr);
   const ASN1TDynOctStr octs = {2, data};
   ASN1TDynOctStr octCopy = {7, data};
   EXPECT_EQ(rtCopyDynOctStr(&ctxt, &octs, &octCopy), 0);
   EXPECT_EQ(octCopy.numocts, 0u);
   EXPECT_EQ(octCopy.data, nullptr);
   char* text = const_cast<char*>("stale");
   EXPECT_EQ(rtCopyCharStr(&ctxt, "abc", &text), 0);
   EXPECT_EQ(text, nullptr);
   const ASN116BitCharString bmp = {1, units};
   ASN116BitCharString bmpCopy = {7, units};
   EXPECT_EQ(rtCopy16BitCharStr(&ctxt, &bmp, &bmpCopy), 0);
   EXPECT_EQ(bmpCopy.data, nullptr);
   const ASN132BitCharString univ = {1, chars};
   ASN132BitCharString univCopy = {7, chars};
   EXPECT_EQ(rtCopy32BitCharStr(&ctxt, &univ, &univCopy), 0);
   EXPECT_EQ(univCopy.data, nullptr);
   const ASN1TOpenType open = {2, data, 0};
   ASN1TOpenType openCopy = {7, data, 0};
   EXPECT_EQ(rtCopyOpenType(&ctxt, &open, &openCopy), 0);
   EXPECT_EQ(openCopy.numocts, 0u);
   EXPECT_EQ(openCopy.data, nullptr);
   EXPECT_EQ(liveBlocks(), 0u);
}

TEST_F(CopyTest, ObjectIdentifierCopiesOnlyUsedArcs) {
   ASN1OBJID src;
   src.numarcs = 5;
   const ASN1UINT arcs[] = {1, 2, 840, 113549, 0xFFFFFFFFu};
   std::memcpy(src.arcs, arcs, sizeof(arcs));
   ASN1OBJID dst;
   std::memset(&dst, 0x5A, sizeof(dst));
   ASSERT_EQ(rtCopyOID(&ctxt, &src, &dst), 1);
   EXPECT_EQ(dst.numarcs, 5u);
   EXPECT_EQ(std::vector<ASN1UINT>(dst.arcs, dst.arcs + 5), std::vector<ASN1UINT>(arcs, arcs + 5));
   EXPECT_EQ(dst.arcs[5], 0x5A5A5A5Au);
   EXPECT_EQ(liveBlocks(), 0u);

   for (ASN1UINT i = 0; i < MAX_OID_ARCS; i++) src.arcs[i] = i * 3;
   src.numarcs = MAX_OID_ARCS;
   ASSERT_EQ(rtCopyOID(&ctxt, &src, &dst), 1);
   EXPECT_EQ(dst.arcs[MAX_OID_ARCS - 1], (MAX_OID_ARCS - 1) * 3);
   src.numarcs = MAX_OID_ARCS + 1;
   EXPECT_EQ(rtCopyOID(&ctxt, &src, &dst), 0);
   EXPECT_EQ(rtCopyOID(&ctxt, nullptr, &dst), 0);
   EXPECT_EQ(rtCopyOID(&ctxt, &src, nullptr), 0);
}

TEST_F(CopyTest, OpenType) {
   const ASN1OCTET der[] = {0x05, 0x00};
   const ASN1TOpenType src = {2, der, 0};
   ASN1TOpenType dst{};
   ASSERT_EQ(rtCopyOpenType(&ctxt, &src, &dst), 1);
   EXPECT_EQ(dst.numocts, 2u);
   EXPECT_NE(dst.data, der);
   EXPECT_EQ(bytes(dst.data, 2), bytes(der, 2));
   ASN1MEMFREEPTR(&ctxt, dst.data);
   const ASN1TOpenType empty{};
   EXPECT_EQ(rtCopyOpenType(&ctxt, &empty, &dst), 1);
   EXPECT_EQ(dst.data, nullptr);
   EXPECT_EQ(rtCopyOpenType(&ctxt, nullptr, &dst), 0);
   EXPECT_EQ(rtCopyOpenType(&ctxt, &src, nullptr), 0);
   EXPECT_EQ(liveBlocks(), 0u);
}

class OpenTypeExtTest : public CopyTest {
 protected:
   Asn1RTDList src;
   const ASN1OCTET first[3] = {0x02, 0x01, 0x07};
   const ASN1OCTET second[2] = {0x05, 0x00};
   // Builds the source as a decoder does: node and open type in one block.
   void SetUp() override {
      CopyTest::SetUp();
      rtDListInit(&src);
      for (const ASN1TOpenType& value : {ASN1TOpenType{3, first, 0}, ASN1TOpenType{2, second, 0}}) {
         unsigned char* block = static_cast<unsigned char*>(
            ASN1MALLOCZ(&ctxt, sizeof(Asn1RTDListNode) + sizeof(ASN1TOpenType)));
         ASSERT_NE(block, nullptr);
         ASN1TOpenType* open = reinterpret_cast<ASN1TOpenType*>(block + sizeof(Asn1RTDListNode));
         *open = value;
         rtDListAppendNode(&ctxt, &src, open);
      }
      ASSERT_NE(rtDListAppend(&ctxt, &src, nullptr), nullptr);  // skipped by the copy
      baseBlocks = liveBlocks();
   }
   void TearDown() override {
      rtDListFreeAll(&ctxt, &src);
      CopyTest::TearDown();
   }
   size_t baseBlocks = 0;
};

TEST_F(OpenTypeExtTest, CopiesEachOpenTypeIntoItsOwnRecord) {
   Asn1RTDList dst;
   dst.count = 42;  // initialised by the copy
   ASSERT_EQ(rtCopyOpenTypeExt(&ctxt, &src, &dst), 1);
   ASSERT_EQ(dst.count, 2u);
   const ASN1OCTET* expected[] = {first, second};
   int i = 0;
   for (const Asn1RTDListNode* node = dst.head; node != nullptr; node = node->next, i++) {
      const ASN1TOpenType* open = static_cast<const ASN1TOpenType*>(node->data);
      EXPECT_EQ(rtMemHeapBlockSize(node), sizeof(Asn1RTDListNode));  // node apart from record
      EXPECT_EQ(rtMemHeapBlockSize(open), sizeof(ASN1TOpenType));
      EXPECT_NE(open->data, expected[i]);
      EXPECT_EQ(bytes(open->data, open->numocts), bytes(expected[i], 3 - i));
   }
   EXPECT_EQ(liveBlocks(), baseBlocks + 6);  // node, record and octets per element
   rtMemFreeOpenSeqExt(&ctxt, &dst);
   EXPECT_EQ(liveBlocks(), baseBlocks);
   EXPECT_EQ(dst.count, 0u);

   EXPECT_EQ(rtCopyOpenTypeExt(&ctxt, nullptr, &dst), 0);
   EXPECT_EQ(rtCopyOpenTypeExt(&ctxt, &src, nullptr), 0);
}

TEST_F(OpenTypeExtTest, FirstFailureEndsTheCopy) {
   // Each element takes a record, its octets and a node, in that order.
   struct Case {
      int allowed;
      ASN1UINT copied;
   };
   for (const Case& tc : {Case{0, 0}, Case{1, 0}, Case{2, 0}, Case{3, 1}, Case{5, 1}}) {
      SCOPED_TRACE(tc.allowed);
      Asn1RTDList dst;
      failAfter(tc.allowed);
      EXPECT_EQ(rtCopyOpenTypeExt(&ctxt, &src, &dst), 0);
      failAfter(-1);
      EXPECT_EQ(dst.count, tc.copied);
      rtMemFreeOpenSeqExt(&ctxt, &dst);
      EXPECT_EQ(liveBlocks(), baseBlocks);
   }
}

}
