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
   const Row rows[] = {
      {"unknown component", replaced(xml, "<serialNumber>", "<serial>4</serial><serialNumber>"),
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
