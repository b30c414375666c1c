// The round-trip oracle of the fuzzing harnesses: how a fuzz input picks its
// type, which XML counts as carrying its values exactly, that it holds for
// every fixture (DER, BER that is not DER, and the XML of each) and for the
// inner messages of the -t1 step, that it tolerates the values XML cannot
// carry, and that its checks do fail.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../../fuzz/roundTripOracle.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

std::string tlv(unsigned char tag, const std::string& contents) {
   std::string out(1, static_cast<char>(tag));
   out += static_cast<char>(contents.size());  // short form: these stay below 128
   return out + contents;
}

// A rejected time-stamp response whose status text is the one UTF8String.
std::string rejectionWithText(const std::string& text) {
   return tlv(0x30, tlv(0x30, tlv(0x02, "\x02") + tlv(0x30, tlv(0x0C, text))));
}

TEST(FuzzInput, FirstByteSelectsTheTypeModuloTheirNumber) {
   const struct {
      unsigned char first;
      const char* type;
   } cases[] = {
      {0, "CertificationRequest"}, {1, "Certificate"},    {8, "TimeStampToken"},
      {16, "TimeStampAuthenticodeRequest"}, {17, "CertificationRequest"},
      {26, "TimeStampResp"}, {27, "TSTInfo"}, {255, "CertificationRequest"},
   };
   for (const auto& c : cases) {
      const uint8_t data[] = {c.first, 0x30, 0x00};
      fuzzoracle::FuzzInput input = fuzzoracle::splitInput(data, sizeof data);
      ASSERT_NE(input.typeName, nullptr) << int(c.first);
      EXPECT_STREQ(input.typeName, c.type) << int(c.first);
      EXPECT_EQ(input.message, std::string("\x30\x00", 2));
   }
   EXPECT_EQ(fuzzoracle::splitInput(nullptr, 0).typeName, nullptr);
}

TEST(CarriesValuesExactly, OnlyPrintableAsciiLineFeedsAndNoBackslash) {
   const struct {
      std::string xml;
      bool exact;
   } cases[] = {
      {"<a>\n   <b>x &amp; y</b>\n</a>", true},
      {"<a>~</a>", true},
      {"<a>\\t</a>", false},            // a tab as the writer escapes it
      {"<a>a\\b</a>", false},           // or a backslash of the value
      {std::string("<a>\x7F</a>"), false},
      {std::string("<a>\xC3\xA9</a>"), false},
      {std::string("<a>\t</a>"), false},
      {std::string("<a>\r\n</a>"), false},
      {std::string("<a>\0</a>", 8), false},
   };
   for (const auto& c : cases)
      EXPECT_EQ(fuzzoracle::detail::carriesValuesExactly(c.xml), c.exact) << c.xml;
}

struct Fixture {
   std::string name;
   const char* type;
   std::string der;
};

std::vector<Fixture> fixtures() {
   std::vector<Fixture> found;
   for (const auto& entry :
        fs::recursive_directory_iterator(testsupport::sourcePath("tests/fixtures"))) {
      if (entry.path().extension() != ".der") continue;
      std::string stem = entry.path().stem().string();
      std::string prefix = stem.substr(0, stem.find('_'));
      for (const TopLevelType& row : kTopLevelTypes) {
         std::string lower = row.name;
         for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         if (lower == prefix)
            found.push_back({stem, row.name, testsupport::readFile(entry.path().string())});
      }
   }
   return found;
}

// The fixtures include BER that is not DER (the time-stamp tokens' unsorted
// SET OF certificates), where the XML path and the binary path give DER
// that must agree.
TEST(Oracle, HoldsForEveryFixtureAndItsXml) {
   std::vector<Fixture> all = fixtures();
   ASSERT_GE(all.size(), 100u);
   for (const Fixture& f : all) {
      fuzzoracle::Verdict fromDer = fuzzoracle::checkDerInput(f.type, f.der);
      EXPECT_TRUE(fromDer.held) << f.name << ": " << fromDer.failure;
      CACMPT_BLOB blob(reinterpret_cast<const unsigned char*>(f.der.data()),
                       static_cast<uint32_t>(f.der.size()));
      std::string xml = XerDerConverterSimple(f.type).toXer(blob, false);
      fuzzoracle::Verdict fromXml = fuzzoracle::checkXmlInput(f.type, xml);
      EXPECT_TRUE(fromXml.held) << f.name << ": " << fromXml.failure;
   }
}

