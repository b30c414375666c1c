// BER input that is not DER, through the installed executable: variants of
// real certificates, a CRL and a request written with indefinite lengths,
// non-minimal lengths, segmented strings, TRUE as 01, SET OF out of order
// and long-form tag numbers. Each must give the XML of the DER original and
// come back from that XML as the DER original.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"
#include "tlv.h"

namespace {

using testsupport::fromHex;
using testsupport::installedBin;
using testsupport::readFile;
using testsupport::RunResult;
using testsupport::run;
using testsupport::scratchDir;
using testsupport::sourcePath;
using testsupport::toHex;
using testsupport::writeFile;

// Identifiers (OID contents) whose open-type value the tool does not
// resolve: such a value is kept as it came, octet for octet, so the writer
// below leaves it in DER. sha256WithRSAEncryption, the serialNumber name
// attribute, id-ecPublicKey and the user-principal-name otherName.
const std::set<std::string> kUnresolved = {fromHex("2A864886F70D01010B"), fromHex("550405"),
                                           fromHex("2A8648CE3D0201"),
                                           fromHex("2B0601040182371402 03")};

// Extensions whose value the tool decodes and encodes afresh: BER inside
// their OCTET STRING comes back as DER too. basicConstraints, keyUsage,
// subjectKeyIdentifier, subjectAltName, authorityKeyIdentifier, CRL number,
// reason code, issuing distribution point, extKeyUsage.
const std::set<std::string> kResolvedExtensions = {
   fromHex("551D13"), fromHex("551D0F"), fromHex("551D0E"), fromHex("551D11"), fromHex("551D23"),
   fromHex("551D14"), fromHex("551D15"), fromHex("551D1C"), fromHex("551D25")};

struct BerStyle {
   const char* name;
   bool indefinite;      // constructed elements with the indefinite length
   size_t lengthOctets;  // 0: minimal lengths; else long form with at least this many octets
   size_t segment;       // 0: primitive strings; else segments of at most this many octets
   bool trueAsOne;       // BOOLEAN TRUE as 01 instead of FF
   // Identifiers of primitive elements that keep their DER length under
   // lengthOctets: BOOLEAN and NULL (see BooleanAndNullTakeOneLengthOctet).
   const char* derLengthIdentifiers = "\x01\x05";
};

const BerStyle kStyles[] = {
   {"indefinite", true, 0, 0, false},
   {"long_form_lengths_1", false, 1, 0, false},
   {"long_form_lengths_4", false, 4, 0, false},
   {"segmented_strings", false, 0, 5, false},
   {"segmented_indefinite", true, 0, 1, false},
   {"true_as_01", false, 0, 0, true},
   {"everything", true, 3, 7, true},
};

class BerWriter {
public:
   explicit BerWriter(const BerStyle& style) : style(style) {}

   std::string write(const tlv::Node& node) const {
      if (style.trueAsOne && node.identifier == "\x01" && node.contents == "\xFF")
         return std::string("\x01\x01\x01", 3);
      if (!node.constructed) {
         if (style.segment > 0 && isString(node) && !node.contents.empty()) return segmented(node);
         if (readsOneLengthOctet(node)) return tlv::der(node);
         return node.identifier + length(node.contents.size()) + node.contents;
      }
      std::string contents;
      for (size_t i = 0; i < node.children.size(); i++) {
         const tlv::Node& child = node.children[i];
         const bool afterUnresolved = i > 0 && node.children[i - 1].identifier == "\x06" &&
                                      kUnresolved.count(node.children[i - 1].contents) > 0;
         if (afterUnresolved) {
            contents += tlv::der(child);
         } else if (i + 1 == node.children.size() && resolvedExtension(node)) {
            tlv::Node value = child;
            value.contents = write(tlv::parse(child.contents));
            contents += write(value);
         } else {
            contents += write(child);
         }
      }
      return node.identifier + constructedLength(contents);
   }

private:
   const BerStyle style;

   static bool isString(const tlv::Node& node) {
      static const std::string strings("\x03\x04\x0C\x13\x16\x17\x18", 7);
      return node.identifier.size() == 1 && strings.find(node.identifier[0]) != std::string::npos;
   }

   bool readsOneLengthOctet(const tlv::Node& node) const {
      return node.identifier.size() == 1 &&
             std::string(style.derLengthIdentifiers).find(node.identifier[0]) != std::string::npos;
   }

   static bool resolvedExtension(const tlv::Node& node) {
      return node.identifier == "\x30" && node.children.size() >= 2 &&
             node.children[0].identifier == "\x06" &&
             kResolvedExtensions.count(node.children[0].contents) > 0 &&
             node.children.back().identifier == "\x04";
   }

