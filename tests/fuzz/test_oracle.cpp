// The round-trip oracle of the fuzzing harnesses, and the round trip itself
// on every fixture and every certificate of the system's CA bundle: DER ->
// XML -> DER gives the same octets, and the oracle holds for the message
// and its XML. Also which XML counts as carrying its values exactly, that
// the oracle's checks do fail, and the regression inputs of the harnesses.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../../fuzz/roundTripOracle.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace fuzzoracle;
using testsupport::fromHex;

struct Message {
   std::string name;
   const char* type;
   std::string der;
};

// Fixture files are named after their top-level type ("<type>_<what>.der");
// the CA bundle holds PEM certificates, whose base64 bodies are decoded.
std::vector<Message> messages() {
   static const std::string alphabet =
       "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
   std::vector<Message> found;
   for (const auto& entry :
        fs::recursive_directory_iterator(testsupport::sourcePath("tests/fixtures"))) {
      const std::string stem = entry.path().stem().string();
      for (const TopLevelType& row : kTopLevelTypes) {
         std::string lower = row.name;
         for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         if (entry.path().extension() == ".der" && lower == stem.substr(0, stem.find('_')))
            found.push_back({stem, row.name, testsupport::readFile(entry.path().string())});
      }
   }
   const size_t fixtureCount = found.size();
   const bool bundle = fs::exists("/usr/share/ca-certificates");
   for (const auto& entry : bundle ? fs::recursive_directory_iterator("/usr/share/ca-certificates")
                                   : fs::recursive_directory_iterator()) {
      if (entry.path().extension() != ".crt") continue;
      const std::string text = testsupport::readFile(entry.path().string());
      for (size_t at = text.find("-----BEGIN CERTIFICATE-----"); at != std::string::npos;
           at = text.find("-----BEGIN", at + 1)) {
         std::string der;
         unsigned bits = 0, count = 0;
         for (size_t i = at + 27; i < text.size() && text[i] != '-'; ++i) {
            if (alphabet.find(text[i]) == std::string::npos) continue;
            bits = (bits << 6) | static_cast<unsigned>(alphabet.find(text[i]));
            if ((count += 6) >= 8) der += static_cast<char>((bits >> (count -= 8)) & 0xFF);
         }
         found.push_back({entry.path().stem().string(), "Certificate", der});
      }
   }
   EXPECT_GE(fixtureCount, 100u);
   EXPECT_GE(found.size(), fixtureCount + (bundle ? 100 : 0));
   return found;
}

// Two time-stamp fixtures are BER but not DER (their certificates are not
// in SET OF order): they come back as DER, which then comes back unchanged.
TEST(Oracle, RoundTripIsExactAndOracleHoldsForEveryFixture) {
   for (const Message& m : messages()) {
      SCOPED_TRACE(m.name);
      XerDerConverterSimple converter(m.type);
      const std::string xml = converter.toXer(detail::toBlob(m.der), false);
      const std::string der = detail::blobBytes(converter.toDer(xml));
      if (m.name == "timestampresp_granted_full" || m.name == "timestamptoken_full") {
         EXPECT_NE(der, m.der);
         EXPECT_EQ(detail::blobBytes(converter.toDer(converter.toXer(detail::toBlob(der), false))),
                   der);
      } else {
         EXPECT_EQ(detail::hex(der), detail::hex(m.der)) << xml;
      }
      const Verdict fromDer = checkDerInput(m.type, m.der), fromXml = checkXmlInput(m.type, xml);
      EXPECT_TRUE(fromDer.held) << fromDer.failure;
      EXPECT_TRUE(fromXml.held) << fromXml.failure;
   }
}

TEST(CarriesValuesExactly, OnlyPrintableAsciiLineFeedsAndNoBackslash) {
   const struct {
      std::string xml;
      bool exact;
   } cases[] = {{"<a>\n   <b>x &amp; y</b>\n</a>", true}, {"<a>~</a>", true}, {"<a>\\t</a>", false},
                {"<a>a\\b</a>", false}, {"<a>\x7F</a>", false}, {"<a>\xC3\xA9</a>", false},
                {"<a>\t</a>", false}, {"<a>\r\n</a>", false}, {std::string("<a>\0</a>", 8), false}};
   for (const auto& c : cases) EXPECT_EQ(detail::carriesValuesExactly(c.xml), c.exact) << c.xml;
}

std::string tlv(char tag, const std::string& contents) {
   return tag + std::string(1, static_cast<char>(contents.size())) +
          contents;  // short form: below 128
}

// A rejected time-stamp response whose status text is the one UTF8String.
std::string rejectionWithText(const std::string& text) {
   return tlv(0x30, tlv(0x30, fromHex("020102") + tlv(0x30, tlv(0x0C, text))));
}

