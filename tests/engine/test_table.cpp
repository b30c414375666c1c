// Table-constrained open types on the BER side: resolved through the
// object set after decoding and re-encoded from the decoded value before
// encoding; unknown identifiers and objects without type stay raw.
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "engine_fixture.h"

using namespace testmodule;

namespace {

class TableTest : public EngineTest {};

TEST_F(TableTest, UnknownAlgorithmKeepsItsParametersRaw) {
   const std::string input = "30 0A 06 03 2A 03 09 A1 03 02 01 07";
   AlgorithmIdentifier a{};
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &a, input), RTS_OK);
   EXPECT_EQ(a.parameters.decoded, nullptr);
   EXPECT_EQ(text(a.parameters.data, a.parameters.numocts), H("A1 03 02 01 07"));
   EXPECT_EQ(encode(&tAlgorithmIdentifier, &a), H(input));
}

TEST_F(TableTest, NullParametersDecodeToNoValueAndEncodeAsNull) {
   AlgorithmIdentifier a{};
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &a, "30 0D 06 09 2A 86 48 86 F7 0D 01 01 01 05 00"),
             RTS_OK);
   EXPECT_EQ(a.parameters.decoded, nullptr);
   EXPECT_EQ(a.parameters.numocts, 2u);

   // A value built by hand: present parameters without octets get a NULL.
   AlgorithmIdentifier built{};
   built.algorithm = oid({1, 2, 840, 113549, 1, 1, 1});
   built.m.parametersPresent = 1;
   EXPECT_EQ(encode(&tAlgorithmIdentifier, &built),
             H("30 0D 06 09 2A 86 48 86 F7 0D 01 01 01 05 00"));
   EXPECT_EQ(text(built.parameters.data, built.parameters.numocts), H("05 00"));
   built.m.parametersPresent = 0;
   EXPECT_EQ(encode(&tAlgorithmIdentifier, &built), H("30 0B 06 09 2A 86 48 86 F7 0D 01 01 01"));
}

TEST_F(TableTest, KnownParametersAreDecodedAndEncodedFromTheDecodedValue) {
   AlgorithmIdentifier a{};
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &a, "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 AB CD"),
             RTS_OK);
   Params* p = static_cast<Params*>(a.parameters.decoded);
   ASSERT_NE(p, nullptr);
   EXPECT_EQ(p->a, 5);
   EXPECT_EQ(text(p->b.data, p->b.numocts), H("AB CD"));

   p->a = 300;
   EXPECT_EQ(encode(&tAlgorithmIdentifier, &a), H("30 0F 06 03 2A 03 04 30 08 02 02 01 2C 04 02 AB CD"));
   EXPECT_EQ(text(a.parameters.data, a.parameters.numocts), H("30 08 02 02 01 2C 04 02 AB CD"));
}

TEST_F(TableTest, ParametersOfTheWrongTypeFailTheWholeDecode) {
   AlgorithmIdentifier a{};
   EXPECT_EQ(decode(&tAlgorithmIdentifier, &a, "30 09 06 03 2A 03 04 02 02 01 2C"), RTS_NOT_FOUND);
   rtErrReset(&ctxt.errInfo);
   Record r{};
   EXPECT_EQ(decode(&tRecord, &r,
                    "30 19 02 01 01 30 05 06 03 2A 03 04 17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A"),
             RTS_OK);
   rtErrReset(&ctxt.errInfo);
   EXPECT_EQ(decode(&tRecord, &r,
                    "30 1B 02 01 01 30 07 06 03 2A 03 04 05 00 17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A"),
             RTS_NOT_FOUND);
}

TEST_F(TableTest, ObjectWithoutTypeLeavesTheParametersRaw) {
   const std::string input = "30 08 06 03 2A 03 05 02 01 01";
   AlgorithmIdentifier a{};
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &a, input), RTS_OK);
   EXPECT_EQ(a.parameters.decoded, nullptr);
   EXPECT_EQ(encode(&tAlgorithmIdentifier, &a), H(input));
}

TEST_F(TableTest, DecodingContinuesBehindAResolvedOpenType) {
   Record r{};
   ASSERT_EQ(decode(&tRecord, &r,
                    "30 22 02 01 01 30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 AB CD"
                    "17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A"),
             RTS_OK);
   EXPECT_EQ(unread(), 0u);
   ASSERT_NE(r.algorithm.parameters.decoded, nullptr);
   EXPECT_STREQ(r.validity.u.utcTime, "250101000000Z");
}

