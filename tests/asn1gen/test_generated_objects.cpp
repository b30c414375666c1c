/* Information object classes, objects and sets that asn1gen generates for
   its test module, and the table-constraint functions of the constrained
   types. */
#include <gtest/gtest.h>

#include "generated_fixture.h"

using namespace asn1data;

namespace {

std::string textOf(const Asn1TObject& openType) {
   return std::string(reinterpret_cast<const char*>(openType.data), openType.numocts);
}

class GeneratedObjectsTest : public GeneratedTest {
 protected:
   void readFrom(const std::string& hexText) {
      input = testsupport::fromHex(hexText);
      ASSERT_EQ(xd_setp(&ctxt, bytes(input), static_cast<int>(input.size())), RTS_OK);
   }
};

/* Sets are built once, hold their objects in order (a set of one module may
   take objects of the other) and find only those; objects carry their
   fields' settings. */
TEST_F(GeneratedObjectsTest, SetsAndObjects) {
   SupportedAlgorithms* algorithms = SupportedAlgorithms::instance(&ctxt);
   EXPECT_EQ(SupportedAlgorithms::instance(nullptr), algorithms);
   ASSERT_EQ(algorithms->getCount(), 4u);
   EXPECT_NE(dynamic_cast<plainAlg*>(algorithms->getObject(0)), nullptr);
   EXPECT_NE(dynamic_cast<nullAlg*>(algorithms->getObject(2)), nullptr);
   EXPECT_EQ(algorithms->getObject(4), nullptr);
   EXPECT_EQ(algorithms->lookupObject(id_alg_params)->id, id_alg_params);
   EXPECT_EQ(algorithms->lookupObject(oidOf({1, 2, 3})), nullptr);
   MessageAttributes* attributes = MessageAttributes::instance(&ctxt);
   ASSERT_EQ(attributes->getCount(), 3u);
   EXPECT_NE(dynamic_cast<title*>(attributes->getObject(0)), nullptr);
   EXPECT_NE(dynamic_cast<serialNumber*>(attributes->getObject(2)), nullptr);
   EXPECT_EQ(NoAlgorithms::instance(&ctxt)->lookupObject(id_alg_plain), nullptr);
   EXPECT_EQ(ExtensionSet::instance(&ctxt)->lookupObject(id_ext_record), nullptr);

   EXPECT_EQ(plainAlg().m.TypePresent, 0);
   EXPECT_EQ(paramsAlg().m.TypePresent, 1);
   EXPECT_EQ(flagsExt().critical, 1);
   EXPECT_EQ(namesExt().critical, 0); /* DEFAULT FALSE of the class */
   EXPECT_EQ(recordExt().id, id_ext_record);
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

/* The steps write the decoded value's DER or XER into the octets (once: a
   text already there stays), the hexadecimal form for unknown objects, and
   read captured text back; absent open types are not looked at. */
TEST_F(GeneratedObjectsTest, TableConstraintFunctionsRenewBothForms) {
   ASN1T_AlgorithmIdentifier alg, unknown, absent;
   ASSERT_EQ(
       decode(asn1D_AlgorithmIdentifier, alg, tlv("30", gentestOid("01 02") + "30 03 02 01 07")),
       RTS_OK);
   static_cast<ASN1T_Params*>(alg.parameters.decoded)->rounds = 9;
   ASSERT_GE(asn1ETC_AlgorithmIdentifier(&ctxt, &alg), 0);
   EXPECT_EQ(hexOf(alg.parameters.data, alg.parameters.numocts), "3003020109");
   ASSERT_EQ(asn1XETC_AlgorithmIdentifier(&ctxt, &alg), RTS_OK);
   const std::string text = "<Params><rounds>9</rounds></Params>";
   EXPECT_EQ(textOf(alg.parameters), text);
   const ASN1OCTET* rendered = alg.parameters.data;
   ASSERT_EQ(asn1XETC_AlgorithmIdentifier(&ctxt, &alg), RTS_OK);
   EXPECT_EQ(alg.parameters.data, rendered);

   ASSERT_EQ(decode(asn1D_AlgorithmIdentifier, unknown, "30 08 06 03 2A 03 09 02 01 FF"), RTS_OK);
   ASSERT_EQ(asn1XETC_AlgorithmIdentifier(&ctxt, &unknown), RTS_OK);
   EXPECT_EQ(textOf(unknown.parameters),
             "<Encoded>0201FF</Encoded>");

   ASN1T_Extension ext;
   ASSERT_EQ(decode(asn1D_Extension, ext, tlv("30", gentestOid("02 09") + "04 03 02 01 01")),
             RTS_OK);
   ASSERT_EQ(asn1XETC_Extension(&ctxt, &ext), RTS_OK);
   EXPECT_EQ(hexOf(ext.extnValueObject.data, ext.extnValueObject.numocts), "020101");

   ASN1T_Attribute attribute;
   ASSERT_EQ(decode(asn1D_Attribute, attribute, "30 0E 06 03 55 04 03 31 07 0C 01 78 13 02 68 69"),
             RTS_OK);
   ASSERT_EQ(asn1XETC_Attribute(&ctxt, &attribute), RTS_OK);
   const auto& second = *static_cast<const Asn1TObject*>(attribute.values.tail->data);
   EXPECT_EQ(textOf(second),
             "<_commonName_Type><printable>hi</printable></_commonName_Type>");

   alg.parameters.decoded = nullptr;
   ASSERT_EQ(asn1XDTC_AlgorithmIdentifier(&ctxt, &alg), RTS_OK);
   ASSERT_NE(alg.parameters.decoded, nullptr);
   EXPECT_EQ(static_cast<ASN1T_Params*>(alg.parameters.decoded)->rounds, 9);
   absent.algorithm = oidOf({1, 2, 3, 9});
   absent.parameters.numocts = static_cast<ASN1UINT>(text.size());
   absent.parameters.data = bytes(text);
   EXPECT_EQ(asn1XDTC_AlgorithmIdentifier(&ctxt, &absent), RTS_OK);
   absent.m.parametersPresent = 1;
   EXPECT_EQ(asn1XDTC_AlgorithmIdentifier(&ctxt, &absent), RTS_UNKNOWN_OBJECT);
}

/* A copy of a value carried in an OCTET STRING has its own decoded value,
   and its open type mirrors the copy's octets. */
TEST_F(GeneratedObjectsTest, CopiedOpenTypesKeepTheirDecodedValueAndMirror) {
   ASN1T_Extension ext, copy;
   ASSERT_EQ(decode(asn1D_Extension, ext, tlv("30", gentestOid("02 01") + "04 04 03 02 07 80")),
             RTS_OK);
   ext.extnValueObject.flags = ASN1OPENTYPE_XER_TEXT;
   asn1Copy_Extension(&ctxt, &ext, &copy);
   EXPECT_NE(copy.extnValue.data, ext.extnValue.data);
   EXPECT_EQ(copy.extnValueObject.data, copy.extnValue.data);
   EXPECT_EQ(copy.extnValueObject.numocts, 4u);
   EXPECT_EQ(copy.extnValueObject.flags, ASN1OPENTYPE_XER_TEXT);
   ASSERT_NE(copy.extnValueObject.decoded, nullptr);
   EXPECT_NE(copy.extnValueObject.decoded, ext.extnValueObject.decoded);
   EXPECT_EQ(static_cast<ASN1T_Flags*>(copy.extnValueObject.decoded)->numbits, 1u);
}

/* The encoder writes each form's decoded value afresh, changed or not, but
   only reads the value: its octets stay those it was decoded with, and the
   octets it rendered are gone from the heap when it returns. */
TEST_F(GeneratedObjectsTest, EncoderRendersDecodedValuesWithoutWritingThem) {
   ASN1T_AlgorithmIdentifier alg;
   ASSERT_EQ(
       decode(asn1D_AlgorithmIdentifier, alg, tlv("30", gentestOid("01 02") + "30 03 02 01 07")),
       RTS_OK);
   static_cast<ASN1T_Params*>(alg.parameters.decoded)->rounds = 9;
   ASN1T_Extension ext;
   ASSERT_EQ(decode(asn1D_Extension, ext, tlv("30", gentestOid("02 01") + "04 04 03 02 07 80")),
             RTS_OK);
   static_cast<ASN1T_Flags*>(ext.extnValueObject.decoded)->numbits = 2;
   static_cast<ASN1T_Flags*>(ext.extnValueObject.decoded)->data[0] = 0xC0;
   ASN1T_Attribute attribute;
   ASSERT_EQ(decode(asn1D_Attribute, attribute, "30 0E 06 03 55 04 03 31 07 0C 01 78 13 02 68 69"),
             RTS_OK);
   const Asn1TObject before[] = {alg.parameters, ext.extnValueObject,
                                   *static_cast<const Asn1TObject*>(attribute.values.head->data)};
   const ASN1TDynOctStr extnValue = ext.extnValue;

   const std::string algDer = H(tlv("30", gentestOid("01 02") + "30 03 02 01 09"));
   const std::string extDer = H(tlv("30", gentestOid("02 01") + "04 04 03 02 06 C0"));
   const std::string attributeDer = H("30 0E 06 03 55 04 03 31 07 0C 01 78 13 02 68 69");
   ASN1OCTET out[64];
   auto derOf = [&](auto encode, auto& value) {
      if (xe_setp(&ctxt, out, sizeof out) != RTS_OK) return std::string("no buffer");
      const int len = encode(&ctxt, &value, TAG_EXPLICIT);
      return len < 0 ? status(len) : hexOf(xe_getp(&ctxt), static_cast<size_t>(len));
   };
   const size_t blocks = liveBlocks();
   for (int round = 0; round < 2; round++) {
      EXPECT_EQ(derOf(asn1E_AlgorithmIdentifier, alg), algDer);
      EXPECT_EQ(derOf(asn1E_Extension, ext), extDer);
      EXPECT_EQ(derOf(asn1E_Attribute, attribute), attributeDer);
   }
   EXPECT_EQ(liveBlocks(), blocks);
   const Asn1TObject after[] = {alg.parameters, ext.extnValueObject,
                                  *static_cast<const Asn1TObject*>(attribute.values.head->data)};
   for (int i = 0; i < 3; i++) {
      SCOPED_TRACE(i);
      EXPECT_EQ(after[i].data, before[i].data);
      EXPECT_EQ(after[i].numocts, before[i].numocts);
      EXPECT_EQ(after[i].flags, before[i].flags);
   }
   EXPECT_EQ(ext.extnValue.data, extnValue.data);
   EXPECT_EQ(ext.extnValue.numocts, extnValue.numocts);
}

}
