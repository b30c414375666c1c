// The -t1 step through the installed executable: the inner message of each
// supported pair is converted in both modes and written to the -o file octet
// for octet, and every way the step can fail gives its exact report and exit
// status.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::fromHex;
using testsupport::installedBin;
using testsupport::readFile;
using testsupport::RunResult;
using testsupport::scratchDir;
using testsupport::toHex;
using testsupport::writeFile;

// A failed Decode() or Encode() in the converter: the context's error text is
// empty, so nothing stands between the quotes.
const std::regex kCodecReport("Error:Exception :'' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n");

// DER handed to the XER reader is not XML; the reader's own exception is not
// a std::exception.
const char kReaderReport[] = "Unknown exception.\n";

const char* const kModes[] = {"blobxml", "xmlblob"};

std::string fixture(const std::string& relative) {
   return testsupport::sourcePath("tests/fixtures/" + relative);
}

RunResult runAs(const std::string& mode, const std::vector<std::string>& args, const std::string& cwd = "") {
   return testsupport::run(installedBin(mode), mode, args, cwd);
}

size_t entriesIn(const std::string& dir) {
   return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

struct Pair {
   std::string name;
   std::string type;
   std::string outerType;
   std::string outer;  // fixture holding the outer message
   std::string inner;  // fixture holding exactly the octets taken out of it
};

// The fixtures of a pair share their last name part: tstinfo_<x> comes from
// timestampresp_granted_<x>, basicocspresponse_<x> from ocspresponse_<x>,
// dvcsrequest_<x> from contentinfo_dvcsrequest_<x> (and so for responses).
std::vector<Pair> pairs() {
   const struct {
      const char* type;
      const char* outerType;
      const char* outerPrefix;
      const char* innerPrefix;
      std::vector<std::string> names;
   } families[] = {
      {"TSTInfo", "TimeStampResp", "tsp/timestampresp_granted_", "tsp/tstinfo_", {"plain", "policy", "full"}},
      {"DVCSRequest", "ContentInfo", "dvcs/contentinfo_dvcsrequest_", "dvcs/dvcsrequest_",
       {"ccpd", "cpd", "vpkc", "vsd"}},
      {"DVCSResponse", "ContentInfo", "dvcs/contentinfo_dvcsresponse_", "dvcs/dvcsresponse_",
       {"ccpd", "cpd", "error", "vpkc", "vsd"}},
      {"BasicOCSPResponse", "OCSPResponse", "ocsp/ocspresponse_", "ocsp/basicocspresponse_",
       {"bykey_nocerts", "good_nonce", "multi_status"}},
   };
   std::vector<Pair> list;
   for (const auto& f : families)
      for (const std::string& name : f.names)
         list.push_back({f.type + ("_" + name), f.type, f.outerType, f.outerPrefix + name + ".der",
                         f.innerPrefix + name + ".der"});
   return list;
}

class InnerMessage : public ::testing::TestWithParam<Pair> {};

// blobxml prints exactly what converting the inner message on its own prints.
TEST_P(InnerMessage, BlobXmlConvertsTheInnerMessageAndSavesItsOctets) {
   const Pair& p = GetParam();
   std::string dir = scratchDir("inner-blobxml-" + p.name);
   RunResult direct = runAs("blobxml", {"-i", fixture(p.inner), "-t", p.type});
   ASSERT_EQ(direct.err, "");
   ASSERT_EQ(direct.out.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + p.type + ">\n", 0), 0u)
      << direct.out;

   RunResult r =
      runAs("blobxml", {"-i", fixture(p.outer), "-t", p.type, "-t1", p.outerType, "-o", "inner.der"}, dir);
   EXPECT_EQ(r.err, "");
   EXPECT_EQ(r.status, 0);
   EXPECT_EQ(r.out, direct.out);
   EXPECT_EQ(toHex(readFile(dir + "/inner.der")), toHex(readFile(fixture(p.inner))));
}

// xmlblob takes the same octets out of the outer DER and hands them to the
// XER reader, which refuses them; the -o file is written before that.
TEST_P(InnerMessage, XmlBlobHandsTheInnerDerToTheXmlReader) {
   const Pair& p = GetParam();
   std::string dir = scratchDir("inner-xmlblob-" + p.name);
   RunResult r =
      runAs("xmlblob", {"-t1", p.outerType, "-t", p.type, "-i", fixture(p.outer), "-o", "inner.der"}, dir);
   EXPECT_EQ(r.out, "");
   EXPECT_EQ(r.err, kReaderReport);
   EXPECT_EQ(r.status, 0);
   EXPECT_EQ(toHex(readFile(dir + "/inner.der")), toHex(readFile(fixture(p.inner))));
}

