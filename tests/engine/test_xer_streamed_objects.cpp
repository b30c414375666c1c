// Open types whose object is known at their start tag are decoded as the
// events stream by; every other shape is read the captured way. Both must
// give the same values and statuses: blanks around the value, the
// hexadecimal form, text or a second element beside the value, carriage
// returns inside it, and failures inside the value.
#include <cstring>

#include "xer_fixture.h"

using namespace testmodule;

namespace {

class XerStreamedObjectTest : public XerTest {
 protected:
   std::string algorithmXml(const char* algorithm, const std::string& parameters) {
      return std::string("<AlgorithmIdentifier><algorithm>") + algorithm +
             "</algorithm><parameters>" + parameters + "</parameters></AlgorithmIdentifier>";
   }

   std::string extensionXml(const std::string& value) {
      return "<Extension><extnID>2.5.29.15</extnID><extnValue>" + value +
             "</extnValue></Extension>";
   }

   /* The common name of a one-attribute value, or a description of what
      was decoded instead. */
   static std::string commonName(const AttributeTypeAndValue& atv) {
      if (atv.value.decoded == nullptr) return "not decoded";
      const DirString& name = *static_cast<const DirString*>(atv.value.decoded);
      if (name.t != 2) return "alternative " + std::to_string(name.t);
      return name.u.utf8String;
   }
};

TEST_F(XerStreamedObjectTest, BlanksAroundTheValueAreIgnored) {
   const char* shapes[] = {
      "<Params><a>5</a><b>0A0B</b></Params>",
      "\n   <Params>\n      <a>5</a>\n      <b>0A0B</b>\n   </Params>\n",
      " \t<Params><a>5</a><b> 0A 0B </b></Params>  ",
   };
   for (const char* shape : shapes) {
      AlgorithmIdentifier a{};
      ASSERT_EQ(fromXer(&tAlgorithmIdentifier, &a, algorithmXml("1.2.3.4", shape)), RTS_OK)
         << shape;
      EXPECT_EQ(a.parameters.numocts, 0u) << shape;
      EXPECT_EQ(a.parameters.data, nullptr) << shape;
      EXPECT_EQ(a.parameters.flags, 0u) << shape;
      EXPECT_EQ(encode(&tAlgorithmIdentifier, &a),
                H("30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 0A 0B"))
         << shape;
   }
}

TEST_F(XerStreamedObjectTest, HexadecimalFormOfAKnownObjectIsDecodedAsItsType) {
   AlgorithmIdentifier a{};
   ASSERT_EQ(fromXer(&tAlgorithmIdentifier, &a,
                     algorithmXml("1.2.3.4", "\n  <Encoded>3007020105040201FF</Encoded>\n")),
             RTS_OK);
   EXPECT_NE(a.parameters.decoded, nullptr);
   EXPECT_EQ(encode(&tAlgorithmIdentifier, &a),
             H("30 0E 06 03 2A 03 04 30 07 02 01 05 04 02 01 FF"));
}

// No value, text where the value belongs, two values, or octets that are
// not a value of the object's type: each is refused with its status, the
// same whether the open type streams or is captured.
TEST_F(XerStreamedObjectTest, OpenTypesWithoutExactlyOneValueAreRefused) {
   const char* value = "<Params><a>5</a><b>0A</b></Params>";
   const struct Case {
      std::string shape;
      int status;
   } cases[] = {
      {"", RTS_BAD_VALUE},
      {"  \n ", RTS_BAD_VALUE},
      {"just text", RTS_BAD_VALUE},
      {"<Encoded/>", RTS_BAD_VALUE},
      {"<Encoded></Encoded>", RTS_BAD_VALUE},
      {std::string("x") + value, RTS_BAD_VALUE},
      {std::string(value) + "text after", RTS_BAD_VALUE},
      {std::string(value) + "x<b/>", RTS_BAD_VALUE},
      {std::string(value) + value, RTS_XML_STRUCTURE},
      {std::string(value) + "<Encoded>0500</Encoded>", RTS_XML_STRUCTURE},
      {std::string("<Encoded>0500</Encoded>") + value, RTS_XML_STRUCTURE},
      {"<Encoded>300</Encoded>", RTS_BAD_HEX_TEXT},
      {"<Encoded>0500</Encoded>", RTS_NOT_FOUND},
      {"<Encoded>300702010504</Encoded>", RTS_BAD_LENGTH},
   };
   for (const Case& c : cases) {
      AlgorithmIdentifier a{};
      EXPECT_EQ(fromXer(&tAlgorithmIdentifier, &a, algorithmXml("1.2.3.4", c.shape)), c.status)
         << c.shape;
      EXPECT_EQ(ctxt.errInfo.status, c.status) << c.shape;
      rtErrReset(&ctxt.errInfo);
   }
}

TEST_F(XerStreamedObjectTest, FailuresInsideTheValueKeepTheirStatus) {
   struct Case {
      const char* parameters;
      int status;
   } cases[] = {
      {"<Params><a>x</a><b/></Params>", RTS_BAD_DIGIT},
      {"<Params><a>1</a></Params>", RTS_MISSING_ELEMENT},
      {"<Params><b>01</b><a>1</a></Params>", RTS_NOT_FOUND},
      {"<Params><a>1</a><b>0G</b></Params>", RTS_BAD_HEX_TEXT},
      {"<NULLParams_/>", RTS_XML_STRUCTURE},
   };
   for (const Case& c : cases) {
      AlgorithmIdentifier a{};
      EXPECT_EQ(fromXer(&tAlgorithmIdentifier, &a, algorithmXml("1.2.3.4", c.parameters)),
                c.status)
         << c.parameters;
      EXPECT_EQ(ctxt.errInfo.status, c.status) << c.parameters;
      rtErrReset(&ctxt.errInfo);
   }
}

// A failure after a streamed value is reported as it is without streaming:
// the open type is only resolved once its SEQUENCE has every component.
TEST_F(XerStreamedObjectTest, StructureFailuresAroundAStreamedValue) {
   AlgorithmIdentifier extra{};
   EXPECT_EQ(fromXer(&tAlgorithmIdentifier, &extra,
                     "<AlgorithmIdentifier><algorithm>1.2.3.4</algorithm><parameters><Params><a>x"
                     "</a><b/></Params></parameters><other/></AlgorithmIdentifier>"),
             RTS_NOT_FOUND);
   rtErrReset(&ctxt.errInfo);
   Extension extraAfterValue{};
   EXPECT_EQ(fromXer(&tExtension, &extraAfterValue,
                     "<Extension><extnID>2.5.29.15</extnID><extnValue><KeyUsage>101</KeyUsage>"
                     "</extnValue><extra/></Extension>"),
             RTS_NOT_FOUND);
}

// The captured text is parsed again, which turns carriage returns into line
// feeds; a value read in the stream must come out the same.
TEST_F(XerStreamedObjectTest, CarriageReturnsInsideTheValueBecomeLineFeeds) {
   struct Case {
      const char* utf8;
      const char* expected;
   } cases[] = {
      {"a&#13;b", "a\nb"},
      {"a&#13;&#10;b", "a\nb"},
      {"a&#10;b", "a\nb"},
   };
   for (const Case& c : cases) {
      AttributeTypeAndValue atv{};
      ASSERT_EQ(fromXer(&tAttributeTypeAndValue, &atv,
                        std::string("<AttributeTypeAndValue><type>2.5.4.3</type><value><DirString>"
                                    "<utf8String>") +
                           c.utf8 + "</utf8String></DirString></value></AttributeTypeAndValue>"),
                RTS_OK)
         << c.utf8;
      EXPECT_EQ(commonName(atv), c.expected) << c.utf8;
      EXPECT_EQ(ctxt.errInfo.status, RTS_OK) << c.utf8;
   }
}

TEST_F(XerStreamedObjectTest, ValuesCarriedInOctetStrings) {
   Extension blanks{};
   ASSERT_EQ(fromXer(&tExtension, &blanks, extensionXml("\n <KeyUsage>101</KeyUsage>\n")), RTS_OK);
   EXPECT_EQ(blanks.extnValue.numocts, 0u);
   ASSERT_NE(blanks.extnObject.decoded, nullptr);
   EXPECT_EQ(encode(&tExtension, &blanks), H("30 0B 06 03 55 1D 0F 04 04 03 02 05 A0"));

   Extension hex{};
   ASSERT_EQ(fromXer(&tExtension, &hex, extensionXml(" 03 02 05 A0 ")), RTS_OK);
   EXPECT_NE(hex.extnObject.decoded, nullptr);
   EXPECT_EQ(encode(&tExtension, &hex), H("30 0B 06 03 55 1D 0F 04 04 03 02 05 A0"));

   const struct Case {
      const char* value;
      int status;
   } refused[] = {
      {"03<KeyUsage>101</KeyUsage>", RTS_BAD_VALUE},
      {"<KeyUsage>101</KeyUsage>05", RTS_BAD_VALUE},
      {"<KeyUsage>101</KeyUsage>x", RTS_BAD_HEX_TEXT},
      {"FFFF", RTS_BAD_TAG},
      {"030205A0FF", RTS_BAD_LENGTH},
   };
   for (const Case& c : refused) {
      Extension e{};
      EXPECT_EQ(fromXer(&tExtension, &e, extensionXml(c.value)), c.status) << c.value;
      rtErrReset(&ctxt.errInfo);
   }
}

// Attribute values of different object types follow each other in one
// document, each decoded by a machine of its own type.
TEST_F(XerStreamedObjectTest, NamesMixingObjectTypesRoundTrip) {
   const std::string der =
      "30 26"
      " 31 0B 30 09 06 03 55 04 03 13 02 68 69"
      " 31 0B 30 09 06 03 55 04 06 13 02 44 45"
      " 31 0A 30 08 06 03 55 04 03 0C 01 78";
   Name first{};
   ASSERT_EQ(decode(&tName, &first, der), RTS_OK);
   const std::string xml = toXer(&tName, &first);
   ASSERT_NE(xml.find("<DirString>"), std::string::npos) << xml;
   Name second{};
   ASSERT_EQ(fromXer(&tName, &second, xml), RTS_OK) << xml;
   EXPECT_EQ(encode(&tName, &second), H(der));
}

}

