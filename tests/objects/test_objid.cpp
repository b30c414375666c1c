// Object identifier values: construction and assignment copy exactly the used
// arcs (cut to the array bound), and equality compares count and arcs.
#include <gtest/gtest.h>

#include <vector>

#include "ASN1TObjId.h"

namespace {

ASN1OBJID makeOid(std::vector<ASN1UINT> arcs) {
   ASN1OBJID oid = {};
   oid.numarcs = static_cast<ASN1UINT>(arcs.size());
   for (size_t i = 0; i < arcs.size(); i++) oid.arcs[i] = arcs[i];
   return oid;
}

std::vector<ASN1UINT> arcsOf(const ASN1OBJID& oid) {
   return std::vector<ASN1UINT>(oid.arcs, oid.arcs + oid.numarcs);
}

TEST(ObjIdTest, ConstructorsCopyTheUsedArcs) {
   const ASN1UINT rsa[] = {1, 2, 840, 113549, 1, 1, 1};
   ASN1TObjId fromArray(7, rsa);
   EXPECT_EQ(arcsOf(fromArray), (std::vector<ASN1UINT>{1, 2, 840, 113549, 1, 1, 1}));
   EXPECT_EQ(fromArray.arcs[7], 0u);

   ASN1OBJID plain = makeOid({2, 5, 4, 3});
   ASN1TObjId fromPlain(plain);
   EXPECT_EQ(arcsOf(fromPlain), (std::vector<ASN1UINT>{2, 5, 4, 3}));

   ASN1TObjId copied(fromArray);
   EXPECT_EQ(arcsOf(copied), arcsOf(fromArray));

   ASN1TObjId empty;
   EXPECT_EQ(empty.numarcs, 0u);
   ASN1TObjId nullArcs(3, nullptr);
   EXPECT_EQ(nullArcs.numarcs, 0u);
}

TEST(ObjIdTest, AssignmentReplacesAllArcs) {
   const ASN1UINT longer[] = {1, 3, 6, 1, 5, 5, 7, 48, 1};
   ASN1TObjId oid(9, longer);
   oid = makeOid({2, 5, 29, 15});
   EXPECT_EQ(arcsOf(oid), (std::vector<ASN1UINT>{2, 5, 29, 15}));
   EXPECT_EQ(oid.arcs[4], 0u) << "arcs of the old value must not linger";

   ASN1TObjId other(makeOid({1, 2}));
   oid = other;
   EXPECT_EQ(arcsOf(oid), (std::vector<ASN1UINT>{1, 2}));
   oid = oid;
   EXPECT_EQ(arcsOf(oid), (std::vector<ASN1UINT>{1, 2}));
}

TEST(ObjIdTest, CountIsCutToTheArrayBound) {
   ASN1UINT many[200];
   for (ASN1UINT i = 0; i < 200; i++) many[i] = i + 1;
   ASN1TObjId fromArray(200, many);
   EXPECT_EQ(fromArray.numarcs, static_cast<ASN1UINT>(MAX_OID_ARCS));
   EXPECT_EQ(fromArray.arcs[MAX_OID_ARCS - 1], static_cast<ASN1UINT>(MAX_OID_ARCS));

   ASN1OBJID broken = makeOid({1, 2, 3});
   broken.numarcs = 5000;
   ASN1TObjId copied(broken);
   EXPECT_EQ(copied.numarcs, static_cast<ASN1UINT>(MAX_OID_ARCS));
}

TEST(ObjIdTest, EqualityComparesCountAndEveryUsedArc) {
   struct Case {
      std::vector<ASN1UINT> lhs, rhs;
      bool equal;
   };
   const Case cases[] = {
      {{}, {}, true},
      {{1, 2, 840, 113549}, {1, 2, 840, 113549}, true},
      {{1, 2, 840, 113549}, {1, 2, 840, 113550}, false},
      {{1, 2, 840}, {1, 2, 840, 113549}, false},
      {{2, 5, 4, 3}, {2, 5, 4}, false},
      {{0}, {}, false},
   };
   for (const Case& c : cases) {
      ASN1OBJID lhs = makeOid(c.lhs), rhs = makeOid(c.rhs);
      EXPECT_EQ(lhs == rhs, c.equal) << ::testing::PrintToString(c.lhs);
      EXPECT_EQ(lhs != rhs, !c.equal) << ::testing::PrintToString(c.lhs);
   }
   // Arcs beyond numarcs take no part.
   ASN1OBJID lhs = makeOid({1, 2}), rhs = makeOid({1, 2});
   lhs.arcs[2] = 7;
   rhs.arcs[2] = 9;
   EXPECT_TRUE(lhs == rhs);
}

TEST(ObjIdTest, SixtyFourBitArcs) {
   const ASN1INT64 arcs[] = {2, 999, 1LL << 40, -5};
   ASN1TObjId64 oid(4, arcs);
   EXPECT_EQ(oid.numarcs, 4u);
   EXPECT_EQ(oid.arcs[2], 1LL << 40);
   EXPECT_EQ(oid.arcs[3], -5);

   ASN1TObjId64 copy(oid);
   EXPECT_TRUE(copy == oid);
   copy.arcs[2] += 1;
   EXPECT_TRUE(copy != oid);

   ASN1TObjId64 assigned;
   EXPECT_EQ(assigned.numarcs, 0u);
   assigned = static_cast<const ASN1OID64&>(oid);
   EXPECT_TRUE(assigned == oid);
   assigned = ASN1TObjId64();
   EXPECT_EQ(assigned.numarcs, 0u);
   EXPECT_EQ(assigned.arcs[0], 0);
}

}