TEST_F(TableTest, ExtensionValueIsDecodedBesideItsOctetString) {
   Extension e{};
   ASSERT_EQ(decode(&tExtension, &e, "30 0B 06 03 55 1D 0F 04 04 03 02 05 A0"), RTS_OK);
   EXPECT_EQ(e.extnObject.numocts, e.extnValue.numocts);
   EXPECT_EQ(e.extnObject.data, e.extnValue.data);
   const KeyUsage* usage = static_cast<const KeyUsage*>(e.extnObject.decoded);
   ASSERT_NE(usage, nullptr);
   EXPECT_EQ(usage->numbits, 3u);
   EXPECT_EQ(usage->data[0], 0xA0);

   KeyUsage* changed = static_cast<KeyUsage*>(e.extnObject.decoded);
   changed->numbits = 9;
   changed->data[0] = 0x86;
   changed->data[1] = 0x80;
   EXPECT_EQ(encode(&tExtension, &e), H("30 0C 06 03 55 1D 0F 04 05 03 03 07 86 80"));
   EXPECT_EQ(text(e.extnValue.data, e.extnValue.numocts), H("03 03 07 86 80"));
   EXPECT_EQ(e.extnObject.data, e.extnValue.data);
}

TEST_F(TableTest, ExtensionsAreFoundByTheirWholeIdentifier) {
   struct Case {
      std::string input;
      bool resolved;
   } cases[] = {
      {"30 10 06 03 55 1D 1E 04 09 30 07 02 01 05 04 02 01 02", false},    // 2.5.29.30
      {"30 11 06 04 55 1D 1E 01 04 09 30 07 02 01 05 04 02 01 02", true},  // 2.5.29.30.1
      {"30 07 06 03 55 1D 0F 04 00", false},                               // keyUsage, no octets
   };
   for (const Case& c : cases) {
      Extension e{};
      EXPECT_EQ(roundTrip(&tExtension, &e, c.input), H(c.input));
      EXPECT_EQ(e.extnObject.decoded != nullptr, c.resolved) << c.input;
      EXPECT_EQ(e.extnObject.numocts, e.extnValue.numocts);
   }
}

TEST_F(TableTest, EveryValueOfAnAttributeIsDecoded) {
   const std::string input = "30 14 06 03 55 04 03 31 0D 13 02 41 42 0C 03 E2 82 AC 1E 02 00 41";
   Attribute a{};
   ASSERT_EQ(decode(&tAttribute, &a, input), RTS_OK);
   ASSERT_EQ(a.values.count, 3u);
   ASN1UINT selector = 1;
   for (const Asn1RTDListNode* node = a.values.head; node != nullptr; node = node->next) {
      const DirString* value = static_cast<const DirString*>(static_cast<Asn1TObject*>(node->data)->decoded);
      ASSERT_NE(value, nullptr);
      EXPECT_EQ(value->t, selector++);
   }
   EXPECT_EQ(encode(&tAttribute, &a), H("30 14 06 03 55 04 03 31 0D 0C 03 E2 82 AC 13 02 41 42 1E 02 00 41"));
}

TEST_F(TableTest, FirstValueThatFailsStopsTheAttribute) {
   Attribute a{};
   EXPECT_EQ(decode(&tAttribute, &a, "30 11 06 03 55 04 03 31 0A 13 02 41 42 02 01 01 13 01 43"),
             RTS_BAD_CHOICE);
   ASSERT_EQ(a.values.count, 3u);
   const Asn1TObject* first = static_cast<Asn1TObject*>(a.values.head->data);
   const Asn1TObject* last = static_cast<Asn1TObject*>(a.values.tail->data);
   EXPECT_NE(first->decoded, nullptr);
   EXPECT_EQ(last->decoded, nullptr);
}

TEST_F(TableTest, ContentInsideAnOptionalOctetString) {
   Wrapped w{};
   const std::string input = "30 12 06 03 2A 03 07 A0 0B 04 09 30 07 02 01 05 04 02 AB CD";
   ASSERT_EQ(decode(&tWrapped, &w, input), RTS_OK);
   Params* p = static_cast<Params*>(w.contentObject.decoded);
   ASSERT_NE(p, nullptr);
   EXPECT_EQ(p->a, 5);
   p->a = 6;
   EXPECT_EQ(encode(&tWrapped, &w), H("30 12 06 03 2A 03 07 A0 0B 04 09 30 07 02 01 06 04 02 AB CD"));

   Wrapped absent;
   std::memset(&absent, 0xEE, sizeof(absent));  // stale octets must not be mirrored
   ASSERT_EQ(decode(&tWrapped, &absent, "30 05 06 03 2A 03 07"), RTS_OK);
   EXPECT_EQ(absent.m.contentPresent, 0u);
   EXPECT_EQ(absent.contentObject.numocts, 0u);
   EXPECT_EQ(absent.contentObject.data, nullptr);
   EXPECT_EQ(absent.contentObject.decoded, nullptr);
   EXPECT_EQ(encode(&tWrapped, &absent), H("30 05 06 03 2A 03 07"));
}