// Values of a SET OF open types: each item's element is a value of the
// attribute's object, or the hexadecimal form of one.
class XerStreamedItemsTest : public XerStreamedObjectTest {
 protected:
   const std::string der = "30 0E 06 03 55 04 03 31 07 0C 01 78 13 02 68 69";

   std::string attributeXml() {
      Attribute attribute{};
      EXPECT_EQ(decode(&tAttribute, &attribute, der), RTS_OK);
      return toXer(&tAttribute, &attribute, true);
   }

   static const Asn1TObject& item(const Attribute& attribute, int index) {
      const Asn1RTDListNode* node = attribute.values.head;
      for (int i = 0; i < index; i++) node = node->next;
      return *static_cast<const Asn1TObject*>(node->data);
   }
};

TEST_F(XerStreamedItemsTest, EveryItemDecodedAsAValue) {
   const std::string xml = attributeXml();
   EXPECT_EQ(xml,
             "<Attribute><type>2.5.4.3</type><values><DirString><utf8String>x</utf8String>"
             "</DirString><DirString><printableString>hi</printableString></DirString></values>"
             "</Attribute>");
   Attribute attribute{};
   ASSERT_EQ(fromXer(&tAttribute, &attribute, xml), RTS_OK);
   ASSERT_EQ(attribute.values.count, 2u);
   for (int i = 0; i < 2; i++) {
      EXPECT_NE(item(attribute, i).decoded, nullptr) << i;
      EXPECT_EQ(item(attribute, i).numocts, 0u) << i;
   }
   EXPECT_EQ(encode(&tAttribute, &attribute), H(der));
}

