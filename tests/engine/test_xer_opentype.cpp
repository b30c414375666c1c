// Open types on the XER side: values resolved through their information
// object written as embedded XER, unresolved ones (unknown identifier,
// object without type, open type without table) as <Encoded>HEX</Encoded>,
// and BER -> XER -> BER giving back every octet; the table-constraint steps
// and their statuses.
#include <cstring>

#include "xer_fixture.h"

using namespace testmodule;

namespace {

class XerOpenTypeTest : public XerTest {
 protected:
   /* BER -> XER -> BER with a fresh value on the way back; the XER text
      (indented or compact) is kept in `xml`. */
   template <class Value>
   std::string throughXer(const asn1rt::TypeDesc* type, const std::string& ber, bool compact) {
      Value first{};
      int stat = decode(type, &first, ber);
      if (stat != RTS_OK) return "BER decode " + status(stat);
      xml = toXer(type, &first, compact);
      Value second{};
      stat = fromXer(type, &second, xml);
      if (stat != RTS_OK) return "XER decode " + status(stat);
      return encode(type, &second);
   }

   std::string xml;
};

struct RoundTrip {
   const char* what;
   std::string ber;
   std::string compactXml;
};

TEST_F(XerOpenTypeTest, AlgorithmParametersKeepEveryOctet) {
   const RoundTrip cases[] = {
      {"unknown identifier", "30 08 06 03 2A 03 09 02 01 FF",
       "<AlgorithmIdentifier><algorithm>1.2.3.9</algorithm><parameters><Encoded>0201FF</Encoded>"
       "</parameters></AlgorithmIdentifier>"},
      {"object without type", "30 07 06 03 2A 03 05 05 00",
       "<AlgorithmIdentifier><algorithm>1.2.3.5</algorithm><parameters><Encoded>0500</Encoded>"
       "</parameters></AlgorithmIdentifier>"},
      {"NULL-typed object", "30 0D 06 09 2A 86 48 86 F7 0D 01 01 01 05 00",
       "<AlgorithmIdentifier><algorithm>1.2.840.113549.1.1.1</algorithm><parameters>"
       "<NULLParams_/></parameters></AlgorithmIdentifier>"},
      {"typed object", "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 0A 0B",
       "<AlgorithmIdentifier><algorithm>1.2.3.4</algorithm><parameters><Params><a>5</a>"
       "<b>0A0B</b></Params></parameters></AlgorithmIdentifier>"},
      {"absent parameters", "30 05 06 03 2A 03 09",
       "<AlgorithmIdentifier><algorithm>1.2.3.9</algorithm></AlgorithmIdentifier>"},
   };
   for (const RoundTrip& c : cases) {
      EXPECT_EQ(throughXer<AlgorithmIdentifier>(&tAlgorithmIdentifier, c.ber, true), H(c.ber))
         << c.what;
      EXPECT_EQ(xml, c.compactXml) << c.what;
      EXPECT_EQ(throughXer<AlgorithmIdentifier>(&tAlgorithmIdentifier, c.ber, false), H(c.ber))
         << c.what;
   }
}

TEST_F(XerOpenTypeTest, IndentedOutputKeepsAnOpenTypeOnOneLine) {
   AlgorithmIdentifier a{};
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &a, "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 0A 0B"),
             RTS_OK);
   EXPECT_EQ(toXer(&tAlgorithmIdentifier, &a),
             "\n" + lines({"<AlgorithmIdentifier>", "|<algorithm>1.2.3.4</algorithm>",
                           "|<parameters><Params><a>5</a><b>0A0B</b></Params></parameters>",
                           "</AlgorithmIdentifier>"}));
}

TEST_F(XerOpenTypeTest, SetOfOpenTypesWritesEachValueOnItsOwnLine) {
   const std::string known = "30 0E 06 03 55 04 03 31 07 0C 01 78 13 02 68 69";
   EXPECT_EQ(throughXer<Attribute>(&tAttribute, known, false), H(known));
   EXPECT_EQ(xml, "\n" + lines({"<Attribute>", "|<type>2.5.4.3</type>", "|<values>",
                                "||<DirString><utf8String>x</utf8String></DirString>",
                                "||<DirString><printableString>hi</printableString></DirString>",
                                "|</values>", "</Attribute>"}));
   const std::string unknown = "30 0E 06 03 55 04 63 31 07 0C 01 78 13 02 68 69";
   EXPECT_EQ(throughXer<Attribute>(&tAttribute, unknown, false), H(unknown));
   EXPECT_EQ(xml, "\n" + lines({"<Attribute>", "|<type>2.5.4.99</type>", "|<values>",
                                "||<Encoded>0C0178</Encoded>", "||<Encoded>13026869</Encoded>",
                                "|</values>", "</Attribute>"}));
   EXPECT_EQ(throughXer<Attribute>(&tAttribute, unknown, true), H(unknown));
   EXPECT_EQ(xml,
             "<Attribute><type>2.5.4.99</type><values><Encoded>0C0178</Encoded><Encoded>13026869"
             "</Encoded></values></Attribute>");
}

