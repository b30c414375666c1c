// DER that must be refused by blobxml (or converted exactly), one row per
// doctored message.
#include "hostile_inputs.h"
#include "tlv.h"

namespace {

using namespace hostile;
using namespace std::string_literals;

std::string fixture(const std::string& name) {
   return testsupport::readFile(testsupport::sourcePath("tests/fixtures/" + name));
}

// The DER of `der` after `edit` has changed its tree.
template <typename Edit>
std::string edited(const std::string& der, Edit edit) {
   tlv::Node root = tlv::parse(der);
   edit(root);
   return tlv::der(root);
}

// `der` with the contents of its first primitive `identifier` element that
// holds `from` replaced by `to`.
std::string withContents(const std::string& der, const std::string& identifier,
                         const std::string& from, const std::string& to) {
   return edited(der,
                 [&](tlv::Node& root) { tlv::primitive(root, identifier, from).contents = to; });
}

// The node, which must carry `identifier`, given the other form.
void flipForm(tlv::Node& node, const std::string& identifier) {
   if (node.identifier != identifier) throw std::runtime_error("not the element meant");
   node.identifier[0] = static_cast<char>(node.identifier[0] ^ 0x20);
   if (node.constructed) {
      for (const tlv::Node& child : node.children) node.contents += tlv::der(child);
      node.children.clear();
   }
   node.constructed = !node.constructed;
}

// A signed-data message with an attribute certificate whose signed part is
// the element given (hexadecimal, five octets) added to its certificates.
std::string withAttributeCertificate(const std::string& toBeSigned) {
   return edited(fixture("cms/contentinfo_signed_certs_only.der"), [&](tlv::Node& root) {
      tlv::Node& certificates = tlv::at(root, {1, 0, 3});
      if (certificates.identifier != "\xA0") throw std::runtime_error("no certificates");
      certificates.children.push_back(tlv::parse(testsupport::fromHex(
         "A1 18" + toBeSigned + "30 0D 06 09 2A 86 48 86 F7 0D 01 01 0B 05 00 03 02 00 01")));
   });
}

TEST(HostileDer, AttributeCertificateSigningASequenceIsKeptAsReceived) {
   const testsupport::RunResult r =
      convert("blobxml", withAttributeCertificate("30 03 02 01 01"), "ContentInfo");
   EXPECT_EQ(r.err, "");
   EXPECT_NE(r.out.find("<attrCert><toBeSigned><Encoded>3003020101</Encoded></toBeSigned>"),
             std::string::npos);
}

TEST(HostileDer, RefusedOrExact) {
   const std::string der = goldenDer();
   const std::string ocsp = fixture("ocsp/basicocspresponse_multi_status.der");
   const Row rows[] = {
      {"outer SET instead of SEQUENCE", "\x31" + der.substr(1), "Certificate", "",
       kConverterReport},
      // Octets of an unknown open type are shown as they came, BER included.
      {"indefinite lengths inside an unknown content",
       testsupport::fromHex("308006032A0304A080308002010100000000 0000"), "ContentInfo",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ContentInfo>\n"
       "   <contentType>1.2.3.4</contentType>\n"
       "   <content><Encoded>30800201010000</Encoded></content>\n</ContentInfo>",
       nullptr},
      // basicConstraints (2.5.29.19) with 2^32 added to its last arc.
      {"extension arc above 32 bits",
       withContents(der, "\x06", "\x55\x1D\x13", "\x55\x1D\x90\x80\x80\x80\x13"), "Certificate",
       "", kConverterReport},
      {"extension arc with a leading 0x80",
       withContents(der, "\x06", "\x55\x1D\x13", "\x55\x1D\x80\x13"), "Certificate", "",
       kConverterReport},
      {"commonName with a NUL octet",
       withContents(der, "\x0C", "golden leaf", "www.bank.com\0.evil.com"s), "Certificate", "",
       kConverterReport},
      {"serialNumber without contents octets",
       withContents(der, "\x02", testsupport::fromHex("01 02 03 04 05 06 07 08 09 0A"), ""),
       "Certificate", "", kConverterReport},
      {"certStatus good as A0 00",
       edited(ocsp, [](tlv::Node& root) { flipForm(tlv::primitive(root, "\x80", ""), "\x80"); }),
       "BasicOCSPResponse", "", kConverterReport},
      {"certStatus revoked in the primitive form",
       edited(ocsp, [](tlv::Node& root) { flipForm(tlv::at(root, {0, 2, 1, 1}), "\xA1"); }),
       "BasicOCSPResponse", "", kConverterReport},
      {"attribute certificate signing a SET", withAttributeCertificate("31 03 02 01 01"),
       "ContentInfo", "", kConverterReport},
   };
   for (const Row& row : rows) expectRow("blobxml", row);
}

}
