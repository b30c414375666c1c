/* XER through the control classes asn1gen generates for its test module:
   exact documents written through ASN1XEREncodeBuffer, documents read back
   through ASN1XERDecodeBuffer and the SAX state machines, and DER -> XER ->
   DER giving the same octets. */
#include <gtest/gtest.h>

#include "berBuffers.h"
#include "generated_fixture.h"
#include "saxReader.h"
#include "xerBuffers.h"

using namespace asn1data;

namespace {

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string ascii(const std::string& text) { return testsupport::toHex(text); }

class GeneratedXerTest : public GeneratedTest {
 protected:
   /* The XER document of the value written by its control class. */
   template <class Control, class Value>
   static std::string xer(Value& value) {
      ASN1XEREncodeBuffer buffer;
      Control control(buffer, value);
      const int stat = control.Encode();
      if (stat != RTS_OK) return status(stat);
      return std::string(reinterpret_cast<const char*>(buffer.getMsgPtr()),
                         buffer.getCtxtPtr()->buffer.byteIndex);
   }

   /* The DER of the value written by its control class. */
   template <class Control, class Value>
   static std::string derOf(Value& value) {
      ASN1BEREncodeBuffer buffer;
      Control control(buffer, value);
      const int len = control.Encode();
      if (len < 0) return status(len);
      return hexOf(buffer.getMsgPtr(), static_cast<size_t>(len));
   }

   /* Reads the document with the control class into a fresh value, which
      `use` gets while the buffer's heap still holds it. The status of the
      decode, also when the SAX state machine throws it. */
   template <class Control, class Value, class Use>
   static int read(const std::string& document, Use use) {
      ASN1XERDecodeBuffer buffer(reinterpret_cast<const ASN1OCTET*>(document.data()),
                                 static_cast<unsigned int>(document.size()));
      Value value;
      Control control(buffer, value);
      int stat;
      try {
         stat = control.Decode();
      } catch (OSRTSAXException& e) {
         return e.getStatus();
      }
      if (stat == RTS_OK) use(value);
      return stat;
   }