TEST_F(XerOpenTypeTest, SingleAttributeValues) {
   const RoundTrip cases[] = {
      {"known", "30 09 06 03 55 04 03 13 02 68 69",
       "<AttributeTypeAndValue><type>2.5.4.3</type><value><DirString><printableString>hi"
       "</printableString></DirString></value></AttributeTypeAndValue>"},
      {"unknown", "30 08 06 03 55 04 63 0C 01 78",
       "<AttributeTypeAndValue><type>2.5.4.99</type><value><Encoded>0C0178</Encoded></value>"
       "</AttributeTypeAndValue>"},
   };
   for (const RoundTrip& c : cases) {
      EXPECT_EQ(throughXer<AttributeTypeAndValue>(&tAttributeTypeAndValue, c.ber, true), H(c.ber))
         << c.what;
      EXPECT_EQ(xml, c.compactXml) << c.what;
   }
}

TEST_F(XerOpenTypeTest, ValuesCarriedInOctetStringsHaveTwoForms) {
   const RoundTrip cases[] = {
      {"known extension", "30 0E 06 03 55 1D 0F 01 01 FF 04 04 03 02 05 A0",
       "<Extension><extnID>2.5.29.15</extnID><critical><true/></critical><extnValue><KeyUsage>101"
       "</KeyUsage></extnValue></Extension>"},
      {"unknown extension", "30 0B 06 03 55 1D 63 04 04 03 02 05 A0",
       "<Extension><extnID>2.5.29.99</extnID><extnValue>030205A0</extnValue></Extension>"},
   };
   for (const RoundTrip& c : cases) {
      EXPECT_EQ(throughXer<Extension>(&tExtension, c.ber, true), H(c.ber)) << c.what;
      EXPECT_EQ(xml, c.compactXml) << c.what;
   }
   const RoundTrip wrapped[] = {
      {"known content", "30 12 06 03 2A 03 07 A0 0B 04 09 30 07 02 01 05 04 02 0A 0B",
       "<Wrapped><contentType>1.2.3.7</contentType><content><Params><a>5</a><b>0A0B</b></Params>"
       "</content></Wrapped>"},
      {"unknown content", "30 0C 06 03 2A 03 08 A0 05 04 03 01 02 03",
       "<Wrapped><contentType>1.2.3.8</contentType><content>010203</content></Wrapped>"},
      {"absent content", "30 05 06 03 2A 03 07",
       "<Wrapped><contentType>1.2.3.7</contentType></Wrapped>"},
   };
   for (const RoundTrip& c : wrapped) {
      EXPECT_EQ(throughXer<Wrapped>(&tWrapped, c.ber, true), H(c.ber)) << c.what;
      EXPECT_EQ(xml, c.compactXml) << c.what;
   }
}

TEST_F(XerOpenTypeTest, HexadecimalContentOfAKnownExtensionIsItsOctetString) {
   Extension e{};
   ASSERT_EQ(fromXer(&tExtension, &e,
                     "<Extension><extnID>2.5.29.15</extnID><extnValue>\n  03020780\n</extnValue>"
                     "</Extension>"),
             RTS_OK);
   EXPECT_EQ(text(e.extnValue.data, e.extnValue.numocts), "03020780");
   EXPECT_NE(e.extnObject.decoded, nullptr);
   EXPECT_EQ(encode(&tExtension, &e), H("30 0B 06 03 55 1D 0F 04 04 03 02 07 80"));
}

