/* Information object classes, objects and sets that asn1gen generates for
   its test module, and the table-constraint functions of the constrained
   types. */
#include <gtest/gtest.h>

#include "berBuffers.h"
#include "generated_fixture.h"

using namespace asn1data;

namespace {

class GeneratedObjectsTest : public GeneratedTest {
 protected:
   void readFrom(const std::string& hexText) {
      input = testsupport::fromHex(hexText);
      ASSERT_EQ(xd_setp(&ctxt, reinterpret_cast<const ASN1OCTET*>(input.data()),
                        static_cast<int>(input.size())),
                RTS_OK);
   }
};

TEST_F(GeneratedObjectsTest, SetsAreSingletonsHoldingTheirObjectsInOrder) {
   SupportedAlgorithms* algorithms = SupportedAlgorithms::instance(&ctxt);
   EXPECT_EQ(SupportedAlgorithms::instance(nullptr), algorithms);
   ASSERT_EQ(algorithms->getCount(), 3u);
   EXPECT_NE(dynamic_cast<plainAlg*>(algorithms->getObject(0)), nullptr);
   EXPECT_NE(dynamic_cast<paramsAlg*>(algorithms->getObject(1)), nullptr);
   EXPECT_NE(dynamic_cast<nullAlg*>(algorithms->getObject(2)), nullptr);
   EXPECT_EQ(algorithms->getObject(3), nullptr);

   /* A set of one module that takes objects from the other. */
   MessageAttributes* attributes = MessageAttributes::instance(&ctxt);
   ASSERT_EQ(attributes->getCount(), 3u);
   EXPECT_NE(dynamic_cast<title*>(attributes->getObject(0)), nullptr);
   EXPECT_NE(dynamic_cast<commonName*>(attributes->getObject(1)), nullptr);
   EXPECT_NE(dynamic_cast<serialNumber*>(attributes->getObject(2)), nullptr);

   EXPECT_EQ(NoAlgorithms::instance(&ctxt)->getCount(), 0u);
   EXPECT_EQ(NoAlgorithms::instance(&ctxt)->lookupObject(id_alg_plain), nullptr);
}

TEST_F(GeneratedObjectsTest, LookupFindsObjectsOfTheSetOnly) {
   ALGORITHM* found = SupportedAlgorithms::instance(&ctxt)->lookupObject(id_alg_params);
   ASSERT_NE(found, nullptr);
   EXPECT_EQ(found->id, id_alg_params);
   EXPECT_EQ(SupportedAlgorithms::instance(&ctxt)->lookupObject(oidOf({1, 2, 3})), nullptr);
   /* recordExt belongs to no set. */
   EXPECT_EQ(ExtensionSet::instance(&ctxt)->lookupObject(id_ext_record), nullptr);
   recordExt outside;
   EXPECT_EQ(outside.id, id_ext_record);
}

TEST_F(GeneratedObjectsTest, ObjectsCarryTheirFieldSettings) {
   plainAlg plain;
   paramsAlg params;
   EXPECT_EQ(plain.m.TypePresent, 0);
   EXPECT_EQ(params.m.TypePresent, 1);
   flagsExt flags;
   namesExt names;
   EXPECT_EQ(flags.critical, 1);
   EXPECT_EQ(names.critical, 0); /* DEFAULT FALSE of the class */
   EXPECT_EQ(names.id, id_ext_names);
}

TEST_F(GeneratedObjectsTest, OperationsHandTheValueToTheEngine) {
   paramsAlg params;
   auto* fresh = static_cast<ASN1T_Params*>(params.constructASN1TType(&ctxt));
   ASSERT_NE(fresh, nullptr);
   EXPECT_EQ(fresh->rounds, 0);

   Asn1TObject object{};
   readFrom("30 03 02 01 07");
   ASSERT_EQ(params.decodeBERType(&ctxt, object), RTS_OK);
   ASSERT_NE(object.decoded, nullptr);
   EXPECT_EQ(static_cast<ASN1T_Params*>(object.decoded)->rounds, 7);

   ASSERT_EQ(xe_setp(&ctxt, nullptr, 0), RTS_OK);
   ASSERT_EQ(params.encodeBERType(&ctxt, object), 5);
   EXPECT_EQ(hexOf(xe_getp(&ctxt), 5), "3003020107");

   const size_t before = liveBlocks();
   Asn1TObject copy{};
   params.copyType(&ctxt, object, copy);
   ASSERT_NE(copy.decoded, nullptr);
   EXPECT_NE(copy.decoded, object.decoded);
   EXPECT_EQ(static_cast<ASN1T_Params*>(copy.decoded)->rounds, 7);
   params.freeType(&ctxt, copy);
   EXPECT_EQ(copy.decoded, nullptr);
   EXPECT_EQ(liveBlocks(), before);

   /* Octets of another type fail; the value is kept all the same. */
   Asn1TObject wrong{};
   readFrom("05 00");
   EXPECT_EQ(params.decodeBERType(&ctxt, wrong), RTS_NOT_FOUND);
   EXPECT_NE(wrong.decoded, nullptr);

   /* A control object for the value, in the heap of the buffer's context. */
   ASN1BEREncodeBuffer buffer;
   ASN1CType* control = params.constructASN1CType(buffer, object.decoded);
   ASSERT_NE(control, nullptr);
   EXPECT_EQ(control->Encode(), 5);
   EXPECT_EQ(hexOf(buffer.getMsgPtr(), 5), "3003020107");
   params.destructASN1CType(control);
}

TEST_F(GeneratedObjectsTest, ObjectsWithoutValueStorage) {
   nullAlg null;
   EXPECT_EQ(null.constructASN1TType(&ctxt), nullptr);
   Asn1TObject object{};
   readFrom("05 00");
   EXPECT_EQ(null.decodeBERType(&ctxt, object), RTS_OK);
   EXPECT_EQ(object.decoded, nullptr);
   ASN1BEREncodeBuffer buffer;
   EXPECT_EQ(null.constructASN1CType(buffer, nullptr), nullptr);

   /* Without &Type the class's defaults do nothing. */
   plainAlg plain;
   EXPECT_EQ(plain.constructASN1TType(&ctxt), nullptr);
   EXPECT_EQ(plain.encodeBERType(&ctxt, object), 0);
   EXPECT_EQ(plain.decodeBERType(&ctxt, object), 0);
}

TEST_F(GeneratedObjectsTest, TableConstraintFunctionsRenewBothForms) {
   static const ASN1OCTET raw[] = {0x30, 0x03, 0x02, 0x01, 0x07};
   ASN1T_AlgorithmIdentifier alg;
   alg.algorithm = id_alg_params;
   alg.m.parametersPresent = 1;
   alg.parameters.numocts = sizeof(raw);
   alg.parameters.data = raw;
   ASSERT_EQ(asn1DTC_AlgorithmIdentifier(&ctxt, &alg), RTS_OK);
   auto* params = static_cast<ASN1T_Params*>(alg.parameters.decoded);
   ASSERT_NE(params, nullptr);
   EXPECT_EQ(params->rounds, 7);

   params->rounds = 9;
   ASSERT_GE(asn1ETC_AlgorithmIdentifier(&ctxt, &alg), 0);
   EXPECT_EQ(hexOf(alg.parameters.data, alg.parameters.numocts), "3003020109");

   ASSERT_EQ(asn1XETC_AlgorithmIdentifier(&ctxt, &alg), RTS_OK);
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(alg.parameters.data),
                         alg.parameters.numocts),
             "<Params><rounds>9</rounds></Params>");

   ASN1T_AlgorithmIdentifier fromText;
   fromText.algorithm = id_alg_params;
   fromText.m.parametersPresent = 1;
   static const char text[] = "<Params><rounds>4</rounds></Params>";
   fromText.parameters.numocts = sizeof(text) - 1;
   fromText.parameters.data = reinterpret_cast<const ASN1OCTET*>(text);
   ASSERT_EQ(asn1XDTC_AlgorithmIdentifier(&ctxt, &fromText), RTS_OK);
   ASSERT_NE(fromText.parameters.decoded, nullptr);
   EXPECT_EQ(static_cast<ASN1T_Params*>(fromText.parameters.decoded)->rounds, 4);
}

}
