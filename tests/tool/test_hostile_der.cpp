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
   };
   for (const Row& row : rows) expectRow("blobxml", row);
}

}
