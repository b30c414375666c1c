// DER that must be refused by blobxml (or converted exactly), one row per
// doctored message.
#include "hostile_inputs.h"

namespace {

using namespace hostile;

TEST(HostileDer, RefusedOrExact) {
   const std::string der = goldenDer();
   const Row rows[] = {
      {"outer SET instead of SEQUENCE", "\x31" + der.substr(1), "Certificate", "",
       kConverterReport},
      // Octets of an unknown open type are shown as they came, BER included.
      {"indefinite lengths inside an unknown content",
       testsupport::fromHex("308006032A0304A080308002010100000000 0000"), "ContentInfo",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ContentInfo>\n"
       "   <contentType>1.2.3.4</contentType>\n"
       "   <content><Encoded>30800201010000</Encoded></content>\n</ContentInfo>",
       nullptr},
   };
   for (const Row& row : rows) expectRow("blobxml", row);
}

}
