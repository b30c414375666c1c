// Object identifier values: copies take exactly the used arcs (cut to the
// array bound), equality compares count and used arcs.
#include <gtest/gtest.h>

#include <vector>

#include "ASN1TObjId.h"

namespace {

std::vector<ASN1UINT> arcsOf(const ASN1OBJID& oid) { return {oid.arcs, oid.arcs + oid.numarcs}; }

TEST(ObjId, CopiesAndEquality) {
   ASN1UINT many[200];
   for (ASN1UINT i = 0; i < 200; i++) many[i] = i + 1;
   ASN1TObjId oid(9, many);
   ASN1TObjId shorter(ASN1TObjId(4, many + 10));
   oid = shorter;
   EXPECT_EQ(arcsOf(oid), (std::vector<ASN1UINT>{11, 12, 13, 14}));
   EXPECT_EQ(oid.arcs[4], 0u) << "arcs of the old value must not linger";
   oid = ASN1TObjId(1, many);
   EXPECT_EQ(arcsOf(oid), (std::vector<ASN1UINT>{1}));
   EXPECT_EQ(ASN1TObjId(3, nullptr).numarcs, 0u);
   EXPECT_EQ(ASN1TObjId(200, many).numarcs, static_cast<ASN1UINT>(MAX_OID_ARCS));
   ASN1OBJID broken = ASN1TObjId(3, many);
   broken.numarcs = 5000;
   EXPECT_EQ(ASN1TObjId(broken).numarcs, static_cast<ASN1UINT>(MAX_OID_ARCS));

   ASN1TObjId a(4, many), b(4, many);
   b.arcs[4] = 99; /* beyond numarcs: no part of the value */
   EXPECT_TRUE(a == b);
   b.arcs[3] = 99;
   EXPECT_TRUE(a != b);
   EXPECT_FALSE(ASN1TObjId(3, many) == a);
   EXPECT_FALSE(ASN1TObjId(1, many) == ASN1TObjId());

   const ASN1INT64 wide[] = {2, 999, 1LL << 40, -5};
   ASN1TObjId64 oid64(4, wide), other(3, wide);
   EXPECT_TRUE(ASN1TObjId64(oid64) == oid64 && oid64 != other);
}

}