// Values that XML cannot carry by the writer's design (invalid UTF-8, a tab
// written as backslash t, a carriage return) do not come back, and the
// oracle lets them pass; plain text comes back identical.
TEST(Oracle, ToleratesValuesThatXmlCannotCarry) {
   const struct {
      std::string text;
      bool exact;
   } cases[] = {{"not s\x8B\x8F\x8F.", false},
                {"a\tb", false},
                {"a\rb", false},
                {"bad <request> & \"more\"", true}};
   XerDerConverterSimple converter("TimeStampResp");
   for (const auto& c : cases) {
      const std::string der = rejectionWithText(c.text);
      const std::string xml = converter.toXer(detail::toBlob(der), false);
      EXPECT_EQ(detail::carriesValuesExactly(xml), c.exact) << c.text;
      std::string back;
      try {
         back = detail::blobBytes(converter.toDer(xml));
      } catch (...) {
      }
      EXPECT_EQ(back == der, c.exact) << c.text;
      const Verdict verdict = checkDerInput("TimeStampResp", der);
      EXPECT_TRUE(verdict.held) << c.text << ": " << verdict.failure;
   }
}

// Inputs that do not convert hold; outer types of the -t1 step take their
// inner message through the oracle too, and an empty message is decoded as
// in the driver's buffer, zeros after it.
TEST(Oracle, HoldsForInputsThatDoNotConvertAndForInnerMessages) {
   for (const auto& [type, message] : {std::pair<const char*, std::string>{"Certificate", ""},
                                       {"Certificate", fromHex("30030201")},
                                       {"TimeStampResp", "<TimeStampResp>"}}) {
      EXPECT_TRUE(checkDerInput(type, message).held) << type;
      EXPECT_TRUE(checkXmlInput(type, message).held) << type;
   }
   const struct {
      char type;
      const char* fixture;
   } cases[] = {{9, "tsp/timestampresp_granted_full.der"},
                {9, "tsp/timestampresp_rejection_badalg.der"},
                {4, "dvcs/contentinfo_dvcsrequest_vsd.der"},
                {4, "dvcs/contentinfo_dvcsresponse_error.der"},
                {12, "ocsp/ocspresponse_multi_status.der"},
                {12, "ocsp/ocspresponse_malformed_request.der"},
                {4, nullptr},
                {9, nullptr},
                {12, nullptr}};
   for (const auto& c : cases) {
      std::string input(1, c.type);
      if (c.fixture != nullptr)
         input += testsupport::readFile(testsupport::sourcePath("tests/fixtures/") + c.fixture);
      const Verdict verdict =
          checkDerFuzzInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
      EXPECT_TRUE(verdict.held) << (c.fixture ? c.fixture : "empty") << ": " << verdict.failure;
   }
}

// The response with an indefinite outer length is BER but not DER: as DER
// said to be written by the converters it breaks the fixed point.
TEST(Oracle, ReportsDerThatIsNotAFixedPoint) {
   const std::string der = rejectionWithText("bad request");
   const std::string ber = "\x30\x80" + der.substr(2) + std::string(2, '\0');
   ASSERT_TRUE(checkDerInput("TimeStampResp", ber).held);
   detail::Checker check("TimeStampResp");
   std::string xml;
   EXPECT_FALSE(check.writtenDerIsFixed(ber, xml));
   EXPECT_EQ(
       check.verdict.failure.rfind("TimeStampResp: BER decoding and DER encoding of written DER\n"
                                   "--- expected: 3080",
                                   0),
       0u)
       << check.verdict.failure;
}

// Inputs under fuzz/regressions/ once broke a round trip or crashed a
// harness; each must now pass the harness's own checks (der/ and xml/).
// Under the sanitizer build a crash, leak or undefined behaviour fails them
// too. The faults they found are command-line cases of their own
// (tests/tool/cases/xml_input.txt, hostile_der.txt).
TEST(FuzzRegression, HarnessChecksHold) {
   size_t count = 0;
   for (const std::string harness : {"der", "xml"}) {
      for (const auto& entry :
           fs::directory_iterator(testsupport::sourcePath("fuzz/regressions/" + harness))) {
         const std::string input = testsupport::readFile(entry.path().string());
         const auto* data = reinterpret_cast<const uint8_t*>(input.data());
         const Verdict verdict = harness == "der" ? checkDerFuzzInput(data, input.size())
                                                  : checkXmlFuzzInput(data, input.size());
         EXPECT_TRUE(verdict.held) << entry.path() << ": " << verdict.failure;
         ++count;
      }
   }
   EXPECT_GE(count, 4u);
}

}
