/* The nesting limit: a value of Nest ::= SEQUENCE OF Nest decodes, encodes,
   copies and converts up to 256 structured levels; one more fails with
   RTS_CONSTRAINT in BER decoding and encoding, in XER encoding and in the
   SAX machines, also where the levels continue inside an open type, and the
   count is given back after every failure. */
#include "../asn1gen/generated_fixture.h"
#include "engineInternal.h"
#include "rtList.h"

using namespace asn1data;

namespace {

constexpr int kLimit = static_cast<int>(asn1rt::detail::kMaxNesting);

/* `depth` levels with indefinite lengths, or as DER: only the innermost
   list is empty. */
std::string nestBer(int depth) {
   std::string ber;
   for (int i = 0; i < depth; i++) ber = "3080" + ber + "0000";
   return ber;
}

std::string nestDer(int depth) {
   std::string der = "3000";
   for (int i = 1; i < depth; i++) der = tlv("30", der);
   return der;
}

std::string nestXml(int depth) {
   std::string xml;
   for (int i = 0; i < depth; i++) xml = "<Nest>" + xml + "</Nest>";
   return xml;
}

/* Levels of a Nest value, following the first element of each list. */
int depthOf(const Asn1RTDList& list) {
   int depth = 1;
   for (const Asn1RTDList* level = &list; level->head != nullptr; depth++)
      level = static_cast<const Asn1RTDList*>(level->head->data);
   return depth;
}

class NestingTest : public GeneratedTest {
 protected:
   /* A Nest one level deeper than `inner`, which it takes over. */
   void wrap(ASN1T_Nest& nest) {
      char* block = static_cast<char*>(
         ASN1MALLOCZ(&ctxt, sizeof(Asn1RTDListNode) + asn1Desc_Nest.valueSize));
      ASSERT_NE(block, nullptr);
      Asn1RTDList* element = reinterpret_cast<Asn1RTDList*>(block + sizeof(Asn1RTDListNode));
      *element = nest;
      rtDListInit(&nest);
      rtDListAppendNode(&ctxt, &nest, element);
   }
};

TEST_F(NestingTest, BerDecodingStopsOneLevelPastTheLimit) {
   ASN1T_Nest nest, tooDeep, again;
   ASSERT_EQ(decode(asn1D_Nest, nest, nestBer(kLimit)), RTS_OK);
   EXPECT_EQ(depthOf(nest), kLimit);
   EXPECT_EQ(der(asn1E_Nest, nest), nestDer(kLimit));
   EXPECT_EQ(decode(asn1D_Nest, tooDeep, nestBer(kLimit + 1)), RTS_CONSTRAINT);
   asn1Free_Nest(&ctxt, &tooDeep);
   rtErrReset(&ctxt.errInfo);
   /* Every level was given back on the way out. */
   ASSERT_EQ(decode(asn1D_Nest, again, nestBer(kLimit)), RTS_OK);
   EXPECT_EQ(depthOf(again), kLimit);
}

TEST_F(NestingTest, EncodingStopsOneLevelPastTheLimitAndCopyLeavesDeeperLevelsEmpty) {
   ASN1T_Nest nest, copy, deepCopy;
   ASSERT_EQ(decode(asn1D_Nest, nest, nestDer(kLimit)), RTS_OK);
   EXPECT_EQ(xer(asn1Desc_Nest, &nest), nestXml(kLimit));
   asn1Copy_Nest(&ctxt, &nest, &copy);
   EXPECT_EQ(depthOf(copy), kLimit);
   wrap(nest);
   EXPECT_EQ(der(asn1E_Nest, nest), status(RTS_CONSTRAINT));
   EXPECT_EQ(xer(asn1Desc_Nest, &nest), status(RTS_CONSTRAINT));
   /* The element at the first level past the limit stays as allocated:
      an empty list. */
   wrap(nest);
   asn1Copy_Nest(&ctxt, &nest, &deepCopy);
   EXPECT_EQ(depthOf(deepCopy), kLimit + 1);
   const size_t before = liveBlocks();
   asn1Free_Nest(&ctxt, &copy);
   EXPECT_EQ(liveBlocks(), before - static_cast<size_t>(kLimit - 1));
   EXPECT_EQ(der(asn1E_Nest, copy), "3000");
}

TEST_F(NestingTest, SaxDecodingStopsOneLevelPastTheLimit) {
   ASN1T_Nest nest, tooDeep, again;
   ASSERT_EQ(readXer(asn1Desc_Nest, &nest, nestXml(kLimit)), RTS_OK);
   EXPECT_EQ(der(asn1E_Nest, nest), nestDer(kLimit));
   EXPECT_EQ(readXer(asn1Desc_Nest, &tooDeep, nestXml(kLimit + 1)), RTS_CONSTRAINT);
   EXPECT_EQ(readXer(asn1Desc_Nest, &tooDeep, nestXml(4 * kLimit)), RTS_CONSTRAINT);
   rtErrReset(&ctxt.errInfo);
   ASSERT_EQ(readXer(asn1Desc_Nest, &again, nestXml(kLimit)), RTS_OK);
   EXPECT_EQ(depthOf(again), kLimit);
}

TEST_F(NestingTest, LevelsInsideAnOpenTypeCountOnTopOfItsCarrier) {
   const std::string id = gentestOid("03 09");
   const std::string xmlStart = "<NestHolder><id>1.3.6.1.4.1.55555.3.9</id><value>";
   /* NestHolder is one level, so its value may have one level less. */
   ASN1T_NestHolder holder, fromText, tooDeep, tooDeepText;
   ASSERT_EQ(decode(asn1D_NestHolder, holder, "3080" + id + nestBer(kLimit - 1) + "0000"), RTS_OK);
   ASSERT_NE(holder.value.decoded, nullptr);
   EXPECT_EQ(depthOf(*static_cast<Asn1RTDList*>(holder.value.decoded)), kLimit - 1);
   const std::string xml = xer(asn1Desc_NestHolder, &holder);
   EXPECT_EQ(xml, xmlStart + nestXml(kLimit - 1) + "</value></NestHolder>");
   ASSERT_EQ(readXer(asn1Desc_NestHolder, &fromText, xml), RTS_OK);
   EXPECT_EQ(der(asn1E_NestHolder, fromText), tlv("30", id + nestDer(kLimit - 1)));

   EXPECT_EQ(decode(asn1D_NestHolder, tooDeep, "3080" + id + nestBer(kLimit) + "0000"),
             RTS_CONSTRAINT);
   EXPECT_EQ(readXer(asn1Desc_NestHolder, &tooDeepText,
                     xmlStart + nestXml(kLimit) + "</value></NestHolder>"),
             RTS_CONSTRAINT);
}

}