TEST_F(XerStreamedItemsTest, HexadecimalItemsBesideValues) {
   const std::string xml =
      "<Attribute><type>2.5.4.3</type><values>\n <Encoded>0C0178</Encoded>\n <DirString>"
      "<printableString>hi</printableString></DirString>\n</values></Attribute>";
   Attribute attribute{};
   ASSERT_EQ(fromXer(&tAttribute, &attribute, xml), RTS_OK);
   ASSERT_EQ(attribute.values.count, 2u);
   EXPECT_NE(item(attribute, 0).decoded, nullptr);
   EXPECT_NE(item(attribute, 1).decoded, nullptr);
   EXPECT_EQ(encode(&tAttribute, &attribute), H(der));
}

TEST_F(XerStreamedItemsTest, FailuresInsideAnItemKeepTheirStatus) {
   struct Case {
      const char* values;
      int status;
   } cases[] = {
      {"<DirString><printableString>hi</printableString></DirString><Other/>", RTS_XML_STRUCTURE},
      {"<DirString><printableString>hi</printableString><utf8String>x</utf8String></DirString>",
       RTS_NOT_FOUND},
      {"<DirString><bad/></DirString>", RTS_NOT_FOUND},
      {"<Encoded>0C01</Encoded>", RTS_BAD_LENGTH},
   };
   for (const Case& c : cases) {
      Attribute attribute{};
      EXPECT_EQ(fromXer(&tAttribute, &attribute,
                        std::string("<Attribute><type>2.5.4.3</type><values>") + c.values +
                           "</values></Attribute>"),
                c.status)
         << c.values;
      EXPECT_EQ(ctxt.errInfo.status, c.status) << c.values;
      rtErrReset(&ctxt.errInfo);
   }
}

