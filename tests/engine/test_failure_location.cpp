// Where a BER decode failed, as the error information records it on the way
// out: the path of components and items from the decoded value down, and
// the first octet of the element that failed. Open types decoded from a
// copy of their octets are placed back in the input where their source is
// known, else at the element around them.
#include <cstdint>
#include <vector>

#include "codecFailure.h"
#include "engine_fixture.h"

using namespace testmodule;

namespace {

class FailureLocationTest : public EngineTest {};

TEST_F(FailureLocationTest, PathAndElementOfTheFailure) {
   const std::string utc = "17 0D 32 35 30 31 30 31 30 30 30 30 30 30 5A";
   struct Case {
      const char* what;
      const asn1rt::TypeDesc* type;
      std::string input;
      int status;
      const char* path;
      long offset;        // open types pointing into the input
      long copiedOffset;  // open types copied out of it
   } cases[] = {
      {"component cut short", &tRecord, "30 07 02 01 01 30 05 06 03", RTS_BAD_LENGTH, "algorithm", 5, 5},
      {"CHOICE without a fitting alternative", &tRecord,
       "30 0D 02 01 01 30 05 06 03 2A 03 04 02 01 05", RTS_BAD_CHOICE, "validity", 12, 12},
      {"under an explicit tag, the inner element", &tRecord,
       "30 1E A0 03 04 01 02 02 01 01 30 05 06 03 2A 03 04" + utc, RTS_NOT_FOUND, "version", 4, 4},
      {"under an implicit tag, the tag", &tRecord,
       "30 20 02 01 01 81 05 01 02 03 04 05 30 05 06 03 2A 03 04" + utc, RTS_TOO_BIG, "minimum", 5,
       5},
      {"required component missing", &tRecord, "30 0A 02 01 01 30 05 06 03 2A 03 04",
       RTS_MISSING_ELEMENT, "", 0, 0},
      {"parameters of the wrong type", &tAlgorithmIdentifier, "30 09 06 03 2A 03 04 02 02 01 2C",
       RTS_NOT_FOUND, "parameters", 7, 0},
      {"component inside the parameters", &tAlgorithmIdentifier,
       "30 0E 06 03 2A 03 04 30 07 02 01 05 05 02 AB CD", RTS_NOT_FOUND, "parameters.b", 12, 0},
      {"extension value, OCTET STRING in one piece", &tExtension,
       "30 0B 06 03 55 1D 0F 04 04 04 02 05 A0", RTS_NOT_FOUND, "extnValue", 9, 9},
      {"extension value holding no element", &tExtension, "30 0A 06 03 55 1D 0F 04 03 03 05 05",
       RTS_BAD_LENGTH, "extnValue", 9, 9},
      {"extension value, OCTET STRING in segments", &tExtension,
       "30 0F 06 03 55 1D 0F 24 80 04 04 04 02 05 A0 00 00", RTS_NOT_FOUND, "extnValue", 0, 0},
      {"second extension of a record", &tRecord,
       "30 36 02 01 01 30 05 06 03 2A 03 04" + utc +
          "A3 1B 30 19 30 0B 06 03 55 1D 0F 04 04 03 02 05 A0 30 0A 06 03 55 1D 0F 04 03 05 01 00",
       RTS_NOT_FOUND, "extensions[1].extnValue", 53, 53},
      {"second value of an attribute", &tAttribute,
       "30 11 06 03 55 04 03 31 0A 13 02 41 42 02 01 01 13 01 43", RTS_BAD_CHOICE, "values[1]",
       13, 0},
      {"attribute of the second RDN", &tRDNSequence,
       "30 1A 31 0B 30 09 06 03 55 04 03 13 02 41 42 31 0B 30 09 06 03 55 04 03 02 02 41 42",
       RTS_BAD_CHOICE, "[1][0].value", 24, 17},
   };
   // The values go with the heap: those of open types left in place hold
   // octets of the input, which no free may reach.
   for (bool copied : {false, true}) {
      for (const Case& c : cases) {
         rtErrReset(&ctxt.errInfo);
         if (copied) {
            rtCtxtClearFlag(&ctxt, CTXTF_OPENTYPE_NOCOPY);
         } else {
            rtCtxtSetFlag(&ctxt, CTXTF_OPENTYPE_NOCOPY);
         }
         std::vector<uint64_t> value(c.type->valueSize / 8 + 1, 0);
         EXPECT_EQ(decode(c.type, value.data(), c.input), c.status) << c.what;
         const CodecFailure failure = CodecFailure::ofBerDecode(
            &ctxt, reinterpret_cast<const ASN1OCTET*>(input.data()), input.size());
         EXPECT_EQ(failure.status(), c.status) << c.what;
         EXPECT_EQ(failure.path(), c.path) << c.what;
         EXPECT_EQ(failure.offset(), copied ? c.copiedOffset : c.offset) << c.what << " copied " << copied;
      }
   }
}

}