TEST_F(XerOpenTypeTest, OpenTypesWithoutTableAndExtensionElements) {
   const RoundTrip cases[] = {
      {"ANY", "A0 0A 06 03 2A 03 04 A0 03 02 01 07",
       "<OtherName><typeId>1.2.3.4</typeId><value><Encoded>020107</Encoded></value></OtherName>"},
   };
   for (const RoundTrip& c : cases) {
      EXPECT_EQ(throughXer<OtherName>(&tOtherName, c.ber, true), H(c.ber)) << c.what;
      EXPECT_EQ(xml, c.compactXml) << c.what;
   }
   const std::string blob = "30 0B 06 03 2A 03 04 02 01 01 01 01 FF";
   EXPECT_EQ(throughXer<Blob>(&tBlob, blob, false), H(blob));
   EXPECT_EQ(xml, "\n" + lines({"<Blob>", "|<paramSet>1.2.3.4</paramSet>",
                                "|<Encoded>020101</Encoded>", "|<Encoded>0101FF</Encoded>",
                                "</Blob>"}));
   Blob unknownElement{};
   EXPECT_EQ(fromXer(&tBlob, &unknownElement,
                     "<Blob><paramSet>1.2</paramSet><Other>01</Other></Blob>"),
             RTS_NOT_FOUND);
}

TEST_F(XerOpenTypeTest, HexadecimalFormIsAcceptedWithWhitespaceAndForKnownObjects) {
   AlgorithmIdentifier spaced{};
   ASSERT_EQ(fromXer(&tAlgorithmIdentifier, &spaced,
                     "<AlgorithmIdentifier><algorithm>1.2.3.9</algorithm><parameters>\n   "
                     "<Encoded>02 01\nff</Encoded>\n</parameters></AlgorithmIdentifier>"),
             RTS_OK);
   EXPECT_EQ(text(spaced.parameters.data, spaced.parameters.numocts), "0201FF");
   /* A known object's octets are decoded as its type and written as DER,
      also when they came as BER. */
   const struct Case {
      const char* hex;
      const char* der;
   } known[] = {
      {"3007020105040201FF", "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 01 FF"},
      {"308002010524800401010401FF00000000", "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 01 FF"},
   };
   for (const Case& c : known) {
      AlgorithmIdentifier a{};
      ASSERT_EQ(fromXer(&tAlgorithmIdentifier, &a,
                        std::string("<AlgorithmIdentifier><algorithm>1.2.3.4</algorithm><parameters>"
                                    "<Encoded>") +
                           c.hex + "</Encoded></parameters></AlgorithmIdentifier>"),
                RTS_OK)
         << c.hex;
      EXPECT_NE(a.parameters.decoded, nullptr) << c.hex;
      EXPECT_EQ(encode(&tAlgorithmIdentifier, &a), H(c.der)) << c.hex;
   }
}

TEST_F(XerOpenTypeTest, CapturedTextThatCannotBeResolvedFails) {
   struct Case {
      const char* what;
      const char* algorithm;
      const char* parameters;
      int status;
   };
   const Case cases[] = {
      {"unknown identifier", "1.2.3.9", "<Params><a>1</a><b/></Params>", RTS_UNKNOWN_OBJECT},
      {"object without type", "1.2.3.5", "<NULLParams_/>", RTS_UNKNOWN_OBJECT},
      {"other type than the object's", "1.2.3.4", "<INTEGER>1</INTEGER>", RTS_XML_STRUCTURE},
      {"bad value inside", "1.2.3.4", "<Params><a>x</a><b/></Params>", RTS_BAD_DIGIT},
      {"missing component inside", "1.2.3.4", "<Params><a>1</a></Params>", RTS_MISSING_ELEMENT},
      {"bad digit", "1.2.3.9", "<Encoded>0G</Encoded>", RTS_BAD_HEX_TEXT},
      {"odd digit count", "1.2.3.9", "<Encoded>0A1</Encoded>", RTS_BAD_HEX_TEXT},
      {"text after the form", "1.2.3.9", "<Encoded>0A</Encoded><x/>", RTS_UNKNOWN_OBJECT},
   };
   for (const Case& c : cases) {
      AlgorithmIdentifier a{};
      const std::string input = std::string("<AlgorithmIdentifier><algorithm>") + c.algorithm +
                                "</algorithm><parameters>" + c.parameters +
                                "</parameters></AlgorithmIdentifier>";
      EXPECT_EQ(fromXer(&tAlgorithmIdentifier, &a, input), c.status) << c.what;
      EXPECT_EQ(ctxt.errInfo.status, c.status) << c.what;
      rtErrReset(&ctxt.errInfo);
   }
   OtherName other{};
   EXPECT_EQ(fromXer(&tOtherName, &other,
                     "<OtherName><typeId>1.2</typeId><value><INTEGER>7</INTEGER></value>"
                     "</OtherName>"),
             RTS_BAD_VALUE);
}