   // Long form with at least style.lengthOctets octets (X.690 8.1.3.5 lets
   // the length octets start with zeros).
   std::string length(size_t n) const {
      if (style.lengthOctets == 0) return tlv::derLength(n);
      std::string octets;
      for (size_t rest = n; rest > 0 || octets.size() < style.lengthOctets; rest >>= 8)
         octets.insert(octets.begin(), static_cast<char>(rest & 0xFF));
      return static_cast<char>(0x80 | octets.size()) + octets;
   }

   std::string constructedLength(const std::string& contents) const {
      if (style.indefinite) return std::string("\x80", 1) + contents + std::string(2, '\0');
      return length(contents.size()) + contents;
   }

   // X.690 8.6.4 and 8.7.3: a BIT STRING in BIT STRING segments, each with
   // its unused-bits octet (0 but in the last); an OCTET STRING and every
   // character string (X.690 8.23.6) in OCTET STRING segments.
   std::string segmented(const tlv::Node& node) const {
      const bool bits = node.identifier == "\x03";
      const std::string data = bits ? node.contents.substr(1) : node.contents;
      std::string segments;
      for (size_t at = 0; at < data.size() || (bits && at == 0); at += style.segment) {
         std::string piece = data.substr(at, style.segment);
         if (bits) piece.insert(0, 1, at + style.segment >= data.size() ? node.contents[0] : '\0');
         segments += std::string(bits ? "\x03" : "\x04") + length(piece.size()) + piece;
      }
      return std::string(1, static_cast<char>(node.identifier[0] | 0x20)) +
             constructedLength(segments);
   }
};

struct Message {
   const char* fixture;
   const char* type;
};

const Message kMessages[] = {
   {"tests/fixtures/cert/certificate_rsa_golden.der", "Certificate"},
   {"tests/fixtures/cert/certificate_ec_v3_all_extensions.der", "Certificate"},
   {"tests/fixtures/cert/certificatelist_revoked_reasons.der", "CertificateList"},
   {"tests/fixtures/cert/certificationrequest_ec_extensions.der", "CertificationRequest"},
};

std::string convert(const char* startName, const std::string& input, const char* type,
                    const std::string& what) {
   std::string path = scratchDir("ber-input") + "/input";
   writeFile(path, input);
   RunResult r = run(installedBin(startName), startName, {"-i", path, "-t", type});
   EXPECT_EQ(r.err, "") << startName << " " << what;
   EXPECT_EQ(r.status, 0) << startName << " " << what;
   return r.out;
}

// BER in, the XML of the DER original out, and that XML back to the original.
void expectDecodesAsDer(const std::string& ber, const std::string& der, const char* type,
                        const std::string& what) {
   std::string xmlOfDer = convert("blobxml", der, type, what + " (DER)");
   std::string xmlOfBer = convert("blobxml", ber, type, what);
   EXPECT_EQ(xmlOfBer, xmlOfDer) << what;
   EXPECT_EQ(toHex(convert("xmlblob", xmlOfBer, type, what)), toHex(der)) << what;
}

TEST(BerInput, VariantsOfRealMessagesComeBackAsTheirDer) {
   for (const Message& m : kMessages) {
      const std::string der = readFile(sourcePath(m.fixture));
      const tlv::Node tree = tlv::parse(der);
      for (const BerStyle& style : kStyles) {
         std::string ber = BerWriter(style).write(tree);
         std::string what = std::string(m.fixture) + " " + style.name;
         ASSERT_NE(ber, der) << what;
         expectDecodesAsDer(ber, der, m.type, what);
      }
   }
}

// The writer itself, on SEQUENCE { TRUE, BIT STRING of 10 bits, UTF8String "abc" }.
TEST(BerInput, WriterProducesTheIntendedForms) {
   const tlv::Node tree = tlv::parse(fromHex("300D 0101FF 030306ABC0 0C03616263"));
   const char* expected[] = {
      "3080 0101FF 030306ABC0 0C03616263 0000",
      "30810F 0101FF 03810306ABC0 0C8103616263",
      "308400000015 0101FF 038400000003 06ABC0 0C8400000003616263",
      "3011 0101FF 2305 030306ABC0 2C05 0403616263",
      "3080 0101FF 2380 030200AB 030206C0 0000 2C80 040161 040162 040163 0000 0000",
      "300D 010101 030306ABC0 0C03616263",
      "3080 010101 2380 0383000003 06ABC0 0000 2C80 0483000003 616263 0000 0000",
   };
   static_assert(sizeof(expected) / sizeof(expected[0]) == sizeof(kStyles) / sizeof(kStyles[0]),
                 "one expectation per style");
   for (size_t i = 0; i < sizeof(kStyles) / sizeof(kStyles[0]); i++)
      EXPECT_EQ(toHex(BerWriter(kStyles[i]).write(tree)), toHex(fromHex(expected[i])))
         << kStyles[i].name;
}

// The golden certificate's tree and the parts the cases below change.
struct Golden {
   std::string der = readFile(sourcePath(kMessages[0].fixture));
   tlv::Node cert = tlv::parse(der);
   tlv::Node& tbs() { return cert.children[0]; }
   tlv::Node& signatureParameters() { return tbs().children[2].children[1]; }
   tlv::Node& subject() { return tbs().children[5]; }
};

// A SET OF in BER may hold its items in any order; DER sorts their
// encodings (X.690 11.6). The subject as one RDN with commonName (30 12 ...)
// before serialNumber (30 0C ...): the XML keeps the order, the DER sorts.
TEST(BerInput, SetOfItemsAreSortedOnTheWayBackToDer) {
   Golden golden;
   const tlv::Node commonName = golden.subject().children[0].children[0];
   const tlv::Node serialNumber = golden.subject().children[1].children[0];
   tlv::Node rdn = golden.subject().children[0];
   rdn.children = {commonName, serialNumber};
   golden.subject().children = {rdn};
   const std::string unsorted = tlv::der(golden.cert);
   golden.subject().children[0].children = {serialNumber, commonName};
   const std::string sorted = tlv::der(golden.cert);
   ASSERT_NE(unsorted, sorted);

   std::string xml = convert("blobxml", unsorted, "Certificate", "unsorted RDN");
   size_t cn = xml.find("<type>2.5.4.3</type>", xml.find("<subject>"));
   size_t sn = xml.find("<type>2.5.4.5</type>", xml.find("<subject>"));
   EXPECT_LT(cn, sn) << xml;
   EXPECT_EQ(xml.find("<RelativeDistinguishedName>", cn), std::string::npos);
   EXPECT_EQ(toHex(convert("xmlblob", xml, "Certificate", "unsorted RDN")), toHex(sorted));
}

// Tag numbers above 30 take the long form (X.690 8.1.2.4), legal in DER.
// No type of these messages has such a tag, but values the tool does not
// resolve may: they are shown as hexadecimal and kept octet for octet.
TEST(BerInput, LongFormTagNumbersInUnresolvedValuesAreKept) {
   Golden golden;
   golden.signatureParameters() = tlv::parse(fromHex("9F1F0105"));
   golden.subject().children[1].children[0].children[1] = tlv::parse(fromHex("BF8148050203010203"));
   const std::string der = tlv::der(golden.cert);
   std::string xml = convert("blobxml", der, "Certificate", "long-form tags");
   EXPECT_NE(xml.find("\n         <parameters><Encoded>9F1F0105</Encoded></parameters>\n"),
             std::string::npos);
   EXPECT_NE(xml.find("\n                  <value><Encoded>BF8148050203010203</Encoded></value>\n"),
             std::string::npos);
   EXPECT_EQ(toHex(convert("xmlblob", xml, "Certificate", "long-form tags")), toHex(der));
}

// The BOOLEAN and NULL decoders read one length octet: a long-form length
// there is refused like any message that does not decode, while every other
// element accepts it (VariantsOfRealMessagesComeBackAsTheirDer).
TEST(BerInput, BooleanAndNullTakeOneLengthOctet) {
   const std::regex decodeFailure(
      "Error:Exception :'' at file:'xerDerConverter\\.cpp' line:[1-9][0-9]*\n");
   const std::string der = readFile(sourcePath(kMessages[0].fixture));
   struct Case {
      const char* what;
      BerStyle style;
      const char* element;
   } cases[] = {
      {"BOOLEAN", {"long_boolean", false, 1, 0, false, "\x05"}, "018101FF"},
      {"NULL", {"long_null", false, 1, 0, false, "\x01"}, "058100"},
   };
   for (const Case& c : cases) {
      std::string ber = BerWriter(c.style).write(tlv::parse(der));
      ASSERT_NE(toHex(ber).find(c.element), std::string::npos) << c.what;
      std::string path = scratchDir("ber-one-length-octet") + "/input";
      writeFile(path, ber);
      RunResult r = run(installedBin("blobxml"), "blobxml", {"-i", path, "-t", "Certificate"});
      EXPECT_TRUE(std::regex_match(r.err, decodeFailure)) << c.what << ": " << r.err;
      EXPECT_EQ(r.out, "") << c.what;
      EXPECT_EQ(r.status, 0) << c.what;
   }
}

// The hexadecimal text of -includeEncoded is that of the input as read.
TEST(BerInput, IncludeEncodedShowsTheBerOctets) {
   Golden golden;
   std::string ber =
      BerWriter(kStyles[sizeof(kStyles) / sizeof(kStyles[0]) - 1]).write(golden.cert);
   std::string path = scratchDir("ber-include-encoded") + "/input";
   writeFile(path, ber);
   RunResult r =
      run(installedBin("blobxml"), "blobxml", {"-i", path, "-t", "Certificate", "-includeEncoded"});
   std::string expected = readFile(sourcePath("tests/tool/golden/certificate_rsa_golden.xml"));
   expected.insert(expected.find("<Certificate>") + 13, toHex(ber));
   EXPECT_EQ(r.out, expected);
   EXPECT_EQ(r.err, "");
}

}
