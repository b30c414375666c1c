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
   };
   for (const Row& row : rows) expectRow("xmlblob", row);
}

}
