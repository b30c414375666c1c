// Exact XML of protocol messages through the installed executable:
// enumerations and named numbers as empty elements, the TSTInfo decoded
// inside a time-stamp token, resolved signed attributes, and SET OF values
// written in DER order whatever order the XML or the BER input gives them in.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "test_support.h"
#include "tlv.h"

namespace {

using testsupport::fromHex;
using testsupport::installedBin;
using testsupport::readFile;
using testsupport::RunResult;
using testsupport::scratchDir;
using testsupport::toHex;
using testsupport::writeFile;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string fixture(const std::string& relative) {
   return readFile(testsupport::sourcePath("tests/fixtures/" + relative));
}

// Converts `input` in the given mode; the conversion must succeed.
std::string convert(const std::string& mode, const std::string& type, const std::string& input) {
   std::string dir = scratchDir("message-output");
   writeFile(dir + "/input", input);
   RunResult r = testsupport::run(installedBin(mode), mode, {"-i", dir + "/input", "-t", type});
   EXPECT_EQ(r.err, "") << mode << " " << type;
   EXPECT_EQ(r.status, 0) << mode << " " << type;
   return r.out;
}

std::string toXml(const std::string& type, const std::string& der) { return convert("blobxml", type, der); }
std::string toDer(const std::string& type, const std::string& xml) { return convert("xmlblob", type, xml); }

RunResult convertFailing(const std::string& mode, const std::string& type, const std::string& input) {
   std::string dir = scratchDir("message-output-failing");
   writeFile(dir + "/input", input);
   return testsupport::run(installedBin(mode), mode, {"-i", dir + "/input", "-t", type});
}

// The XML text as the writer puts it inside an open type: no declaration, no
// line breaks, no indentation.
std::string compact(const std::string& xml) {
   std::string text = xml.rfind(kDeclaration, 0) == 0 ? xml.substr(kDeclaration.size()) : xml;
   std::string out;
   bool lineStart = true;
   for (char c : text) {
      if (c == '\n') {
         lineStart = true;
         continue;
      }
      if (lineStart && c == ' ') continue;
      lineStart = false;
      out += c;
   }
   return out;
}

// Position just past the element <tag> that starts at `open`, counting nested
// elements of the same name.
size_t elementEnd(const std::string& xml, const std::string& tag, size_t open) {
   const std::string start = "<" + tag + ">", end = "</" + tag + ">";
   int depth = 0;
   for (size_t at = open; at < xml.size();) {
      if (xml.compare(at, start.size(), start) == 0) {
         ++depth;
         at += start.size();
      } else if (xml.compare(at, end.size(), end) == 0) {
         at += end.size();
         if (--depth == 0) return at;
      } else {
         ++at;
      }
   }
   return std::string::npos;
}

// Reverses the <item> children of the n-th <list> element, keeping the text
// between them (indentation) in place.
std::string reverseItems(const std::string& xml, const std::string& list, const std::string& item, int n = 0) {
   size_t open = xml.find("<" + list + ">");
   for (int i = 0; i < n && open != std::string::npos; ++i) open = xml.find("<" + list + ">", open + 1);
   if (open == std::string::npos) return "";
   size_t close = elementEnd(xml, list, open) - list.size() - 3;
   std::vector<std::string> items, gaps;
   size_t at = open + list.size() + 2;
   for (;;) {
      size_t next = xml.find("<" + item + ">", at);
      if (next == std::string::npos || next >= close) break;
      gaps.push_back(xml.substr(at, next - at));
      at = elementEnd(xml, item, next);
      items.push_back(xml.substr(next, at - next));
   }
   std::reverse(items.begin(), items.end());
   std::string out = xml.substr(0, open + list.size() + 2);
   for (size_t i = 0; i < items.size(); ++i) out += gaps[i] + items[i];
   return out + xml.substr(at);
}

// The text between the first <tag> and its end tag, both included.
std::string element(const std::string& xml, const std::string& tag) {
   size_t open = xml.find("<" + tag + ">");
   if (open == std::string::npos) return "";
   return xml.substr(open, elementEnd(xml, tag, open) - open);
}

TEST(MessageOutput, OcspResponseStatusIsAnEmptyElementInBothDirections) {
   const struct {
      const char* name;
      const char* der;
   } statuses[] = {
      {"successful", "30030A0100"}, {"malformedRequest", "30030A0101"}, {"internalError", "30030A0102"},
      {"tryLater", "30030A0103"},   {"sigRequired", "30030A0105"},      {"unauthorized", "30030A0106"},
      {"badCRL", "30030A0108"},
   };
   for (const auto& s : statuses) {
      const std::string xml = kDeclaration + "<OCSPResponse>\n   <responseStatus><" + s.name +
                              "/></responseStatus>\n</OCSPResponse>";
      EXPECT_EQ(toXml("OCSPResponse", fromHex(s.der)), xml) << s.name;
      EXPECT_EQ(toHex(toDer("OCSPResponse", xml)), s.der) << s.name;
   }
}

TEST(MessageOutput, UnknownEnumerationsFail) {
   // An identifier the type does not have stops the XML decoder (RTS_BAD_ENUM
   // thrown from the SAX handler, which the report shows as unknown).
   RunResult r = convertFailing("xmlblob", "OCSPResponse",
                                "<OCSPResponse><responseStatus><notAStatus/></responseStatus></OCSPResponse>");
   EXPECT_EQ(r.out, "");
   EXPECT_EQ(r.err, "Unknown exception.\n");
   EXPECT_EQ(r.status, 0);
   // Above 8 the BER decoder refuses the value.
   r = convertFailing("blobxml", "OCSPResponse", fromHex("30030A0109"));
   EXPECT_EQ(r.out, "");
   const std::regex decodeReport("Error:Exception :'' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n");
   EXPECT_TRUE(std::regex_match(r.err, decodeReport)) << r.err;
   EXPECT_EQ(r.status, 0);
}

TEST(MessageOutput, EnumerationsAndNamedNumbersOfProtocolMessages) {
   const struct {
      const char* file;
      const char* type;
      const char* text;
   } cases[] = {
      {"tsp/timestampresp_granted_plain.der", "TimeStampResp",
       "<TimeStampResp>\n   <status>\n      <status><granted/></status>\n   </status>\n   <timeStampToken>\n"},
      {"tsp/timestampresp_rejection_policy.der", "TimeStampResp", "\n      <status><rejection/></status>\n"},
      {"ocsp/ocspresponse_good_nonce.der", "OCSPResponse",
       "<OCSPResponse>\n   <responseStatus><successful/></responseStatus>\n   <responseBytes>\n"},
      {"ocsp/ocspresponse_good_nonce.der", "OCSPResponse", "<certStatus><good/></certStatus>"},
      {"dvcs/dvcsrequest_cpd.der", "DVCSRequest", "\n   <requestInformation>\n      <service><cpd/></service>\n"},
      {"dvcs/dvcsrequest_vsd.der", "DVCSRequest", "\n      <service><vsd/></service>\n"},
      {"dvcs/dvcsrequest_vpkc.der", "DVCSRequest", "\n      <service><cpkc/></service>\n"},
      {"dvcs/dvcsrequest_ccpd.der", "DVCSRequest", "\n      <service><ccpd/></service>\n"},
      {"dvcs/dvcsresponse_error.der", "DVCSResponse",
       "<DVCSResponse>\n   <dvErrorNote>\n      <transactionStatus>\n         <status><rejection/></status>\n"},
      {"cms/contentinfo_signed_attached.der", "ContentInfo", "<content><SignedData><version><cms_v1/></version>"},
      {"tsp/timestamptoken_plain.der", "TimeStampToken", "<content><SignedData><version><cms_v3/></version>"},
      {"cert/certificate_ec_v1.der", "Certificate", "<tbsCertificate>\n      <serialNumber>"},
   };
   for (const auto& c : cases) {
      std::string xml = toXml(c.type, fixture(c.file));
      EXPECT_NE(xml.find(c.text), std::string::npos) << c.file << " lacks " << c.text << "\n" << xml;
   }
}

// PKIStatus is an INTEGER with named numbers: a named value is written by its
// name, another one as digits, and digits are accepted for a named value.
TEST(MessageOutput, PkiStatusNamesAndNumbers) {
   const std::string granted = fromHex("30053003020100");
   const std::string grantedXml = kDeclaration +
      "<TimeStampResp>\n   <status>\n      <status><granted/></status>\n   </status>\n</TimeStampResp>";
   EXPECT_EQ(toXml("TimeStampResp", granted), grantedXml);
   EXPECT_EQ(toHex(toDer("TimeStampResp", grantedXml)), toHex(granted));
   EXPECT_EQ(toHex(toDer("TimeStampResp", "<TimeStampResp><status><status>0</status></status></TimeStampResp>")),
             toHex(granted));

   const std::string nine = fromHex("30053003020109");
   const std::string nineXml =
      kDeclaration + "<TimeStampResp>\n   <status>\n      <status>9</status>\n   </status>\n</TimeStampResp>";
   EXPECT_EQ(toXml("TimeStampResp", nine), nineXml);
   EXPECT_EQ(toHex(toDer("TimeStampResp", nineXml)), toHex(nine));
}

// TSTInfo and TimeStampReq carry version INTEGER { v1(1) }: the value 1 is the
// empty element v1, and the decoder takes both that name and the digits.
TEST(MessageOutput, TimeStampVersionOneIsTheNamedValue) {
   const std::string tstInfo = fixture("tsp/tstinfo_plain.der");
   const std::string tstInfoXml = kDeclaration +
      "<TSTInfo>\n"
      "   <version><v1/></version>\n"
      "   <policy>1.3.6.1.4.1.99999.20.1</policy>\n"
      "   <messageImprint>\n"
      "      <hashAlgorithm>\n"
      "         <algorithm>2.16.840.1.101.3.4.2.1</algorithm>\n"
      "         <parameters><Encoded>0500</Encoded></parameters>\n"
      "      </hashAlgorithm>\n"
      "      <hashedMessage>B92F2A8795934B0D05585A6E52FF2954BB25269BA8ACC7AF0195E4C1640890DD</hashedMessage>\n"
      "   </messageImprint>\n"
      "   <serialNumber>2562</serialNumber>\n"
      "   <genTime>20261205212818Z</genTime>\n"
      "</TSTInfo>";
   EXPECT_EQ(toXml("TSTInfo", tstInfo), tstInfoXml);
   EXPECT_EQ(toHex(toDer("TSTInfo", tstInfoXml)), toHex(tstInfo));

   const std::string request = fixture("tsp/timestampreq_sha256_plain.der");
   const std::string requestXml = kDeclaration +
      "<TimeStampReq>\n"
      "   <version><v1/></version>\n"
      "   <messageImprint>\n"
      "      <hashAlgorithm>\n"
      "         <algorithm>2.16.840.1.101.3.4.2.1</algorithm>\n"
      "         <parameters><Encoded>0500</Encoded></parameters>\n"
      "      </hashAlgorithm>\n"
      "      <hashedMessage>B92F2A8795934B0D05585A6E52FF2954BB25269BA8ACC7AF0195E4C1640890DD</hashedMessage>\n"
      "   </messageImprint>\n"
      "</TimeStampReq>";
   EXPECT_EQ(toXml("TimeStampReq", request), requestXml);
   EXPECT_EQ(toHex(toDer("TimeStampReq", requestXml)), toHex(request));

   std::string digits = requestXml;
   digits.replace(digits.find("<v1/>"), 5, "1");
   EXPECT_EQ(toHex(toDer("TimeStampReq", digits)), toHex(request));
}

// The eContent of a time-stamp token is written as the decoded TSTInfo, in
// the compact form of open-type content, right after the fixed
// eContentType text that the time-stamp converter searches for.
TEST(MessageOutput, TokenShowsItsTstInfoDecoded) {
   const struct {
      const char* file;
      const char* type;
      const char* tstInfo;
   } cases[] = {
      {"tsp/timestamptoken_plain.der", "TimeStampToken", "tsp/tstinfo_plain.der"},
      {"tsp/timestamptoken_full.der", "TimeStampToken", "tsp/tstinfo_full.der"},
      {"tsp/timestampresp_granted_plain.der", "TimeStampResp", "tsp/tstinfo_plain.der"},
      {"tsp/timestampresp_granted_policy.der", "TimeStampResp", "tsp/tstinfo_policy.der"},
      {"tsp/timestampresp_granted_full.der", "TimeStampResp", "tsp/tstinfo_full.der"},
   };
   for (const auto& c : cases) {
      const std::string inner = compact(toXml("TSTInfo", fixture(c.tstInfo)));
      ASSERT_EQ(inner.rfind("<TSTInfo><version>", 0), 0u) << inner;
      const std::string expected =
         "<encapContentInfo><eContentType>1.2.840.113549.1.9.16.1.4</eContentType><eContent>" + inner +
         "</eContent></encapContentInfo>";
      std::string xml = toXml(c.type, fixture(c.file));
      EXPECT_NE(xml.find(expected), std::string::npos) << c.file << "\n" << xml;
   }

   std::string full = toXml("TimeStampToken", fixture("tsp/timestamptoken_full.der"));
   EXPECT_NE(full.find("<serialNumber>2561</serialNumber><genTime>20261205212818.6Z</genTime>"
                       "<accuracy><seconds>1</seconds><millis>500</millis><micros>100</micros></accuracy>"
                       "<ordering><true/></ordering><nonce>13044405664515667446</nonce><tsa><directoryName>"),
             std::string::npos)
      << full;
}

TEST(MessageOutput, SignedAttributesAreResolved) {
   std::string xml = toXml("ContentInfo", fixture("cms/contentinfo_signed_attached.der"));
   EXPECT_EQ(element(xml, "signedAttrs"),
             "<signedAttrs>"
             "<Attribute><type>1.2.840.113549.1.9.3</type><values>"
             "<ContentTypeIdentifier>1.2.840.113549.1.7.1</ContentTypeIdentifier></values></Attribute>"
             "<Attribute><type>1.2.840.113549.1.9.5</type><values>"
             "<Time><utcTime>261205212815Z</utcTime></Time></values></Attribute>"
             "<Attribute><type>1.2.840.113549.1.9.4</type><values><_messageDigest_Type>"
             "B92F2A8795934B0D05585A6E52FF2954BB25269BA8ACC7AF0195E4C1640890DD"
             "</_messageDigest_Type></values></Attribute>"
             // smimeCapabilities is in no attribute set: its value stays raw.
             "<Attribute><type>1.2.840.113549.1.9.15</type><values><Encoded>"
             "306A300B060960864801650304012A300B0609608648016503040116"
             "300B0609608648016503040102300A06082A864886F70D0307300E06082A864886F70D030202020080"
             "300D06082A864886F70D0302020140300706052B0E030207300D06082A864886F70D0302020128"
             "</Encoded></values></Attribute>"
             "</signedAttrs>");

   xml = toXml("TimeStampToken", fixture("tsp/timestamptoken_plain.der"));
   EXPECT_NE(xml.find("<Attribute><type>1.2.840.113549.1.9.16.2.12</type><values><SigningCertificate><certs>"
                      "<ESSCertID><certHash>CAAFFEB1D8325715F986E14D118E636B9D33EB74</certHash></ESSCertID>"
                      "</certs></SigningCertificate></values></Attribute>"),
             std::string::npos)
      << xml;
}

// XML that lists SET OF elements in another order comes back as the DER
// original: the encoder sorts the elements by their encodings.
TEST(MessageOutput, SetOfFromXmlIsWrittenInDerOrder) {
   const struct {
      const char* file;
      const char* type;
      const char* list;
      const char* item;
      int occurrence;
   } cases[] = {
      {"cms/contentinfo_signed_attached.der", "ContentInfo", "signedAttrs", "Attribute", 0},
      {"cms/contentinfo_signed_multi_certs_crls.der", "ContentInfo", "certificates", "certificate", 0},
      {"cms/contentinfo_signed_multi_certs_crls.der", "ContentInfo", "signerInfos", "SignerInfo", 0},
      {"cms/contentinfo_signed_multi_certs_crls.der", "ContentInfo", "signedAttrs", "Attribute", 1},
      {"tsp/timestampresp_granted_plain.der", "TimeStampResp", "signedAttrs", "Attribute", 0},
      {"cert/certificationrequest_ed25519_attributes.der", "CertificationRequest", "attributes", "Attribute", 0},
   };
   for (const auto& c : cases) {
      const std::string der = fixture(c.file);
      const std::string xml = toXml(c.type, der);
      const std::string reordered = reverseItems(xml, c.list, c.item, c.occurrence);
      ASSERT_FALSE(reordered.empty()) << c.file << " " << c.list;
      ASSERT_EQ(reordered.size(), xml.size()) << c.file << " " << c.list;
      ASSERT_NE(reordered, xml) << c.file << " " << c.list;
      EXPECT_EQ(toHex(toDer(c.type, reordered)), toHex(der)) << c.file << " " << c.list;
   }
}

// BER input with SET OF elements out of DER order: the decoded value keeps
// the input order, so the XML shows it; the way back sorts again.
using Locate = tlv::Node& (*)(tlv::Node& message);

tlv::Node& signedDataField(tlv::Node& contentInfo, const std::string& identifier) {
   // ContentInfo -> [0] EXPLICIT -> SignedData
   std::vector<tlv::Node>& fields = contentInfo.children.at(1).children.at(0).children;
   auto it = std::find_if(fields.begin(), fields.end(),
                          [&](const tlv::Node& n) { return n.identifier == identifier; });
   if (it == fields.end()) throw std::runtime_error("no SignedData field " + toHex(identifier));
   return *it;
}

tlv::Node& firstSignedAttrs(tlv::Node& contentInfo) {
   // signerInfos is the last SET of SignedData; signedAttrs is [0] IMPLICIT in SignerInfo.
   tlv::Node& signerInfo = contentInfo.children.at(1).children.at(0).children.back().children.at(0);
   for (tlv::Node& field : signerInfo.children)
      if (field.identifier == "\xA0") return field;
   throw std::runtime_error("no signedAttrs");
}

tlv::Node& certificates(tlv::Node& contentInfo) { return signedDataField(contentInfo, "\xA0"); }

TEST(MessageOutput, UnsortedSetInBerKeepsItsOrderUntilEncoded) {
   const struct {
      const char* file;
      Locate locate;
      const char* list;
      const char* item;
      size_t count;
   } cases[] = {
      {"cms/contentinfo_signed_attached.der", firstSignedAttrs, "signedAttrs", "Attribute", 4},
      {"cms/contentinfo_signed_multi_certs_crls.der", certificates, "certificates", "certificate", 4},
   };
   for (const auto& c : cases) {
      const std::string der = fixture(c.file);
      tlv::Node message = tlv::parse(der);
      tlv::Node& set = c.locate(message);
      ASSERT_EQ(set.children.size(), c.count) << c.file;
      std::reverse(set.children.begin(), set.children.end());
      const std::string ber = tlv::der(message);
      ASSERT_EQ(ber.size(), der.size()) << c.file;
      ASSERT_NE(ber, der) << c.file;

      const std::string unsortedXml = toXml("ContentInfo", ber);
      EXPECT_EQ(unsortedXml, reverseItems(toXml("ContentInfo", der), c.list, c.item)) << c.file;
      EXPECT_EQ(toHex(toDer("ContentInfo", unsortedXml)), toHex(der)) << c.file;
   }
}

}