TEST_F(XerOpenTypeTest, TableEncodeStepPutsTheWrittenTextIntoTheOctets) {
   AlgorithmIdentifier typed{};
   const std::string typedDer = "30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 0A 0B";
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &typed, typedDer), RTS_OK);
   const std::string before = toXer(&tAlgorithmIdentifier, &typed);
   ASSERT_EQ(asn1rt::tableXerEncode(&ctxt, &tAlgorithmIdentifier, &typed), RTS_OK);
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(typed.parameters.data),
                         typed.parameters.numocts),
             "<Params><a>5</a><b>0A0B</b></Params>");
   const ASN1OCTET* rendered = typed.parameters.data;
   ASSERT_EQ(asn1rt::tableXerEncode(&ctxt, &tAlgorithmIdentifier, &typed), RTS_OK);
   EXPECT_EQ(typed.parameters.data, rendered);
   EXPECT_EQ(toXer(&tAlgorithmIdentifier, &typed), before);

   AlgorithmIdentifier unknown{};
   ASSERT_EQ(decode(&tAlgorithmIdentifier, &unknown, "30 08 06 03 2A 03 09 02 01 FF"), RTS_OK);
   ASSERT_EQ(asn1rt::tableXerEncode(&ctxt, &tAlgorithmIdentifier, &unknown), RTS_OK);
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(unknown.parameters.data),
                         unknown.parameters.numocts),
             "<Encoded>0201FF</Encoded>");
   EXPECT_EQ(toXer(&tAlgorithmIdentifier, &unknown, true),
             "<AlgorithmIdentifier><algorithm>1.2.3.9</algorithm><parameters><Encoded>0201FF"
             "</Encoded></parameters></AlgorithmIdentifier>");

   Attribute attribute{};
   ASSERT_EQ(decode(&tAttribute, &attribute, "30 0E 06 03 55 04 03 31 07 0C 01 78 13 02 68 69"),
             RTS_OK);
   ASSERT_EQ(asn1rt::tableXerEncode(&ctxt, &tAttribute, &attribute), RTS_OK);
   const Asn1TObject& second = *static_cast<const Asn1TObject*>(attribute.values.tail->data);
   EXPECT_EQ(std::string(reinterpret_cast<const char*>(second.data), second.numocts),
             "<DirString><printableString>hi</printableString></DirString>");

   /* An extension without decoded value keeps its OCTET STRING form. */
   Extension extension{};
   ASSERT_EQ(decode(&tExtension, &extension, "30 0B 06 03 55 1D 63 04 04 03 02 05 A0"), RTS_OK);
   ASSERT_EQ(asn1rt::tableXerEncode(&ctxt, &tExtension, &extension), RTS_OK);
   EXPECT_EQ(text(extension.extnObject.data, extension.extnObject.numocts), "030205A0");
}

TEST_F(XerOpenTypeTest, TableDecodeStepResolvesCapturedText) {
   AlgorithmIdentifier a{};
   a.algorithm = oid({1, 2, 3, 4});
   a.m.parametersPresent = 1;
   const std::string captured = "<Params><a>9</a><b>FF</b></Params>";
   a.parameters.numocts = static_cast<ASN1UINT>(captured.size());
   a.parameters.data = reinterpret_cast<const ASN1OCTET*>(captured.data());
   ASSERT_EQ(asn1rt::tableXerDecode(&ctxt, &tAlgorithmIdentifier, &a), RTS_OK);
   ASSERT_NE(a.parameters.decoded, nullptr);
   const Params& params = *static_cast<const Params*>(a.parameters.decoded);
   EXPECT_EQ(params.a, 9);
   EXPECT_EQ(text(params.b.data, params.b.numocts), "FF");
   /* Absent parameters are not looked at. */
   AlgorithmIdentifier absent{};
   absent.algorithm = oid({1, 2, 3, 9});
   absent.parameters.numocts = static_cast<ASN1UINT>(captured.size());
   absent.parameters.data = reinterpret_cast<const ASN1OCTET*>(captured.data());
   EXPECT_EQ(asn1rt::tableXerDecode(&ctxt, &tAlgorithmIdentifier, &absent), RTS_OK);
   absent.m.parametersPresent = 1;
   EXPECT_EQ(asn1rt::tableXerDecode(&ctxt, &tAlgorithmIdentifier, &absent), RTS_UNKNOWN_OBJECT);
}

}