TEST_F(TableTest, LookupFindsTheFirstObjectWithEqualArcs) {
   EXPECT_EQ(asn1rt::lookupObject(&supportedAlgorithms, oid({1, 2, 3, 4})), &paramsObject);
   EXPECT_EQ(asn1rt::lookupObject(&supportedAlgorithms, oid({1, 2, 840, 113549, 1, 1, 1})), &rsaObject);
   EXPECT_EQ(asn1rt::lookupObject(&supportedAlgorithms, oid({1, 2, 3})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&supportedAlgorithms, oid({1, 2, 3, 4, 0})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&supportedAlgorithms, oid({1, 2, 3, 6})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(nullptr, oid({1, 2, 3, 4})), nullptr);
   const ObjectSetDesc emptySet = {"Empty", nullptr, 0};
   EXPECT_EQ(asn1rt::lookupObject(&emptySet, oid({1, 2, 3, 4})), nullptr);
}

// Sets larger than the index's first size, identifiers that differ only in
// their first arc or in their length, and a set rebuilt at the same address
// with other objects, which must not be answered from the earlier index.
TEST_F(TableTest, LookupIndexesLargeAndReplacedSets) {
   const size_t count = 300;
   std::vector<std::vector<ASN1UINT>> arcs;
   for (ASN1UINT i = 0; i < count; i++) arcs.push_back({i % 3, 5, 4, i / 3});
   std::vector<ObjectDesc> objects;
   for (const auto& a : arcs)
      objects.push_back({"o", static_cast<ASN1UINT>(a.size()), a.data(), &tInteger});
   std::vector<const ObjectDesc*> pointers;
   for (const ObjectDesc& o : objects) pointers.push_back(&o);
   ObjectSetDesc big = {"Big", pointers.data(), static_cast<uint16_t>(count)};
   for (size_t i = 0; i < count; i++)
      EXPECT_EQ(asn1rt::lookupObject(&big, oid({arcs[i][0], 5, 4, arcs[i][3]})), &objects[i]);
   EXPECT_EQ(asn1rt::lookupObject(&big, oid({0, 5, 4})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&big, oid({0, 5, 4, 0, 0})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&big, oid({0, 5, 4, 100})), nullptr);

   const ObjectDesc* const others[] = {&keyUsageObject};
   big.objects = others;
   big.objectCount = 1;
   EXPECT_EQ(asn1rt::lookupObject(&big, oid({0, 5, 4, 0})), nullptr);
   EXPECT_EQ(asn1rt::lookupObject(&big, oid({2, 5, 29, 15})), &keyUsageObject);
}

// Every thread builds and searches indexes of its own, so conversions may
// run in several threads at once.
TEST_F(TableTest, LookupsFromSeveralThreadsAgree) {
   const size_t count = 300;
   std::vector<std::vector<ASN1UINT>> arcs;
   for (ASN1UINT i = 0; i < count; i++) arcs.push_back({2, 5, 29, i});
   std::vector<ObjectDesc> objects;
   for (const auto& a : arcs)
      objects.push_back({"o", static_cast<ASN1UINT>(a.size()), a.data(), &tInteger});
   std::vector<const ObjectDesc*> pointers;
   for (const ObjectDesc& o : objects) pointers.push_back(&o);
   const ObjectSetDesc shared = {"Shared", pointers.data(), static_cast<uint16_t>(count)};
   std::atomic<int> mismatches{0};
   std::vector<std::thread> threads;
   for (int t = 0; t < 4; t++)
      threads.emplace_back([&] {
         for (int round = 0; round < 20; round++)
            for (ASN1UINT i = 0; i < count; i++)
               if (asn1rt::lookupObject(&shared, oid({2, 5, 29, i})) != &objects[i]) mismatches++;
      });
   for (std::thread& thread : threads) thread.join();
   EXPECT_EQ(mismatches.load(), 0);
}

TEST_F(TableTest, StepsLeaveTheCallersBufferAsItWas) {
   AlgorithmIdentifier a{};
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &a, "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 AB CD"),
             RTS_OK);
   const ASN1BUFFER before = ctxt.buffer;
   const ASN1USINT flags = ctxt.flags;
   ASSERT_EQ(asn1rt::tableDecode(&ctxt, &tAlgorithmIdentifier, &a), RTS_OK);
   ASSERT_EQ(asn1rt::tableEncode(&ctxt, &tAlgorithmIdentifier, &a), RTS_OK);
   EXPECT_EQ(ctxt.buffer.data, before.data);
   EXPECT_EQ(ctxt.buffer.byteIndex, before.byteIndex);
   EXPECT_EQ(ctxt.buffer.size, before.size);
   EXPECT_EQ(ctxt.flags, flags);
   EXPECT_EQ(text(a.parameters.data, a.parameters.numocts), H("30 07 02 01 05 04 02 AB CD"));
}

}
