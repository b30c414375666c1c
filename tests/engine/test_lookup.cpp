/* Objects found by their identifier: the first of equal arcs, whole
   identifiers only, sets larger than the index's first size, a set rebuilt
   at the same address, several threads at once; and the table steps, which
   give the caller's buffer back as it was. */
#include <atomic>
#include <thread>
#include <vector>

#include "../asn1gen/generated_fixture.h"
#include "asn1Engine.h"

using namespace asn1data;

namespace {

/* Objects with the arcs {first, 5, 4, last} of the rows given. */
struct Objects {
   explicit Objects(const std::vector<std::vector<ASN1UINT>>& rows) : arcs(rows) {
      for (const auto& a : arcs)
         objects.push_back({"o", static_cast<ASN1UINT>(a.size()), a.data(), &asn1Desc_Params});
      for (const asn1rt::ObjectDesc& o : objects) pointers.push_back(&o);
      set = {"Set", pointers.data(), static_cast<uint16_t>(pointers.size())};
   }
   std::vector<std::vector<ASN1UINT>> arcs;
   std::vector<asn1rt::ObjectDesc> objects;
   std::vector<const asn1rt::ObjectDesc*> pointers;
   asn1rt::ObjectSetDesc set;
};

class LookupTest : public GeneratedTest {};

TEST_F(LookupTest, FirstObjectWithEqualArcs) {
   Objects small({{1, 2, 3, 4}, {1, 2, 3}, {1, 2, 3, 4}});
   EXPECT_EQ(asn1rt::lookupObject(&small.set, oidOf({1, 2, 3, 4})), &small.objects[0]);
   EXPECT_EQ(asn1rt::lookupObject(&small.set, oidOf({1, 2, 3})), &small.objects[1]);
   EXPECT_EQ(asn1rt::lookupObject(&small.set, oidOf({1, 2})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&small.set, oidOf({1, 2, 3, 4, 0})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&small.set, oidOf({1, 2, 3, 6})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(nullptr, oidOf({1, 2, 3, 4})), nullptr);
   const asn1rt::ObjectSetDesc empty = {"Empty", nullptr, 0};
   EXPECT_EQ(asn1rt::lookupObject(&empty, oidOf({1, 2, 3, 4})), nullptr);
}

TEST_F(LookupTest, LargeAndReplacedSets) {
   std::vector<std::vector<ASN1UINT>> rows;
   for (ASN1UINT i = 0; i < 300; i++) rows.push_back({i % 3, 5, 4, i / 3});
   Objects big(rows);
   for (size_t i = 0; i < rows.size(); i++)
      EXPECT_EQ(asn1rt::lookupObject(&big.set, oidOf({rows[i][0], 5, 4, rows[i][3]})),
                &big.objects[i]);
   EXPECT_EQ(asn1rt::lookupObject(&big.set, oidOf({0, 5, 4})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&big.set, oidOf({0, 5, 4, 0, 0})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&big.set, oidOf({0, 5, 4, 100})), nullptr);
   /* Rebuilt at the same address: not answered from the earlier index. */
   Objects other({{2, 5, 29, 15}});
   big.set.objects = other.pointers.data();
   big.set.objectCount = 1;
   EXPECT_EQ(asn1rt::lookupObject(&big.set, oidOf({0, 5, 4, 0})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&big.set, oidOf({2, 5, 29, 15})), &other.objects[0]);
}

TEST_F(LookupTest, ThreadsBuildIndexesOfTheirOwn) {
   std::vector<std::vector<ASN1UINT>> rows;
   for (ASN1UINT i = 0; i < 300; i++) rows.push_back({2, 5, 29, i});
   const Objects shared(rows);
   std::atomic<int> mismatches{0};
   std::vector<std::thread> threads;
   for (int t = 0; t < 4; t++)
      threads.emplace_back([&] {
         for (int round = 0; round < 20; round++)
            for (ASN1UINT i = 0; i < rows.size(); i++)
               if (asn1rt::lookupObject(&shared.set, oidOf({2, 5, 29, i})) != &shared.objects[i])
                  mismatches++;
      });
   for (std::thread& thread : threads) thread.join();
   EXPECT_EQ(mismatches.load(), 0);
}

TEST_F(LookupTest, TableStepsLeaveTheCallersBufferAsItWas) {
   ASN1T_AlgorithmIdentifier a;
   ASSERT_EQ(
       decode(asn1D_AlgorithmIdentifier, a, tlv("30", gentestOid("01 02") + "30 03 02 01 05")),
       RTS_OK);
   const ASN1BUFFER before = ctxt.buffer;
   const ASN1USINT flags = ctxt.flags;
   ASSERT_EQ(asn1rt::tableDecode(&ctxt, &asn1Desc_AlgorithmIdentifier, &a), RTS_OK);
   ASSERT_EQ(asn1rt::tableEncode(&ctxt, &asn1Desc_AlgorithmIdentifier, &a), RTS_OK);
   EXPECT_EQ(ctxt.buffer.data, before.data);
   EXPECT_EQ(ctxt.buffer.byteIndex, before.byteIndex);
   EXPECT_EQ(ctxt.buffer.size, before.size);
   EXPECT_EQ(ctxt.flags, flags);
   EXPECT_EQ(hexOf(a.parameters.data, a.parameters.numocts), H("30 03 02 01 05"));
}

}
