// The nesting limit: a value of a recursive type (Nest ::= SEQUENCE OF Nest)
// decodes, encodes, copies and converts up to 256 structured levels; one
// more fails with RTS_CONSTRAINT (-23) in BER decoding and encoding, in XER
// encoding and in the SAX machines, also where the levels continue inside
// an open type, and the count is given back after every failure.
#include <string>

#include "engineInternal.h"
#include "rtList.h"
#include "xer_fixture.h"

using namespace testmodule;

namespace {

constexpr int kLimit = static_cast<int>(asn1rt::detail::kMaxNesting);

/* `depth` Nest values inside each other, with indefinite lengths. */
std::string nestDer(int depth) {
   std::string der;
   for (int i = 0; i < depth; i++) der += "3080";
   for (int i = 0; i < depth; i++) der += "0000";
   return der;
}

/* The same as DER: only the innermost list is empty. */
std::string nestDefiniteDer(int depth) {
   std::string der = "3000";
   for (int i = 1; i < depth; i++) {
      const size_t length = der.size() / 2;
      std::string header = "30";
      if (length < 0x80) {
         header += testsupport::toHex(std::string(1, static_cast<char>(length)));
      } else if (length < 0x100) {
         header += "81" + testsupport::toHex(std::string(1, static_cast<char>(length)));
      } else {
         header += "82" + testsupport::toHex(std::string{static_cast<char>(length >> 8),
                                                         static_cast<char>(length & 0xFF)});
      }
      der = header + der;
   }
   return der;
}

std::string nestXml(int depth) {
   std::string xml;
   for (int i = 0; i < depth; i++) xml += "<Nest>";
   for (int i = 0; i < depth; i++) xml += "</Nest>";
   return xml;
}

/* Levels of a Nest value, following the first element of each list. */
int depthOf(const Asn1RTDList& list) {
   int depth = 1;
   for (const Asn1RTDList* level = &list; level->head != nullptr; depth++)
      level = static_cast<const Asn1RTDList*>(level->head->data);
   return depth;
}

class NestingTest : public XerTest {
 protected:
   /* A Nest one level deeper than `inner`, which it takes over. */
   Asn1RTDList wrap(const Asn1RTDList& inner) {
      Asn1RTDList outer;
      rtDListInit(&outer);
      char* block = static_cast<char*>(
         ASN1MALLOCZ(&ctxt, sizeof(Asn1RTDListNode) + sizeof(Asn1RTDList)));
      EXPECT_NE(block, nullptr);
      Asn1RTDList* element = reinterpret_cast<Asn1RTDList*>(block + sizeof(Asn1RTDListNode));
      *element = inner;
      rtDListAppendNode(&ctxt, &outer, element);
      return outer;
   }
};

TEST_F(NestingTest, BerDecodingStopsOneLevelPastTheLimit) {
   Asn1RTDList nest;
   ASSERT_EQ(decode(&tNest, &nest, nestDer(kLimit)), RTS_OK);
   EXPECT_EQ(depthOf(nest), kLimit);
   EXPECT_EQ(unread(), 0u);

   Asn1RTDList tooDeep;
   EXPECT_EQ(decode(&tNest, &tooDeep, nestDer(kLimit + 1)), RTS_CONSTRAINT);
   EXPECT_EQ(ctxt.errInfo.status, RTS_CONSTRAINT);
   /* The partly decoded value can be released. */
   asn1rt::freeValue(&ctxt, &tNest, &tooDeep);

   /* Every level was given back on the way out. */
   rtErrReset(&ctxt.errInfo);
   Asn1RTDList again;
   ASSERT_EQ(decode(&tNest, &again, nestDer(kLimit)), RTS_OK);
   EXPECT_EQ(depthOf(again), kLimit);
}

TEST_F(NestingTest, BerAndXerEncodingStopOneLevelPastTheLimit) {
   Asn1RTDList nest;
   ASSERT_EQ(decode(&tNest, &nest, nestDefiniteDer(kLimit)), RTS_OK);
   EXPECT_EQ(encode(&tNest, &nest), nestDefiniteDer(kLimit));
   EXPECT_EQ(toXer(&tNest, &nest, true), nestXml(kLimit));

   Asn1RTDList deeper = wrap(nest);
   EXPECT_EQ(depthOf(deeper), kLimit + 1);
   EXPECT_EQ(encode(&tNest, &deeper), status(RTS_CONSTRAINT));
   EXPECT_EQ(toXer(&tNest, &deeper, true), status(RTS_CONSTRAINT));
   EXPECT_EQ(encode(&tNest, &nest), nestDefiniteDer(kLimit));
}

TEST_F(NestingTest, CopyLeavesLevelsPastTheLimitEmptyAndFreeReleasesTheRest) {
   Asn1RTDList nest;
   ASSERT_EQ(decode(&tNest, &nest, nestDer(kLimit)), RTS_OK);
   Asn1RTDList copy;
   asn1rt::copyValue(&ctxt, &tNest, &nest, &copy);
   EXPECT_EQ(depthOf(copy), kLimit);

   /* The element at the first level past the limit stays as allocated:
      an empty list. */
   const Asn1RTDList deeper = wrap(wrap(nest));
   Asn1RTDList deepCopy;
   asn1rt::copyValue(&ctxt, &tNest, &deeper, &deepCopy);
   EXPECT_EQ(depthOf(deepCopy), kLimit + 1);

   const size_t before = liveBlocks();
   asn1rt::freeValue(&ctxt, &tNest, &copy);
   EXPECT_EQ(liveBlocks(), before - static_cast<size_t>(kLimit - 1));
   EXPECT_EQ(copy.count, 0u);
}

TEST_F(NestingTest, SaxDecodingStopsOneLevelPastTheLimit) {
   Asn1RTDList nest;
   ASSERT_EQ(fromXer(&tNest, &nest, nestXml(kLimit)), RTS_OK);
   EXPECT_EQ(depthOf(nest), kLimit);
   EXPECT_EQ(encode(&tNest, &nest), nestDefiniteDer(kLimit));

   Asn1RTDList tooDeep;
   EXPECT_EQ(fromXer(&tNest, &tooDeep, nestXml(kLimit + 1)), RTS_CONSTRAINT);
   EXPECT_EQ(fromXer(&tNest, &tooDeep, nestXml(4 * kLimit)), RTS_CONSTRAINT);

   rtErrReset(&ctxt.errInfo);
   Asn1RTDList again;
   ASSERT_EQ(fromXer(&tNest, &again, nestXml(kLimit)), RTS_OK);
   EXPECT_EQ(depthOf(again), kLimit);
}

TEST_F(NestingTest, LevelsInsideAnOpenTypeCountOnTopOfItsCarrier) {
   const std::string holderStart = "30 80 06 03 2A 03 09";
   /* NestHolder is one level, so its value may have one level less. */
   NestHolder holder{};
   ASSERT_EQ(decode(&tNestHolder, &holder, holderStart + nestDer(kLimit - 1) + "0000"), RTS_OK);
   ASSERT_NE(holder.value.decoded, nullptr);
   EXPECT_EQ(depthOf(*static_cast<Asn1RTDList*>(holder.value.decoded)), kLimit - 1);

   const std::string xml = toXer(&tNestHolder, &holder, true);
   EXPECT_EQ(xml, "<NestHolder><id>1.2.3.9</id><value>" + nestXml(kLimit - 1) +
                     "</value></NestHolder>");
   NestHolder fromText{};
   ASSERT_EQ(fromXer(&tNestHolder, &fromText, xml), RTS_OK);
   ASSERT_NE(fromText.value.decoded, nullptr);
   EXPECT_EQ(depthOf(*static_cast<Asn1RTDList*>(fromText.value.decoded)), kLimit - 1);

   NestHolder tooDeep{};
   EXPECT_EQ(decode(&tNestHolder, &tooDeep, holderStart + nestDer(kLimit) + "0000"), RTS_CONSTRAINT);
   NestHolder tooDeepText{};
   EXPECT_EQ(fromXer(&tNestHolder, &tooDeepText,
                     "<NestHolder><id>1.2.3.9</id><value>" + nestXml(kLimit) +
                        "</value></NestHolder>"),
             RTS_CONSTRAINT);
}

}
