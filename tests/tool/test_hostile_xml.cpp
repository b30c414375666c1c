// XML documents that xmlblob must refuse (or convert exactly), one row per
// doctored document.
#include "hostile_inputs.h"

namespace {

using namespace hostile;

/* `xml` with `declaration` in front of its root element. */
std::string withDoctype(const std::string& xml, const std::string& declaration) {
   return replaced(xml, "<Certificate>", declaration + "\n<Certificate>");
}

/* Nine levels of entities, each ten of the one below: 10^9 times "lol". */
std::string laughs() {
   std::string subset = "<!ENTITY lol0 \"lol\">";
   for (int i = 1; i <= 9; i++) {
      std::string tenfold;
      for (int j = 0; j < 10; j++) tenfold += "&lol" + std::to_string(i - 1) + ";";
      subset += "<!ENTITY lol" + std::to_string(i) + " \"" + tenfold + "\">";
   }
   return "<!DOCTYPE Certificate [" + subset + "]>";
}

TEST(HostileXml, RefusedOrExact) {
   const std::string xml = goldenXml();
   /* The key usage extension with its value given as hexadecimal. */
   const auto withKeyUsageHex = [&xml](const std::string& hex) {
      const size_t start = xml.find("<extnValue>", xml.find("2.5.29.15"));
      const size_t end = xml.find("</extnValue>", start);
      return replaced(xml, xml.substr(start, end - start), "<extnValue>" + hex);
   };
   const Row rows[] = {
      {"unknown component", replaced(xml, "<serialNumber>", "<serial>4</serial><serialNumber>"),
       "Certificate", "", kReaderReport},
      // An open type holds exactly one value: text in its place, no value,
      // or octets that are not a value of the type its identifier names.
      {"country name as bare text",
       replaced(xml, "<value><PrintableString>DE</PrintableString></value>", "<value>DE</value>"),
       "Certificate", "", kReaderReport},
      {"country name empty",
       replaced(xml, "<value><PrintableString>DE</PrintableString></value>", "<value/>"),
       "Certificate", "", kReaderReport},
      {"text after the country name",
       replaced(xml, "<PrintableString>DE</PrintableString></value>",
                "<PrintableString>DE</PrintableString>FR</value>"),
       "Certificate", "", kReaderReport},
      {"parameters as bare hexadecimal",
       replaced(xml, "<parameters><Encoded>0500</Encoded></parameters>",
                "<parameters>0500</parameters>"),
       "Certificate", "", kReaderReport},
      {"parameters with an empty Encoded",
       replaced(xml, "<Encoded>0500</Encoded>", "<Encoded></Encoded>"), "Certificate", "",
       kReaderReport},
      {"hexadecimal country name that is a BOOLEAN",
       replaced(xml, "<value><PrintableString>DE</PrintableString></value>",
                "<value><Encoded>0101FF</Encoded></value>"),
       "Certificate", "", kReaderReport},
      {"key usage octets that are no KeyUsage", withKeyUsageHex("FFFF"), "Certificate", "",
       kReaderReport},
      {"key usage with trailing octets", withKeyUsageHex("03020780FF"), "Certificate", "",
       kReaderReport},
      // BER kept in an unknown open type comes out as DER.
      {"indefinite lengths inside an unknown content",
       "<ContentInfo><contentType>1.2.3.4</contentType>"
       "<content><Encoded>30800201010000</Encoded></content></ContentInfo>",
       "ContentInfo", testsupport::fromHex("300C06032A0304A00530030201 01"), nullptr},
      {"content of a ContentInfo empty",
       "<ContentInfo><contentType>1.2.840.113549.1.7.1</contentType><content/></ContentInfo>",
       "ContentInfo", "", kReaderReport},
      {"extension arc above 32 bits",
       replaced(xml, "<extnID>2.5.29.19</extnID>", "<extnID>2.5.29.4294967315</extnID>"),
       "Certificate", "", kReaderReport},
      {"billion laughs in a commonName",
       replaced(withDoctype(xml, laughs()), "golden leaf", "&lol9;"), "Certificate", "",
       kReaderReport},
      {"serial number spelt by an entity",
       replaced(withDoctype(xml, "<!DOCTYPE Certificate [<!ENTITY d \"1234567890\">]>"),
                "<serialNumber>4759477275222530853130", "<serialNumber>&d;&d;"),
       "Certificate", "", kReaderReport},
      {"external identifier",
       withDoctype(xml, "<!DOCTYPE Certificate SYSTEM \"file:///etc/passwd\">"), "Certificate",
       "", kReaderReport},
      {"declaration without internal subset", withDoctype(xml, "<!DOCTYPE Certificate>"),
       "Certificate", "", kReaderReport},
   };
   for (const Row& row : rows) expectRow("xmlblob", row);
}

}
