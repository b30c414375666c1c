// XML input that the installed xmlblob must accept besides its own output:
// no whitespace at all, other indentation and line ends, attributes, named
// numbers given as numbers, line breaks inside long values, and SET OF
// items in any order, which come out DER-sorted.
#include <gtest/gtest.h>

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

std::string goldenXml() {
   return readFile(sourcePath("tests/tool/golden/certificate_rsa_golden.xml"));
}

std::string toDer(const std::string& xml, const std::string& type, const std::string& what) {
   std::string path = scratchDir("xml-input") + "/input.xml";
   writeFile(path, xml);
   RunResult r = run(installedBin("xmlblob"), "xmlblob", {"-i", path, "-t", type});
   EXPECT_EQ(r.err, "") << what;
   EXPECT_EQ(r.status, 0) << what;
   return r.out;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
   if (text.find(from) == std::string::npos) throw std::runtime_error("test text lacks " + from);
   for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
      text.replace(at, from.size(), to);
   return text;
}

// Each line's leading blanks become `unit` once per three blanks.
std::string reindented(const std::string& xml, const std::string& unit,
                       const std::string& newline) {
   std::string result;
   size_t start = 0;
   while (start <= xml.size()) {
      size_t end = std::min(xml.find('\n', start), xml.size());
      std::string line = xml.substr(start, end - start);
      size_t blanks = line.find_first_not_of(' ');
      for (size_t i = 0; i < blanks / 3; i++) result += unit;
      result += line.substr(blanks);
      if (end < xml.size()) result += newline;
      start = end + 1;
   }
   return result;
}

// Puts a line break and blanks every `width` characters of the text of the
// first `element` after `after`.
std::string wrappedText(const std::string& xml, const std::string& element, size_t width,
                        const std::string& after = "") {
   std::string open = "<" + element + ">";
   size_t from = xml.find(open, xml.find(after)) + open.size();
   size_t to = xml.find("</" + element + ">", from);
   std::string text = xml.substr(from, to - from), wrapped = "\n";
   for (size_t at = 0; at < text.size(); at += width)
      wrapped += "    " + text.substr(at, width) + "\n";
   return xml.substr(0, from) + wrapped + xml.substr(to);
}

TEST(XmlInput, LayoutVariantsGiveTheSameDer) {
   const std::string xml = goldenXml();
   const std::string der = readFile(sourcePath(kGoldenDer));
   struct Case {
      const char* what;
      std::string input;
   } cases[] = {
      {"as written", xml},
      {"compact", std::regex_replace(xml, std::regex(">\\s+<"), "><")},
      {"tabs", reindented(xml, "\t", "\n")},
      {"one blank", reindented(xml, " ", "\n")},
      {"CR LF line ends", reindented(xml, "  ", "\r\n")},
      {"blank lines between elements", replaceAll(xml, "\n", "\n\n  \n")},
      {"no declaration", xml.substr(xml.find('\n') + 1)},
      {"declaration without encoding", replaceAll(xml, " encoding=\"UTF-8\"", "")},
      {"attributes and blanks in tags",
       replaceAll(replaceAll(xml, "<tbsCertificate>", "<tbsCertificate id=\"tbs\" >"),
                  "</validity>", "</validity >")},
      {"comments", replaceAll(xml, "<subject>", "<!-- the subject --><subject><!-- x -->")},
      {"named number as a number",
       replaceAll(xml, "<version><v3/></version>", "<version>2</version>")},
      {"blanks around OIDs", replaceAll(xml, "<algorithm>1.2.840.113549.1.1.1</algorithm>",
                                        "<algorithm>  1.2.840.113549.1.1.1 \n</algorithm>")},
      {"bits over several lines", wrappedText(wrappedText(xml, "subjectPublicKey", 64), "signature",
                                              100, "</signatureAlgorithm>")},
      {"hexadecimal over several lines", wrappedText(wrappedText(xml, "SubjectKeyIdentifier", 8),
                                                     "extnValue", 6, "1.3.6.1.4.1.99999.7")},
      {"hexadecimal in lower case", replaceAll(xml, "AABBCCDDEEFF", "aabbccddeeff")},
      {"Encoded over several lines", replaceAll(xml, "<Encoded>13053132333435</Encoded>",
                                                "<Encoded>\n 1305 3132\n 333435\n</Encoded>")},
      {"empty element written as start and end tag",
       std::regex_replace(xml, std::regex("<([A-Za-z_]+)/></parameters>"),
                          "<$1></$1></parameters>")},
   };
   for (const Case& c : cases)
      EXPECT_EQ(toHex(toDer(c.input, "Certificate", c.what)), toHex(der)) << c.what;
}

// An indented document as another tool writes it: every element that holds
// elements on lines of its own, also inside the values of open types.
TEST(XmlInput, FullyIndentedOpenTypes) {
   std::string xml = goldenXml();
   std::string indented = std::regex_replace(xml, std::regex("><(?!/)"), ">\n  <");
   indented = std::regex_replace(indented, std::regex("(</[A-Za-z_]+>)(<)"), "$1\n<");
   ASSERT_TRUE(std::regex_search(indented, std::regex("<value>\n  <[A-Za-z_]+>\n  <utf8String>")))
      << indented;
   EXPECT_EQ(toHex(toDer(indented, "Certificate", "indented")),
             toHex(readFile(sourcePath(kGoldenDer))));
}