TEST_P(InnerMessage, WithoutOutputFileNothingIsWritten) {
   const Pair& p = GetParam();
   std::string dir = scratchDir("inner-no-o-" + p.name);
   for (const char* mode : kModes) {
      RunResult r = runAs(mode, {"-i", fixture(p.outer), "-t", p.type, "-t1", p.outerType}, dir);
      EXPECT_EQ(r.status, 0) << mode;
   }
   EXPECT_EQ(entriesIn(dir), 0u);
}

std::string pairName(const ::testing::TestParamInfo<Pair>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Pairs, InnerMessage, ::testing::ValuesIn(pairs()), pairName);

// A failed -t1 step: what standard output must read, exit 255, nothing on
// standard error and no -o file, in both modes.
struct Refusal {
   const char* what;
   std::string input;  // the outer message's octets
   std::vector<std::string> args;
   const char* out;
};

void expectRefused(const Refusal& c) {
   std::string dir = scratchDir("inner-refused");
   writeFile(dir + "/outer.der", c.input);
   for (const char* mode : kModes) {
      std::vector<std::string> args = {"-i", "outer.der", "-o", "inner.der"};
      args.insert(args.end(), c.args.begin(), c.args.end());
      RunResult r = runAs(mode, args, dir);
      EXPECT_EQ(r.out, c.out) << c.what << " / " << mode;
      EXPECT_EQ(r.err, "") << c.what << " / " << mode;
      EXPECT_EQ(r.status, 255) << c.what << " / " << mode;
      EXPECT_FALSE(fs::exists(dir + "/inner.der")) << c.what << " / " << mode;
   }
}

// The pair is checked only after the outer message decoded: an outer message
// that does not decode reports that first, whatever -t says.
TEST(InnerMessageFailures, UnsupportedPairsAreRefusedAfterTheOuterDecode) {
   const std::string tsResp = readFile(fixture("tsp/timestampresp_granted_plain.der"));
   const std::string token = readFile(fixture("tsp/timestamptoken_plain.der"));
   const std::string ocsp = readFile(fixture("ocsp/ocspresponse_good_nonce.der"));
   const std::string dvcs = readFile(fixture("dvcs/contentinfo_dvcsrequest_cpd.der"));
   const std::string basic = readFile(fixture("ocsp/basicocspresponse_good_nonce.der"));
   const char invalid[] = "Invalid type combination\n";
   const Refusal cases[] = {
      {"default -t", tsResp, {"-t1", "TimeStampResp"}, invalid},
      {"token from response", tsResp, {"-t", "TimeStampToken", "-t1", "TimeStampResp"}, invalid},
      {"TSTInfo from ContentInfo", token, {"-t", "TSTInfo", "-t1", "ContentInfo"}, invalid},
      {"TSTInfo from token", token, {"-t", "TSTInfo", "-t1", "TimeStampToken"}, invalid},
      {"TSTInfo from OCSP", ocsp, {"-t", "TSTInfo", "-t1", "OCSPResponse"}, invalid},
      {"basic from ContentInfo", dvcs, {"-t", "BasicOCSPResponse", "-t1", "ContentInfo"}, invalid},
      {"lower-case type", dvcs, {"-t", "dvcsrequest", "-t1", "ContentInfo"}, invalid},
      {"basic from basic", basic, {"-t", "BasicOCSPResponse", "-t1", "BasicOCSPResponse"}, invalid},
      {"invalid pair, outer undecodable", ocsp, {"-t", "Certificate", "-t1", "TimeStampResp"},
       "decode of TimeStampResp failed\nASN.1 ERROR: Status -3\n"},
   };
   for (const Refusal& c : cases) expectRefused(c);
}

