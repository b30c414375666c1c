// XML documents that xmlblob must refuse (or convert exactly), one row per
// doctored document.
#include "hostile_inputs.h"

namespace {

using namespace hostile;

TEST(HostileXml, RefusedOrExact) {
   const std::string xml = goldenXml();
   const Row rows[] = {
      {"unknown component", replaced(xml, "<serialNumber>", "<serial>4</serial><serialNumber>"),
       "Certificate", "", kReaderReport},
      {"extension arc above 32 bits",
       replaced(xml, "<extnID>2.5.29.19</extnID>", "<extnID>2.5.29.4294967315</extnID>"),
       "Certificate", "", kReaderReport},
   };
   for (const Row& row : rows) expectRow("xmlblob", row);
}

}