// Values the tool writes decoded may also be given in their raw forms: an
// extension value as the hexadecimal of its OCTET STRING, any open type as
// <Encoded> with the hexadecimal of its complete encoding. The octets are
// then taken as they are.
TEST(XmlInput, RawFormsOfDecodedValues) {
   const std::string xml = goldenXml();
   const std::regex basicConstraints(
      "<extnValue><BasicConstraintsSyntax>.*</BasicConstraintsSyntax></extnValue>");
   const std::regex keyParameters("<parameters><[A-Za-z_]+/></parameters>");
   const std::regex leafName(
      "<value><_?[A-Za-z_]+><utf8String>golden leaf</utf8String></_?[A-Za-z_]+></value>");
   struct Case {
      const char* what;
      std::string input;
   } cases[] = {
      {"extension value as hexadecimal",
       std::regex_replace(xml, basicConstraints, "<extnValue>30060101FF020100</extnValue>")},
      {"key parameters as Encoded",
       std::regex_replace(xml, keyParameters, "<parameters><Encoded>0500</Encoded></parameters>")},
      {"name attribute as Encoded in lower case",
       std::regex_replace(xml, leafName,
                          "<value><Encoded>0c0b676f6c64656e206c656166</Encoded></value>")},
   };
   for (const Case& c : cases) {
      ASSERT_NE(c.input, xml) << c.what;
      EXPECT_EQ(toHex(toDer(c.input, "Certificate", c.what)),
                toHex(readFile(sourcePath(kGoldenDer))))
         << c.what;
   }
}

TEST(XmlInput, NamedNumbersOfACrlAsNumbers) {
   const char* fixture = "tests/fixtures/cert/certificatelist_revoked_reasons.der";
   std::string xml =
      run(installedBin("blobxml"), "blobxml", {"-i", sourcePath(fixture), "-t", "CertificateList"})
         .out;
   std::string numbered = replaceAll(xml, "<version><v2/></version>", "<version>1</version>");
   EXPECT_EQ(toHex(toDer(numbered, "CertificateList", "v2 as 1")),
             toHex(readFile(sourcePath(fixture))));
}

// The AttributeTypeAndValue elements of the golden XML in document order:
// the issuer's countryName, organizationName and commonName "Golden CA",
// then the subject's commonName "golden leaf" and serialNumber.
std::vector<std::string> goldenAttributes(const std::string& xml) {
   std::vector<std::string> items;
   const std::string open = "<AttributeTypeAndValue>", close = "</AttributeTypeAndValue>";
   for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1))
      items.push_back(xml.substr(at, xml.find(close, at) + close.size() - at));
   return items;
}

// A SET OF given in any order is written in DER order (X.690 11.6: the
// encodings compared as octet strings). The encodings of the attributes:
// countryName 30 09 ..., commonName "Golden CA" 30 10 ..., organizationName
// 30 16 ...; serialNumber 30 0C ..., commonName "golden leaf" 30 12 ....
TEST(XmlInput, SetOfItemsInAnyOrderComeOutSorted) {
   const std::string xml = goldenXml();
   const std::vector<std::string> items = goldenAttributes(xml);
   ASSERT_EQ(items.size(), 5u);
   const std::string &country = items[0], &organization = items[1], &caName = items[2];
   const std::string &leafName = items[3], &serial = items[4];

   // The golden certificate with issuer and subject each as one RDN whose
   // attributes are the golden ones, in DER order.
   tlv::Node cert = tlv::parse(readFile(sourcePath(kGoldenDer)));
   tlv::Node& issuer = cert.children[0].children[3];
   tlv::Node& subject = cert.children[0].children[5];
   tlv::Node issuerRdn = issuer.children[0], subjectRdn = subject.children[0];
   issuerRdn.children = {issuer.children[0].children[0], issuer.children[2].children[0],
                         issuer.children[1].children[0]};
   subjectRdn.children = {subject.children[1].children[0], subject.children[0].children[0]};
   issuer.children = {issuerRdn};
   subject.children = {subjectRdn};
   const std::string sorted = tlv::der(cert);

   size_t issuerStart = xml.find("<rdnSequence>", xml.find("<issuer>"));
   size_t issuerEnd = xml.find("</rdnSequence>", issuerStart);
   size_t subjectStart = xml.find("<rdnSequence>", xml.find("<subject>"));
   size_t subjectEnd = xml.find("</rdnSequence>", subjectStart);
   auto withNames = [&](const std::vector<std::string>& issuerItems,
                        const std::vector<std::string>& subjectItems) {
      std::string is = "<rdnSequence><RelativeDistinguishedName>", ss = is;
      for (const std::string& item : issuerItems) is += item;
      for (const std::string& item : subjectItems) ss += item;
      is += "</RelativeDistinguishedName>";
      ss += "</RelativeDistinguishedName>";
      return xml.substr(0, issuerStart) + is + xml.substr(issuerEnd, subjectStart - issuerEnd) +
             ss + xml.substr(subjectEnd);
   };
   struct Case {
      const char* what;
      std::vector<std::string> issuerItems, subjectItems;
   } cases[] = {
      {"sorted", {country, caName, organization}, {serial, leafName}},
      {"reversed", {organization, caName, country}, {leafName, serial}},
      {"rotated", {caName, organization, country}, {leafName, serial}},
   };
   for (const Case& c : cases) {
      EXPECT_EQ(toHex(toDer(withNames(c.issuerItems, c.subjectItems), "Certificate", c.what)),
                toHex(sorted))
         << c.what;
   }
}

}
