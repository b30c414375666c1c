// The XML that the installed blobxml writes for certificates, byte for byte:
// a small fixed certificate against its reviewed golden file, line by line;
// the layout rules checked on their own against values read from the DER
// (indentation, decimal serial, dotted OIDs, bits as "0"/"1"); and the
// hexadecimal input that -includeEncoded puts after the root start tag.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "test_support.h"
#include "tlv.h"

namespace {

using testsupport::installedBin;
using testsupport::readFile;
using testsupport::RunResult;
using testsupport::run;
using testsupport::scratchDir;
using testsupport::sourcePath;
using testsupport::toHex;
using testsupport::writeFile;

const char kGoldenDer[] = "tests/fixtures/cert/certificate_rsa_golden.der";
const char kGoldenXml[] = "tests/tool/golden/certificate_rsa_golden.xml";
const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

RunResult toXml(const std::string& derPath, const std::string& type,
                const std::vector<std::string>& more = {}) {
   std::vector<std::string> args{"-i", derPath, "-t", type};
   args.insert(args.end(), more.begin(), more.end());
   return run(installedBin("blobxml"), "blobxml", args);
}

std::vector<std::string> lines(const std::string& text) {
   std::vector<std::string> result;
   size_t start = 0;
   for (size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
      result.push_back(text.substr(start, nl - start));
      start = nl + 1;
   }
   result.push_back(text.substr(start));
   return result;
}

// Decimal text of a non-negative big-endian integer.
std::string decimal(const std::string& bigEndian) {
   std::vector<int> digits{0};  // least significant first
   for (unsigned char byte : bigEndian) {
      int carry = byte;
      for (int& d : digits) {
         int v = d * 256 + carry;
         d = v % 10;
         carry = v / 10;
      }
      for (; carry > 0; carry /= 10) digits.push_back(carry % 10);
   }
   std::string text;
   for (auto d = digits.rbegin(); d != digits.rend(); ++d) text += static_cast<char>('0' + *d);
   size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
   return text.substr(first);
}

// X.690 8.19: the first subidentifier holds the first two arcs.
std::string dottedOid(const std::string& contents) {
   std::vector<unsigned long> subids;
   unsigned long value = 0;
   for (unsigned char c : contents) {
      value = value << 7 | (c & 0x7F);
      if (!(c & 0x80)) {
         subids.push_back(value);
         value = 0;
      }
   }
   unsigned long first = std::min(subids[0] / 40, 2ul);
   std::string text = std::to_string(first) + "." + std::to_string(subids[0] - 40 * first);
   for (size_t i = 1; i < subids.size(); i++) text += "." + std::to_string(subids[i]);
   return text;
}

// A BIT STRING's contents as one "0"/"1" character per bit, unused bits left out.
std::string bitText(const std::string& contents) {
   std::string bits;
   for (size_t i = 1; i < contents.size(); i++)
      for (int b = 7; b >= 0; b--)
         bits += (static_cast<unsigned char>(contents[i]) >> b & 1) ? '1' : '0';
   return bits.substr(0, bits.size() - static_cast<unsigned char>(contents[0]));
}

// The identifying OBJECT IDENTIFIERs in document order: those that open a
// SEQUENCE (algorithm, attribute type, extnID). Extension values inside their
// OCTET STRINGs and bare OIDs of unresolved parameters are not among them.
void collectOids(const tlv::Node& node, std::vector<std::string>& oids) {
   if (!node.children.empty() && node.children[0].identifier == "\x06")
      oids.push_back(dottedOid(node.children[0].contents));
   for (const tlv::Node& child : node.children) collectOids(child, oids);
}

std::string elementText(const std::string& xml, const std::string& name) {
   std::smatch m;
   std::regex element("<" + name + ">([^<]*)</" + name + ">");
   return std::regex_search(xml, m, element) ? m[1].str() : "<" + name + " missing>";
}

TEST(CertificateOutput, GoldenCertificateLineByLine) {
   RunResult r = toXml(sourcePath(kGoldenDer), "Certificate");
   ASSERT_EQ(r.err, "");
   ASSERT_EQ(r.status, 0);
   std::string golden = readFile(sourcePath(kGoldenXml));
   std::vector<std::string> expected = lines(golden), actual = lines(r.out);
   for (size_t i = 0; i < std::min(expected.size(), actual.size()); i++)
      EXPECT_EQ(actual[i], expected[i]) << "line " << i + 1;
   EXPECT_EQ(actual.size(), expected.size());
   // Nothing follows the root end tag, not even a line feed.
   EXPECT_EQ(r.out, golden);
}

TEST(CertificateOutput, GoldenFixtureIsRegeneratedByteForByte) {
   std::string dir = scratchDir("golden-regenerated");
   RunResult r = run("/bin/bash", "bash", {sourcePath("tests/fixtures/make_golden_cert.sh"), dir});
   ASSERT_EQ(r.status, 0) << r.err;
   EXPECT_EQ(toHex(readFile(dir + "/certificate_rsa_golden.der")),
             toHex(readFile(sourcePath(kGoldenDer))));
}

// The layout rules checked against the DER itself, independently of the
// golden text, for certificates of several key and extension kinds.
TEST(CertificateOutput, LayoutAndPrimitiveFormsFollowTheDer) {
   for (const char* fixture : {kGoldenDer, "tests/fixtures/cert/certificate_ec_v1.der",
                               "tests/fixtures/cert/certificate_ec_big_serial.der",
                               "tests/fixtures/cert/certificate_rsa_ca_v3.der"}) {
      SCOPED_TRACE(fixture);
      std::string der = readFile(sourcePath(fixture));
      RunResult r = toXml(sourcePath(fixture), "Certificate");
      ASSERT_EQ(r.err, "");
      std::vector<std::string> text = lines(r.out);
      EXPECT_EQ(text.front(), kDeclaration);
      EXPECT_EQ(text.back(), "</Certificate>");
      EXPECT_EQ(r.out.find_first_of("\t\r"), std::string::npos);

      // Three blanks per open element: a line of a start tag alone opens a
      // level, a line of an end tag alone closes one.
      static const std::regex startAlone("<[A-Za-z_][^<>/]*>"), endAlone("</[^<>]+>");
      size_t depth = 0;
      for (size_t i = 1; i < text.size(); i++) {
         std::string line = text[i];
         size_t indent = line.find_first_not_of(' ');
         std::string tag = line.substr(indent);
         if (std::regex_match(tag, endAlone)) --depth;
         EXPECT_EQ(indent, 3 * depth) << "line " << i + 1 << ": " << line;
         if (std::regex_match(tag, startAlone)) ++depth;
      }
      EXPECT_EQ(depth, 0u);

      tlv::Node cert = tlv::parse(der);
      const tlv::Node& tbs = cert.children[0];
      const bool hasVersion = tbs.children[0].identifier == "\xA0";
      const tlv::Node& serial = tbs.children[hasVersion ? 1 : 0];
      EXPECT_EQ(elementText(r.out, "serialNumber"), decimal(serial.contents));
      const tlv::Node& spki = tbs.children[hasVersion ? 6 : 5];
      EXPECT_EQ(elementText(r.out, "subjectPublicKey"), bitText(spki.children[1].contents));
      EXPECT_EQ(elementText(r.out, "signature"), bitText(cert.children[2].contents));
      if (hasVersion) {
         EXPECT_NE(r.out.find("\n      <version><v3/></version>\n"), std::string::npos);
      }

      std::vector<std::string> oids, written;
      collectOids(cert, oids);
      static const std::regex dotted("<(algorithm|type|extnID)>([0-9.]+)</");
      for (std::sregex_iterator m(r.out.begin(), r.out.end(), dotted), end; m != end; ++m)
         written.push_back((*m)[2].str());
      EXPECT_EQ(written, oids);
   }
}

// The input's octets as upper-case hexadecimal, one run, directly after the
// root start tag; everything else as without the option.
TEST(CertificateOutput, IncludeEncodedPutsTheInputHexAfterTheRootStartTag) {
   struct Case {
      const char* fixture;
      const char* type;
   } cases[] = {
      {kGoldenDer, "Certificate"},
      {"tests/fixtures/cert/certificatelist_revoked_reasons.der", "CertificateList"},
      {"tests/fixtures/cert/certificationrequest_ec_extensions.der", "CertificationRequest"},
   };
   for (const Case& c : cases) {
      SCOPED_TRACE(c.fixture);
      RunResult plain = toXml(sourcePath(c.fixture), c.type);
      RunResult withHex = toXml(sourcePath(c.fixture), c.type, {"-includeEncoded"});
      EXPECT_EQ(withHex.err, "");
      EXPECT_EQ(withHex.status, 0);
      std::string rootTag = std::string("\n<") + c.type + ">";
      size_t at = plain.out.find(rootTag);
      ASSERT_NE(at, std::string::npos);
      std::string expected = plain.out;
      expected.insert(at + rootTag.size(), toHex(readFile(sourcePath(c.fixture))));
      EXPECT_EQ(withHex.out, expected);
   }
   // Exact text of the start of the golden certificate's document.
   std::string der = readFile(sourcePath(kGoldenDer));
   RunResult r = toXml(sourcePath(kGoldenDer), "Certificate", {"-includeEncoded"});
   const std::string start = std::string(kDeclaration) +
                             "\n<Certificate>308201F23082019CA003020102020A0102030405060708"
                             "090A300D06092A864886F70D01010B05003039310B3009060355040613024445";
   EXPECT_EQ(r.out.substr(0, start.size()), start);
   const size_t hexEnd = std::string(kDeclaration).size() + 14 + 2 * der.size();
   EXPECT_EQ(r.out.substr(hexEnd, 21), "\n   <tbsCertificate>\n");
}

// Octets after the message are not converted, but they are part of the
// input and so part of the hexadecimal text.
TEST(CertificateOutput, IncludeEncodedCoversTrailingOctets) {
   std::string der = readFile(sourcePath(kGoldenDer));
   std::string path = scratchDir("include-trailing") + "/in.der";
   writeFile(path, der + std::string("\x00\xAB\xff", 3));
   RunResult r = toXml(path, "Certificate", {"-includeEncoded"});
   std::string expected = readFile(sourcePath(kGoldenXml));
   expected.insert(std::string(kDeclaration).size() + 14, toHex(der) + "00ABFF");
   EXPECT_EQ(r.out, expected);
   EXPECT_EQ(r.err, "");
}

}