   /* The DER of the value that the document decodes to, or its status. */
   template <class Control, class Value>
   static std::string derOfXer(const std::string& document) {
      std::string result;
      const int stat = read<Control, Value>(document, [&result](Value& v) {
         result = derOf<Control>(v);
      });
      return stat == RTS_OK ? result : status(stat);
   }
};

/* A Message in DER with every component and open types of every kind:
   resolved, of a NULL type, unknown, inside an OCTET STRING and in a SET
   OF. */
const std::string kUtcText = ascii("250101000000Z");
const std::string kMessage = tlv(
   "62",
   "02 01 02" +
      tlv("30", "02 01 05  01 01 FF  81 01 07  82 02 01 2C  83 03 06 80 40  0C 02 61 62"
                "06 03 55 04 03  04 08 01 02 03 04 05 06 07 08  84 02 04 F0  85 00" +
                   tlv("17", kUtcText) +
                   tlv("30", gentestOid("01 02") + "30 07 02 01 03 04 02 61 62") +
                   "A6 02 05 00") +
      tlv("A0", tlv("A4", tlv("30", tlv("31", tlv("30", "06 03 55 04 03 13 02 41 6C")))) +
                   "81 01 78  87 04 7F 00 00 01  88 03 55 04 03" +
                   tlv("A0", "06 03 55 04 03 A0 02 05 00")) +
      tlv("A1", tlv("30", gentestOid("02 02") + tlv("04", tlv("30", "81 01 78"))) +
                   tlv("30", gentestOid("02 01") + "01 01 FF  04 04 03 02 07 80") +
                   tlv("30", gentestOid("02 09") + "04 03 02 01 01")) +
      tlv("A2", tlv("30", "06 03 55 04 07  31 03 02 01 01") +
                   tlv("30", "06 03 55 04 05  31 08 13 02 41 31 13 02 42 32")) +
      tlv("30", gentestOid("01 03") + "05 00") + "0A 01 03" +
      tlv("A3", tlv("30", tlv("17", kUtcText) + "0C 01 6E")) + "A4 07 02 01 01 02 02 00 C8");

const std::string kMessageXer = std::string(kDeclaration) +
   "<Message>\n"
   "   <version><v3/></version>\n"
   "   <record>\n"
   "      <serial>5</serial>\n"
   "      <flag><true/></flag>\n"
   "      <count>7</count>\n"
   "      <small>300</small>\n"
   "      <flags>1000000001</flags>\n"
   "      <label>ab</label>\n"
   "      <id>2.5.4.3</id>\n"
   "      <key>0102030405060708</key>\n"
   "      <bits>1111</bits>\n"
   "      <nothing/>\n"
   "      <when>\n"
   "         <utcTime>250101000000Z</utcTime>\n"
   "      </when>\n"
   "      <algorithm>\n"
   "         <algorithm>1.3.6.1.4.1.55555.1.2</algorithm>\n"
   "         <parameters><Params><rounds>3</rounds><salt>6162</salt></Params></parameters>\n"
   "      </algorithm>\n"
   "      <extra><Encoded>0500</Encoded></extra>\n"
   "   </record>\n"
   "   <names>\n"
   "      <directoryName>\n"
   "         <rdnSequence>\n"
   "            <RelativeDistinguishedName>\n"
   "               <AttributeTypeAndValue>\n"
   "                  <type>2.5.4.3</type>\n"
   "                  <value><_commonName_Type><printable>Al</printable></_commonName_Type>"
   "</value>\n"
   "               </AttributeTypeAndValue>\n"
   "            </RelativeDistinguishedName>\n"
   "         </rdnSequence>\n"
   "      </directoryName>\n"
   "      <rfc822Name>x</rfc822Name>\n"
   "      <iPAddress>7F000001</iPAddress>\n"
   "      <registeredID>2.5.4.3</registeredID>\n"
   "      <otherName>\n"
   "         <type_id>2.5.4.3</type_id>\n"
   "         <value><Encoded>0500</Encoded></value>\n"
   "      </otherName>\n"
   "   </names>\n"
   "   <extensions>\n"
   "      <Extension>\n"
   "         <extnID>1.3.6.1.4.1.55555.2.2</extnID>\n"
   "         <extnValue><GeneralNames><rfc822Name>x</rfc822Name></GeneralNames></extnValue>\n"
   "      </Extension>\n"
   "      <Extension>\n"
   "         <extnID>1.3.6.1.4.1.55555.2.1</extnID>\n"
   "         <critical><true/></critical>\n"
   "         <extnValue><Flags>1</Flags></extnValue>\n"
   "      </Extension>\n"
   "      <Extension>\n"
   "         <extnID>1.3.6.1.4.1.55555.2.9</extnID>\n"
   "         <extnValue>020101</extnValue>\n"
   "      </Extension>\n"
   "   </extensions>\n"
   "   <attributes>\n"
   "      <Attribute>\n"
   "         <type>2.5.4.7</type>\n"
   "         <values>\n"
   "            <Encoded>020101</Encoded>\n"
   "         </values>\n"
   "      </Attribute>\n"
   "      <Attribute>\n"
   "         <type>2.5.4.5</type>\n"
   "         <values>\n"
   "            <PrintableString>A1</PrintableString>\n"
   "            <PrintableString>B2</PrintableString>\n"
   "         </values>\n"
   "      </Attribute>\n"
   "   </attributes>\n"
   "   <digest>\n"
   "      <algorithm>1.3.6.1.4.1.55555.1.3</algorithm>\n"
   "      <parameters><NULL/></parameters>\n"
   "   </digest>\n"
   "   <priority><high/></priority>\n"
   "   <entries>\n"
   "      <Message_entries_element>\n"
   "         <stamp>\n"
   "            <utcTime>250101000000Z</utcTime>\n"
   "         </stamp>\n"
   "         <note>n</note>\n"
   "      </Message_entries_element>\n"
   "   </entries>\n"
   "   <counters>\n"
   "      <INTEGER>1</INTEGER>\n"
   "      <INTEGER>200</INTEGER>\n"
   "   </counters>\n"
   "</Message>";

TEST_F(GeneratedXerTest, MessageFromDerIsWrittenExactly) {
   ASN1T_Message message;
   ASSERT_EQ(decode(asn1D_Message, message, kMessage), RTS_OK);
   EXPECT_EQ(xer<ASN1C_Message>(message), kMessageXer);
}

TEST_F(GeneratedXerTest, MessageReadBackGivesTheSameDer) {
   EXPECT_EQ((derOfXer<ASN1C_Message, ASN1T_Message>(kMessageXer)), kMessage);
}

TEST_F(GeneratedXerTest, StringsAreEscapedAndTranscoded) {
   static ASN116BITCHAR bmp[] = {0x48, 0x69};
   static ASN132BITCHAR universal[] = {0xE9};
   ASN1T_Strings s;
   s.printable = "A<c";
   s.ia5 = "x&y";
   s.m.bmpPresent = s.m.universalPresent = s.m.utf8Present = 1;
   s.bmp = {2, bmp};
   s.universal = {1, universal};
   s.utf8 = "\xC3\xA9";
   const std::string document = std::string(kDeclaration) +
                                "<Strings>\n"
                                "   <printable>A&lt;c</printable>\n"
                                "   <ia5>x&amp;y</ia5>\n"
                                "   <bmp>Hi</bmp>\n"
                                "   <universal>\xC3\xA9</universal>\n"
                                "   <utf8>\xC3\xA9</utf8>\n"
                                "</Strings>";
   EXPECT_EQ(xer<ASN1C_Strings>(s), document);
   EXPECT_EQ((derOfXer<ASN1C_Strings, ASN1T_Strings>(document)), derOf<ASN1C_Strings>(s));
}

TEST_F(GeneratedXerTest, TypesDefinedAsPrimitivesAndAliasesUseTheirOwnNames) {
   ASN1T_Version version = Version::v3;
   EXPECT_EQ(xer<ASN1C_Version>(version), std::string(kDeclaration) + "<Version><v3/></Version>");
   ASN1T_Flags flags;
   flags.numbits = 10;
   flags.data[0] = 0x80;
   flags.data[1] = 0x40;
   EXPECT_EQ(xer<ASN1C_Flags>(flags), std::string(kDeclaration) + "<Flags>1000000001</Flags>");

   ASN1T_DigestAlgorithmIdentifier digest;
   digest.algorithm = id_alg_plain;
   const std::string document = std::string(kDeclaration) +
                                "<DigestAlgorithmIdentifier>\n"
                                "   <algorithm>1.3.6.1.4.1.55555.1.1</algorithm>\n"
                                "</DigestAlgorithmIdentifier>";
   EXPECT_EQ(xer<ASN1C_DigestAlgorithmIdentifier>(digest), document);
   EXPECT_EQ((derOfXer<ASN1C_DigestAlgorithmIdentifier, ASN1T_DigestAlgorithmIdentifier>(document)),
             tlv("30", gentestOid("01 01")));
   /* The alias reads only its own element. */
   EXPECT_EQ((derOfXer<ASN1C_DigestAlgorithmIdentifier, ASN1T_DigestAlgorithmIdentifier>(
                "<AlgorithmIdentifier><algorithm>1.2.3</algorithm></AlgorithmIdentifier>")),
             status(RTS_XML_STRUCTURE));
}

TEST_F(GeneratedXerTest, DefaultsAreFilledInAndLeftOut) {
   ASN1T_Ticket ticket;
   ticket.holder = "x";
   const std::string document = std::string(kDeclaration) +
                                "<Ticket>\n"
                                "   <holder>x</holder>\n"
                                "</Ticket>";
   EXPECT_EQ(xer<ASN1C_Ticket>(ticket), document);
   EXPECT_EQ((derOfXer<ASN1C_Ticket, ASN1T_Ticket>(document)), H("30 03 0C 01 78"));
   const int stat = read<ASN1C_Ticket, ASN1T_Ticket>(document, [](ASN1T_Ticket& v) {
      EXPECT_STREQ(v.version, "1");
      EXPECT_EQ(v.valid, 1);
   });
   EXPECT_EQ(stat, RTS_OK);

   ticket.version = "2";
   ticket.valid = 0;
   const std::string other = std::string(kDeclaration) +
                             "<Ticket>\n"
                             "   <version>2</version>\n"
                             "   <holder>x</holder>\n"
                             "   <valid><false/></valid>\n"
                             "</Ticket>";
   EXPECT_EQ(xer<ASN1C_Ticket>(ticket), other);
   EXPECT_EQ((derOfXer<ASN1C_Ticket, ASN1T_Ticket>(other)), H("30 09 02 01 02 0C 01 78 01 01 00"));
   /* Defaults given in the document are not written to DER. */
   EXPECT_EQ((derOfXer<ASN1C_Ticket, ASN1T_Ticket>(
                "<Ticket><version>1</version><holder>x</holder><valid><true/></valid></Ticket>")),
             H("30 03 0C 01 78"));
}

TEST_F(GeneratedXerTest, XmlNameDirectiveGivesTheBuiltInElement) {
   ASN1T_CountryCode code = "DE";
   const std::string document =
      std::string(kDeclaration) + "<PrintableString>DE</PrintableString>";
   EXPECT_EQ(xer<ASN1C_CountryCode>(code), document);
   EXPECT_EQ((derOfXer<ASN1C_CountryCode, ASN1T_CountryCode>(document)), H("13 02 44 45"));
   EXPECT_EQ((derOfXer<ASN1C_CountryCode, ASN1T_CountryCode>("<CountryCode>DE</CountryCode>")),
             status(RTS_XML_STRUCTURE));
   EXPECT_EQ((derOfXer<ASN1C_CountryCode, ASN1T_CountryCode>(
                "<PrintableString>DEU</PrintableString>")),
             status(RTS_CONSTRAINT));
}

TEST_F(GeneratedXerTest, DecodingFollowsTheComponentRules) {
   const std::string when = "<when><utcTime>250101000000Z</utcTime></when>";
   const std::string algorithm = "<algorithm><algorithm>1.2.3</algorithm></algorithm>";
   const std::string tail = when + algorithm + "</Record>";
   const std::string record = tlv("30", "02 01 05" + tlv("17", kUtcText) + tlv("30", "06 02 2A 03"));
   const struct {
      std::string document;
      std::string result;
   } cases[] = {
      {"<Record><serial>5</serial>" + tail, record},
      /* A named number as number or as identifier. */
      {"<Record><version>2</version><serial>5</serial>" + tail,
       tlv("30", "A0 03 02 01 02  02 01 05" + tlv("17", kUtcText) + tlv("30", "06 02 2A 03"))},
      {"<Record><version><v3/></version><serial>5</serial>" + tail,
       tlv("30", "A0 03 02 01 02  02 01 05" + tlv("17", kUtcText) + tlv("30", "06 02 2A 03"))},
      {"<Record><version><v4/></version><serial>5</serial>" + tail, status(RTS_BAD_ENUM)},
      {"<Record><serial>5</serial><status><maybe/></status>" + tail, status(RTS_BAD_ENUM)},
      /* Components in the wrong order, unknown or repeated. */
      {"<Record>" + when + "<serial>5</serial>" + algorithm + "</Record>", status(RTS_NOT_FOUND)},
      {"<Record><serial>5</serial><serial>5</serial>" + tail, status(RTS_NOT_FOUND)},
      {"<Record><colour>red</colour><serial>5</serial>" + tail, status(RTS_NOT_FOUND)},
      {"<Record><serial>5</serial>" + when + "</Record>", status(RTS_MISSING_ELEMENT)},
      {"<Params><rounds>1</rounds></Params>", status(RTS_XML_STRUCTURE)},
   };
   for (const auto& c : cases) {
      EXPECT_EQ((derOfXer<ASN1C_Record, ASN1T_Record>(c.document)), c.result) << c.document;
   }
}

TEST_F(GeneratedXerTest, SetComponentsMayComeInAnyOrder) {
   EXPECT_EQ((derOfXer<ASN1C_Person, ASN1T_Person>(
                "<Person>\n  <age>42</age>\n  <surname>Doe</surname>\n</Person>")),
             tlv("31", "A0 05 13 03 44 6F 65  82 01 2A"));
   EXPECT_EQ((derOfXer<ASN1C_Person, ASN1T_Person>("<Person><age>42</age></Person>")),
             status(RTS_MISSING_ELEMENT));
}

TEST_F(GeneratedXerTest, ListItemsCarryTheirTypeNames) {
   ASN1OBJID oids[] = {oidOf({2, 5, 4, 3}), oidOf({2, 5, 4, 5})};
   ASN1T_OidList list;
   list.n = 2;
   list.elem = oids;
   const std::string document = std::string(kDeclaration) +
                                "<OidList>\n"
                                "   <OBJECT_IDENTIFIER>2.5.4.3</OBJECT_IDENTIFIER>\n"
                                "   <OBJECT_IDENTIFIER>2.5.4.5</OBJECT_IDENTIFIER>\n"
                                "</OidList>";
   EXPECT_EQ(xer<ASN1C_OidList>(list), document);
   EXPECT_EQ((derOfXer<ASN1C_OidList, ASN1T_OidList>(document)),
             H("30 0A 06 03 55 04 03 06 03 55 04 05"));

   EXPECT_EQ((derOfXer<ASN1C_ParamsList, ASN1T_ParamsList>(
                "<ParamsList><Params><rounds>1</rounds></Params>"
                "<Params><rounds>2</rounds><salt>6162</salt></Params></ParamsList>")),
             tlv("30", "30 03 02 01 01  30 07 02 01 02 04 02 61 62"));
   /* An empty list element gives an empty list, which SIZE (1..MAX) refuses
      on output. */
   EXPECT_EQ((derOfXer<ASN1C_Labels, ASN1T_Labels>("<Labels/>")), status(RTS_CONSTRAINT));
}

}
