// Inputs under fuzz/regressions/ once broke a round trip or crashed a fuzzing
// harness; each must now pass the harness's own checks (der/ through
// checkDerFuzzInput, xml/ through checkXmlFuzzInput). Under the sanitizer
// build a crash, leak or undefined behaviour fails them too. The faults
// they found are pinned down on their own below.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "../../fuzz/roundTripOracle.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

struct Regression {
   std::string harness;  // "der" or "xml"
   std::string name;
   std::string input;
};

void PrintTo(const Regression& r, std::ostream* os) { *os << r.harness << "/" << r.name; }

std::vector<Regression> regressions() {
   std::vector<Regression> found;
   for (const char* harness : {"der", "xml"}) {
      fs::path dir = testsupport::sourcePath(std::string("fuzz/regressions/") + harness);
      if (!fs::exists(dir)) continue;
      for (const auto& entry : fs::directory_iterator(dir))
         found.push_back({harness, entry.path().filename().string(),
                          testsupport::readFile(entry.path().string())});
   }
   std::sort(found.begin(), found.end(), [](const Regression& a, const Regression& b) {
      return a.harness + a.name < b.harness + b.name;
   });
   return found;
}

class FuzzRegression : public ::testing::TestWithParam<Regression> {};

TEST_P(FuzzRegression, HarnessChecksHold) {
   const Regression& r = GetParam();
   const auto* data = reinterpret_cast<const uint8_t*>(r.input.data());
   fuzzoracle::Verdict verdict = r.harness == "der"
                                    ? fuzzoracle::checkDerFuzzInput(data, r.input.size())
                                    : fuzzoracle::checkXmlFuzzInput(data, r.input.size());
   EXPECT_TRUE(verdict.held) << verdict.failure;
}

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzRegression, ::testing::ValuesIn(regressions()),
                         [](const ::testing::TestParamInfo<Regression>& info) {
                            std::string name = info.param.harness + "_" + info.param.name;
                            for (char& c : name)
                               if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                            return name;
                         });

TEST(FuzzRegressionInputs, AreThere) { EXPECT_GE(regressions().size(), 2u); }

// A ContentInfo of a content type that no object resolves, whose content is
// given as <Encoded> octets in XML.
std::string contentInfoXml(const std::string& hex) {
   return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ContentInfo>\n"
          "   <contentType>1.2.840.113549.1.9.16.1.23</contentType>\n"
          "   <content><Encoded>" + hex + "</Encoded></content>\n</ContentInfo>";
}

// The status of the SAX exception that a failing XML -> DER throws, or 0.
int saxStatusOfToDer(const XerDerConverterSimple& converter, const std::string& xml) {
   try {
      converter.toDer(xml);
   } catch (OSRTSAXException& e) {
      return e.getStatus();
   }
   return 0;
}

// The DER side writes such octets as the one element they begin with: they
// were cut to that element or, as end-of-contents, written as DER that no
// longer decodes. Only exactly one complete element is accepted now, with
// identifier 00 too (BER decoding takes it, and so writes it as XML) as
// long as it has contents.
TEST(EncodedOpenType, IsAcceptedOnlyAsExactlyOneElement) {
   const struct {
      const char* hex;
      const char* der;  // null: refused with status
      int status;
   } cases[] = {
      {"020100", "3012060B2A864886F70D0109100117A003020100", 0},
      {"3080020100 0000", "3014060B2A864886F70D0109100117A0053003020100", 0},
      {"2000", "3011060B2A864886F70D0109100117A0022000", 0},
      {"000201FF", "3013060B2A864886F70D0109100117A004000201FF", 0},
      {"0000", nullptr, RTS_BAD_VALUE},
      {"008100", nullptr, RTS_BAD_VALUE},
      {"020100050", nullptr, RTS_BAD_HEX_TEXT},
      {"0201000500", nullptr, RTS_BAD_VALUE},
      {"02010005", nullptr, RTS_END_OF_DATA},
      {"0201", nullptr, RTS_BAD_LENGTH},
      {"308002010000", nullptr, RTS_END_OF_DATA},
   };
   XerDerConverterSimple converter("ContentInfo");
   for (const auto& c : cases) {
      std::string xml = contentInfoXml(c.hex);
      if (c.der == nullptr) {
         EXPECT_EQ(saxStatusOfToDer(converter, xml), c.status) << c.hex;
         continue;
      }
      std::string der = fuzzoracle::detail::blobBytes(converter.toDer(xml));
      EXPECT_EQ(testsupport::toHex(der), c.der) << c.hex;
      EXPECT_TRUE(fuzzoracle::checkXmlInput("ContentInfo", xml).held) << c.hex;
   }
}

// BER decoding takes an indefinite-length open type whose end-of-contents
// is missing up to the end of the message, so DER -> XML shows those octets;
// they are no complete element, so neither DER encoding of the value nor
// XML -> DER of that XML may write them.
TEST(EncodedOpenType, WithoutEndOfContentsIsShownButNotWritten) {
   const std::string der = testsupport::fromHex("3014060B2A864886F70D0109100117A0053080020100");
   XerDerConverterSimple converter("ContentInfo");
   const std::string xml = converter.toXer(fuzzoracle::detail::toBlob(der), false);
   EXPECT_NE(xml.find("<content><Encoded>3080020100</Encoded></content>"), std::string::npos)
      << xml;
   std::string written;
   EXPECT_EQ(fuzzoracle::detail::reencodeValue("ContentInfo", der, written),
             fuzzoracle::detail::Reencoding::EncodeFailed);
   EXPECT_EQ(saxStatusOfToDer(converter, xml), RTS_END_OF_DATA);
   EXPECT_TRUE(fuzzoracle::checkDerInput("ContentInfo", der).held);
}

}