// Values that XML cannot carry by design of the writer: the oracle lets
// them pass, and they indeed do not come back.
TEST(Oracle, ToleratesValuesThatXmlCannotCarry) {
   const struct {
      const char* what;
      std::string text;
   } cases[] = {
      {"invalid UTF-8", "not s\x8B\x8F\x8F."},
      {"a tab, written as backslash t", "a\tb"},
      {"a carriage return", "a\rb"},
   };
   XerDerConverterSimple converter("TimeStampResp");
   for (const auto& c : cases) {
      std::string der = rejectionWithText(c.text);
      std::string xml = converter.toXer(fuzzoracle::detail::toBlob(der), false);
      EXPECT_FALSE(fuzzoracle::detail::carriesValuesExactly(xml)) << c.what;
      bool cameBack = false;
      try {
         cameBack = fuzzoracle::detail::blobBytes(converter.toDer(xml)) == der;
      } catch (...) {
      }
      EXPECT_FALSE(cameBack) << c.what;
      fuzzoracle::Verdict verdict = fuzzoracle::checkDerInput("TimeStampResp", der);
      EXPECT_TRUE(verdict.held) << c.what << ": " << verdict.failure;
   }
}

TEST(Oracle, PlainTextComesBackIdentical) {
   std::string der = rejectionWithText("bad <request> & \"more\"");
   fuzzoracle::Verdict verdict = fuzzoracle::checkDerInput("TimeStampResp", der);
   EXPECT_TRUE(verdict.held) << verdict.failure;
   XerDerConverterSimple converter("TimeStampResp");
   std::string xml = converter.toXer(fuzzoracle::detail::toBlob(der), false);
   EXPECT_TRUE(fuzzoracle::detail::carriesValuesExactly(xml)) << xml;
   EXPECT_EQ(fuzzoracle::detail::blobBytes(converter.toDer(xml)), der);
}

TEST(Oracle, InputsThatDoNotConvertHold) {
   const struct {
      const char* type;
      std::string message;
   } cases[] = {
      {"Certificate", ""},
      {"Certificate", std::string("\x30\x03\x02\x01", 4)},
      {"TimeStampResp", "<TimeStampResp>"},
   };
   for (const auto& c : cases) {
      EXPECT_TRUE(fuzzoracle::checkDerInput(c.type, c.message).held) << c.type;
      EXPECT_TRUE(fuzzoracle::checkXmlInput(c.type, c.message).held) << c.type;
   }
}

// Outer types of the -t1 step take their inner message through the oracle
// too; an empty message is decoded as in the driver's buffer, zeros after it.
TEST(FuzzInput, OuterTypesAndTheirInnerMessagesHold) {
   const struct {
      unsigned char type;
      const char* fixture;
   } cases[] = {
      {9, "tests/fixtures/tsp/timestampresp_granted_full.der"},
      {9, "tests/fixtures/tsp/timestampresp_rejection_badalg.der"},
      {4, "tests/fixtures/dvcs/contentinfo_dvcsrequest_vsd.der"},
      {4, "tests/fixtures/dvcs/contentinfo_dvcsresponse_error.der"},
      {12, "tests/fixtures/ocsp/ocspresponse_multi_status.der"},
      {12, "tests/fixtures/ocsp/ocspresponse_malformed_request.der"},
      {4, nullptr},
      {9, nullptr},
      {12, nullptr},
   };
   for (const auto& c : cases) {
      std::string input(1, static_cast<char>(c.type));
      if (c.fixture != nullptr) input += testsupport::readFile(testsupport::sourcePath(c.fixture));
      fuzzoracle::Verdict verdict = fuzzoracle::checkDerFuzzInput(
         reinterpret_cast<const uint8_t*>(input.data()), input.size());
      EXPECT_TRUE(verdict.held) << (c.fixture ? c.fixture : "empty") << ": " << verdict.failure;
   }
}

// The same response with an indefinite outer length is BER but not DER: as
// DER said to be written by the converters it breaks the fixed point.
TEST(Oracle, ReportsDerThatIsNotAFixedPoint) {
   std::string der = rejectionWithText("bad request");
   std::string ber = "\x30\x80" + der.substr(2) + std::string(2, '\0');
   ASSERT_TRUE(fuzzoracle::checkDerInput("TimeStampResp", ber).held);

   fuzzoracle::detail::Checker check("TimeStampResp");
   std::string xml;
   EXPECT_FALSE(check.writtenDerIsFixed(ber, xml));
   EXPECT_FALSE(check.verdict.held);
   EXPECT_EQ(check.verdict.failure.rfind("TimeStampResp: BER decoding and DER encoding of "
                                         "written DER\n--- expected: 3080",
                                         0),
             0u)
      << check.verdict.failure;
}

}
