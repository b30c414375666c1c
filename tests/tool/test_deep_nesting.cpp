// Hostile nesting through the installed executable: messages of recursive
// types (a PKIMessage nested in PKIMessage bodies, a SignedData carried in
// the eContent of a SignedData) convert both ways while they stay below the
// nesting limit of 256 structured levels; nested thousands of times within
// the 64 KB input they fail with the normal report instead of exhausting
// the stack.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "test_support.h"

using testsupport::installedBin;
using testsupport::readFile;
using testsupport::run;
using testsupport::RunResult;
using testsupport::writeFile;

namespace {

const std::regex kCodecReport(
   "Error:Exception :'' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n");
const char kReaderReport[] = "Unknown exception.\n";
const size_t kMaxInput = 65536;

/* One element: tag, minimal definite length, contents. */
std::string tlv(unsigned char tag, const std::string& contents) {
   std::string length;
   if (contents.size() < 0x80) {
      length = std::string(1, static_cast<char>(contents.size()));
   } else {
      for (size_t rest = contents.size(); rest > 0; rest >>= 8)
         length.insert(0, 1, static_cast<char>(rest & 0xFF));
      length.insert(0, 1, static_cast<char>(0x80 | length.size()));
   }
   return std::string(1, static_cast<char>(tag)) + length + contents;
}

/* A PKIMessage whose body is nested `depth` times ([20] nested), with the
   confirmation NULL ([19] conf) innermost. */
std::string nestedPkiMessage(int depth) {
   const std::string rfc822 = tlv(0x81, "a");
   const std::string header = tlv(0x30, testsupport::fromHex("020101") + rfc822 + rfc822);
   std::string message = tlv(0x30, header + testsupport::fromHex("B3020500"));
   for (int i = 0; i < depth; i++) message = tlv(0x30, header + tlv(0xB4, message));
   return message;
}

std::string nestedPkiMessageXml(int depth) {
   const std::string header =
      "<header><pvno><ietf_version2/></pvno><sender><rfc822Name>a</rfc822Name></sender>"
      "<recipient><rfc822Name>a</rfc822Name></recipient></header>";
   std::string xml = "<PKIMessage>";
   for (int i = 0; i < depth; i++) xml += header + "<body><nested>";
   xml += header + "<body><conf/></body>";
   for (int i = 0; i < depth; i++) xml += "</nested></body>";
   return xml + "</PKIMessage>";
}

/* A ContentInfo of SignedData whose eContent is a SignedData, `depth`
   times; the innermost carries id-data without content. */
std::string nestedSignedData(int depth) {
   const std::string idData = testsupport::fromHex("06092A864886F70D010701");
   const std::string idSignedData = testsupport::fromHex("06092A864886F70D010702");
   const std::string head = testsupport::fromHex("020103") + tlv(0x31, "");
   std::string signedData = tlv(0x30, head + tlv(0x30, idData) + tlv(0x31, ""));
   for (int i = 0; i < depth; i++) {
      const std::string encap = tlv(0x30, idSignedData + tlv(0xA0, tlv(0x04, signedData)));
      signedData = tlv(0x30, head + encap + tlv(0x31, ""));
   }
   return tlv(0x30, idSignedData + tlv(0xA0, signedData));
}

class DeepNesting : public ::testing::Test {
 protected:
   std::string dir = testsupport::scratchDir("deep-nesting");

   RunResult toXml(const std::string& der, const std::string& type) {
      writeFile(dir + "/in.der", der);
      return run(installedBin("blobxml"), "blobxml", {"-i", dir + "/in.der", "-t", type});
   }
   RunResult toDer(const std::string& xml, const std::string& type) {
      writeFile(dir + "/in.xml", xml);
      return run(installedBin("xmlblob"), "xmlblob", {"-i", dir + "/in.xml", "-t", type});
   }
};

TEST_F(DeepNesting, MessagesBelowTheLimitConvertBothWays) {
   /* The indented XML grows with the square of the depth: 20 levels keep
      it within the input limit of the way back. */
   struct Case {
      const char* type;
      std::string der;
   };
   const Case cases[] = {
      {"PKIMessage", nestedPkiMessage(20)},
      {"ContentInfo", nestedSignedData(20)},
   };
   for (const Case& c : cases) {
      RunResult xml = toXml(c.der, c.type);
      ASSERT_EQ(xml.err, "") << c.type;
      ASSERT_EQ(xml.status, 0) << c.type;
      ASSERT_LE(xml.out.size(), kMaxInput) << c.type;
      RunResult der = toDer(xml.out, c.type);
      ASSERT_EQ(der.err, "") << c.type;
      EXPECT_EQ(testsupport::toHex(der.out), testsupport::toHex(c.der)) << c.type;
   }
   /* 120 nested messages are 243 structured levels at the innermost
      name. */
   for (const Case& c : {Case{"PKIMessage", nestedPkiMessage(120)},
                         Case{"ContentInfo", nestedSignedData(120)}}) {
      RunResult xml = toXml(c.der, c.type);
      EXPECT_EQ(xml.err, "") << c.type;
      EXPECT_EQ(xml.out.rfind("<?xml", 0), 0u) << c.type;
   }
   RunResult fromText = toDer(nestedPkiMessageXml(120), "PKIMessage");
   ASSERT_EQ(fromText.err, "");
   EXPECT_EQ(testsupport::toHex(fromText.out), testsupport::toHex(nestedPkiMessage(120)));
}

TEST_F(DeepNesting, HostileDerFailsWithTheCodecReport) {
   struct Case {
      const char* type;
      std::string der;
   };
   const Case cases[] = {
      {"PKIMessage", nestedPkiMessage(130)},
      {"PKIMessage", nestedPkiMessage(3000)},
      {"ContentInfo", nestedSignedData(1800)},
   };
   for (const Case& c : cases) {
      ASSERT_LE(c.der.size(), kMaxInput) << c.type;
      RunResult r = toXml(c.der, c.type);
      EXPECT_EQ(r.out, "") << c.type << " of " << c.der.size() << " octets";
      EXPECT_TRUE(std::regex_match(r.err, kCodecReport)) << r.err;
      EXPECT_EQ(r.status, 0) << c.type;
   }
}

/* The -t1 step shows the status of the outer decode: the nesting limit is
   reported as a constraint violation. */
TEST_F(DeepNesting, HostileOuterMessageShowsTheConstraintStatus) {
   writeFile(dir + "/outer.der", nestedSignedData(1800));
   RunResult r = run(installedBin("blobxml"), "blobxml",
                     {"-i", dir + "/outer.der", "-t", "DVCSRequest", "-t1", "ContentInfo"});
   EXPECT_EQ(r.out, "decode of ContentInfo failed\nASN.1 ERROR: Status -23\n");
   EXPECT_EQ(r.err, "");
   EXPECT_EQ(r.status, 255);
}

TEST_F(DeepNesting, HostileXmlFailsWithTheReaderReport) {
   for (int depth : {130, 300}) {
      const std::string xml = nestedPkiMessageXml(depth);
      ASSERT_LE(xml.size(), kMaxInput) << depth;
      RunResult r = toDer(xml, "PKIMessage");
      EXPECT_EQ(r.out, "") << depth;
      EXPECT_EQ(r.err, kReaderReport) << depth;
      EXPECT_EQ(r.status, 0) << depth;
   }
}

}