TEST(InnerMessageFailures, OuterDecodeFailuresShowTheStatus) {
   const std::string tsResp = readFile(fixture("tsp/timestampresp_granted_plain.der"));
   const Refusal cases[] = {
      {"OCSP response as TimeStampResp", readFile(fixture("ocsp/ocspresponse_good_nonce.der")),
       {"-t", "TSTInfo", "-t1", "TimeStampResp"}, "decode of TimeStampResp failed\nASN.1 ERROR: Status -3\n"},
      {"time-stamp response as OCSPResponse", tsResp, {"-t", "BasicOCSPResponse", "-t1", "OCSPResponse"},
       "decode of OCSPResponse failed\nASN.1 ERROR: Status -3\n"},
      {"certificate as ContentInfo", readFile(fixture("cert/certificate_ec_v1.der")),
       {"-t", "DVCSRequest", "-t1", "ContentInfo"}, "decode of ContentInfo failed\nASN.1 ERROR: Status -3\n"},
      {"inner DER as its own outer", readFile(fixture("dvcs/dvcsrequest_cpd.der")),
       {"-t", "DVCSRequest", "-t1", "ContentInfo"}, "decode of ContentInfo failed\nASN.1 ERROR: Status -3\n"},
      // The outer length claims more octets than the 40 that are there.
      {"truncated", tsResp.substr(0, 40), {"-t", "TSTInfo", "-t1", "TimeStampResp"},
       "decode of TimeStampResp failed\nASN.1 ERROR: Status -5\n"},
      {"empty file", "", {"-t", "TSTInfo", "-t1", "TimeStampResp"},
       "decode of TimeStampResp failed\nASN.1 ERROR: Status -3\n"},
      // OCSPResponseStatus above 8 is refused by the BER decoder (RTS_BAD_ENUM).
      {"response status 9", fromHex("30030A0109"), {"-t", "BasicOCSPResponse", "-t1", "OCSPResponse"},
       "decode of OCSPResponse failed\nASN.1 ERROR: Status -6\n"},
      {"unknown outer type", tsResp, {"-t", "TSTInfo", "-t1", "TimeStampResponse"},
       "decode of TimeStampResponse failed\n"},
   };
   for (const Refusal& c : cases) expectRefused(c);
}

// A supported pair whose outer message carries no inner one: a time-stamp
// response without token, or a ContentInfo whose content is not SignedData.
// The step answers as for a failed outer decode, without a status line, since
// the decode itself succeeded.
TEST(InnerMessageFailures, OuterMessagesWithoutInnerMessageAreRefused) {
   const char noToken[] = "decode of TimeStampResp failed\n";
   const char notSigned[] = "decode of ContentInfo failed\n";
   const Refusal cases[] = {
      {"rejection, bad algorithm", readFile(fixture("tsp/timestampresp_rejection_badalg.der")),
       {"-t", "TSTInfo", "-t1", "TimeStampResp"}, noToken},
      {"rejection, policy", readFile(fixture("tsp/timestampresp_rejection_policy.der")),
       {"-t", "TSTInfo", "-t1", "TimeStampResp"}, noToken},
      {"granted without token", fromHex("3005 3003 020100"), {"-t", "TSTInfo", "-t1", "TimeStampResp"}, noToken},
      {"data", readFile(fixture("cms/contentinfo_data.der")), {"-t", "DVCSRequest", "-t1", "ContentInfo"},
       notSigned},
      {"enveloped", readFile(fixture("cms/contentinfo_enveloped_ktri.der")),
       {"-t", "DVCSResponse", "-t1", "ContentInfo"}, notSigned},
      {"digested", readFile(fixture("cms/contentinfo_digested.der")), {"-t", "DVCSRequest", "-t1", "ContentInfo"},
       notSigned},
      {"encrypted", readFile(fixture("cms/contentinfo_encrypted.der")),
       {"-t", "DVCSResponse", "-t1", "ContentInfo"}, notSigned},
   };
   for (const Refusal& c : cases) expectRefused(c);
}

// The inner octets are taken whatever they hold (neither responseType nor
// eContentType is checked) and may be empty; the conversion then reports its
// own failure and the program exits 0.
struct Unconvertible {
   const char* what;
   std::string input;
   std::vector<std::string> args;
   std::string inner;  // expected -o file contents
};

void expectConversionFailure(const Unconvertible& c) {
   std::string dir = scratchDir("inner-unconvertible");
   writeFile(dir + "/outer.der", c.input);
   for (const char* mode : kModes) {
      fs::remove(dir + "/inner.der");
      std::vector<std::string> args = {"-i", "outer.der", "-o", "inner.der"};
      args.insert(args.end(), c.args.begin(), c.args.end());
      RunResult r = runAs(mode, args, dir);
      EXPECT_EQ(r.out, "") << c.what << " / " << mode;
      if (std::string(mode) == "blobxml")
         EXPECT_TRUE(std::regex_match(r.err, kCodecReport)) << c.what << ": " << r.err;
      else
         EXPECT_EQ(r.err, kReaderReport) << c.what;
      EXPECT_EQ(r.status, 0) << c.what << " / " << mode;
      ASSERT_TRUE(fs::exists(dir + "/inner.der")) << c.what << " / " << mode;
      EXPECT_EQ(toHex(readFile(dir + "/inner.der")), toHex(c.inner)) << c.what << " / " << mode;
   }
}