// Every decode makes a new root machine, which takes over the machines a
// finished decode of the same type left; a failed decode leaves none.
TEST_F(XerStreamedItemsTest, DecodesInARowAfterFailuresAndOfOtherTypes) {
   const std::string nameDer = "30 0F 31 0D 30 0B 06 03 55 04 03 13 04 6C 65 61 66";
   Name first{};
   ASSERT_EQ(decode(&tName, &first, nameDer), RTS_OK);
   const std::string nameXml = toXer(&tName, &first, true);
   const std::string attribute = attributeXml();
   struct Step {
      const char* what;
      const asn1rt::TypeDesc* type;
      std::string xml;
      int status;
      std::string der;
   } steps[] = {
      {"name", &tName, nameXml, RTS_OK, nameDer},
      {"name cut inside a value", &tName, nameXml.substr(0, nameXml.find("leaf")), RTS_XML_STRUCTURE,
       ""},
      {"name again", &tName, nameXml, RTS_OK, nameDer},
      {"attribute", &tAttribute, attribute, RTS_OK, der},
      {"name with a bad value", &tName,
       nameXml.substr(0, nameXml.find("<printableString>")) + "<bad/>" +
          nameXml.substr(nameXml.find("</DirString>")),
       RTS_NOT_FOUND, ""},
      {"name once more", &tName, nameXml, RTS_OK, nameDer},
      {"attribute again", &tAttribute, attribute, RTS_OK, der},
   };
   for (const Step& step : steps) {
      Name name{};
      Attribute attr{};
      void* value = step.type == &tName ? static_cast<void*>(&name) : static_cast<void*>(&attr);
      EXPECT_EQ(fromXer(step.type, value, step.xml), step.status) << step.what;
      if (step.status == RTS_OK) {
         EXPECT_EQ(encode(step.type, value), H(step.der)) << step.what;
      }
      rtErrReset(&ctxt.errInfo);
   }
}