TEST(InnerMessageFailures, EmptyOrForeignInnerMessagesFailInTheConversion) {
   const Unconvertible cases[] = {
      {"OCSP response without responseBytes", readFile(fixture("ocsp/ocspresponse_malformed_request.der")),
       {"-t", "BasicOCSPResponse", "-t1", "OCSPResponse"}, ""},
      {"tryLater without responseBytes", fromHex("30030A0103"), {"-t", "BasicOCSPResponse", "-t1", "OCSPResponse"},
       ""},
      {"detached signature", readFile(fixture("cms/contentinfo_signed_detached.der")),
       {"-t", "DVCSRequest", "-t1", "ContentInfo"}, ""},
      {"TSTInfo taken as DVCSResponse", readFile(fixture("tsp/timestamptoken_plain.der")),
       {"-t", "DVCSResponse", "-t1", "ContentInfo"}, readFile(fixture("tsp/tstinfo_plain.der"))},
      {"signed text taken as DVCSRequest", readFile(fixture("cms/contentinfo_signed_attached.der")),
       {"-t", "DVCSRequest", "-t1", "ContentInfo"},
       "Content-Type: text/plain\r\n\r\nblobxml test message <&> with some text.\r\n"},
   };
   for (const Unconvertible& c : cases) expectConversionFailure(c);
}

// OCSPResponseStatus values 4 and 7 have no name but lie within 0..8, which
// the BER decoder accepts: the outer message decodes, carries no
// responseBytes, and the empty inner message fails in the conversion.
TEST(InnerMessageFailures, UnnamedResponseStatusWithinRangeDecodes) {
   const Unconvertible cases[] = {
      {"status 4", fromHex("30030A0104"), {"-t", "BasicOCSPResponse", "-t1", "OCSPResponse"}, ""},
      {"status 7", fromHex("30030A0107"), {"-t", "BasicOCSPResponse", "-t1", "OCSPResponse"}, ""},
   };
   for (const Unconvertible& c : cases) expectConversionFailure(c);
}

// An -o file that cannot be opened is reported on standard output and the
// conversion still runs.
TEST(InnerMessageFailures, UnwritableOutputFileIsReportedAndConversionContinues) {
   std::string dir = scratchDir("inner-unwritable");
   fs::create_directories(dir + "/taken");
   const std::string outer = fixture("ocsp/ocspresponse_good_nonce.der");
   RunResult direct =
      runAs("blobxml", {"-i", fixture("ocsp/basicocspresponse_good_nonce.der"), "-t", "BasicOCSPResponse"});
   ASSERT_EQ(direct.err, "");
   for (const std::string& target : {dir + "/missing/inner.der", dir + "/taken"}) {
      const std::string report = "Error opening " + target + " for write access\n";
      const std::vector<std::string> args = {"-i", outer, "-t", "BasicOCSPResponse", "-t1", "OCSPResponse",
                                             "-o", target};
      RunResult r = runAs("blobxml", args);
      EXPECT_EQ(r.out, report + direct.out) << target;
      EXPECT_EQ(r.err, "") << target;
      EXPECT_EQ(r.status, 0) << target;

      r = runAs("xmlblob", args);
      EXPECT_EQ(r.out, report) << target;
      EXPECT_EQ(r.err, kReaderReport) << target;
      EXPECT_EQ(r.status, 0) << target;
   }
   EXPECT_FALSE(fs::exists(dir + "/missing"));
   EXPECT_TRUE(fs::is_empty(dir + "/taken"));
}

// The step replaces the message and leaves the file named by -i alone; a
// second -o is the one written.
TEST(InnerMessageOutputFile, LastOneWinsAndTheInputStaysUnchanged) {
   std::string dir = scratchDir("inner-last-o");
   const std::string outerDer = readFile(fixture("tsp/timestampresp_granted_policy.der"));
   writeFile(dir + "/resp.der", outerDer);
   RunResult r = runAs("blobxml", {"-o", "first.der", "-i", "resp.der", "-t", "TSTInfo", "-t1", "TimeStampResp",
                                   "-o", "second.der"}, dir);
   EXPECT_EQ(r.err, "");
   EXPECT_EQ(r.status, 0);
   EXPECT_FALSE(fs::exists(dir + "/first.der"));
   EXPECT_EQ(toHex(readFile(dir + "/second.der")), toHex(readFile(fixture("tsp/tstinfo_policy.der"))));
   EXPECT_EQ(readFile(dir + "/resp.der"), outerDer);
}

}
