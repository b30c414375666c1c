// DER -> XML -> DER through the installed executable under both start
// names: every fixture message and every certificate of the system's CA
// bundle must convert with status 0 and nothing on standard error, give
// well-formed XML, and come back as the identical octets.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "test_support.h"
#include "tlv.h"

namespace fs = std::filesystem;
using testsupport::installedBin;
using testsupport::readFile;
using testsupport::run;
using testsupport::writeFile;

namespace {

// Fixture files are named after their top-level type: "<prefix>_<what>.der".
const std::map<std::string, std::string>& typesByPrefix() {
   static const std::map<std::string, std::string> types = {
      {"certificationrequest", "CertificationRequest"},
      {"certificate", "Certificate"},
      {"certificatelist", "CertificateList"},
      {"pkimessage", "PKIMessage"},
      {"contentinfo", "ContentInfo"},
      {"envelopeddata", "EnvelopedData"},
      {"encrypteddata", "EncryptedData"},
      {"timestampreq", "TimeStampReq"},
      {"timestamptoken", "TimeStampToken"},
      {"timestampresp", "TimeStampResp"},
      {"timestampauthenticoderequest", "TimeStampAuthenticodeRequest"},
      {"tstinfo", "TSTInfo"},
      {"ocsprequest", "OCSPRequest"},
      {"ocspresponse", "OCSPResponse"},
      {"basicocspresponse", "BasicOCSPResponse"},
      {"dvcsrequest", "DVCSRequest"},
      {"dvcsresponse", "DVCSResponse"},
   };
   return types;
}

struct Message {
   std::string name;  // test name: letters, digits and '_' only
   std::string type;
   std::string der;
   bool isDer = true;  // false: valid BER that is not DER, so the output differs
};

// Fixtures that openssl writes as BER but not DER: the certificates of the
// TSA's SignedData are not in DER SET OF order. The converter writes DER, so
// these come back with exactly that SET re-sorted, and stable from then on.
bool knownNotDer(const std::string& name) {
   return name == "tsp_timestampresp_granted_full" || name == "tsp_timestamptoken_full";
}

// The message with the certificates of its token's SignedData in DER order:
// by their encodings compared as octet strings (no certificate's encoding is
// a prefix of another's, so the padding rule of DER never applies).
std::string certificatesInDerOrder(const Message& message) {
   tlv::Node root = tlv::parse(message.der);
   tlv::Node& token = message.type == "TimeStampResp" ? root.children.at(1) : root;
   tlv::Node& signedData = token.children.at(1).children.at(0);
   for (tlv::Node& field : signedData.children) {
      if (field.identifier != "\xA0") continue;
      std::sort(field.children.begin(), field.children.end(),
                [](const tlv::Node& a, const tlv::Node& b) { return tlv::der(a) < tlv::der(b); });
   }
   return tlv::der(root);
}

std::string testName(const std::string& text) {
   std::string name;
   for (char c : text) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
   return name;
}

std::vector<Message> fixtureMessages() {
   std::vector<Message> messages;
   fs::path root = testsupport::sourcePath("tests/fixtures");
   for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.path().extension() != ".der") continue;
      std::string stem = entry.path().stem().string();
      auto type = typesByPrefix().find(stem.substr(0, stem.find('_')));
      if (type == typesByPrefix().end()) continue;
      std::string name = testName(entry.path().parent_path().filename().string() + "_" + stem);
      messages.push_back({name, type->second, readFile(entry.path().string()), !knownNotDer(name)});
   }
   std::sort(messages.begin(), messages.end(),
             [](const Message& a, const Message& b) { return a.name < b.name; });
   return messages;
}

// Decodes the base64 body of every PEM certificate block of a file.
std::vector<std::string> pemCertificates(const std::string& text) {
   static const std::string alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
   std::vector<std::string> ders;
   const std::string begin = "-----BEGIN CERTIFICATE-----", end = "-----END CERTIFICATE-----";
   for (size_t at = text.find(begin); at != std::string::npos; at = text.find(begin, at)) {
      size_t stop = text.find(end, at);
      if (stop == std::string::npos) break;
      std::string der;
      unsigned bits = 0, count = 0;
      for (size_t i = at + begin.size(); i < stop; ++i) {
         size_t v = alphabet.find(text[i]);
         if (v == std::string::npos) continue;
         bits = (bits << 6) | static_cast<unsigned>(v);
         count += 6;
         if (count >= 8) {
            count -= 8;
            der += static_cast<char>((bits >> count) & 0xFF);
         }
      }
      ders.push_back(der);
      at = stop;
   }
   return ders;
}

std::vector<Message> caBundleCertificates() {
   std::vector<Message> messages;
   fs::path root = "/usr/share/ca-certificates";
   if (!fs::exists(root)) return messages;
   for (const auto& entry : fs::recursive_directory_iterator(root)) {
      if (entry.path().extension() != ".crt") continue;
      for (const std::string& der : pemCertificates(readFile(entry.path().string())))
         messages.push_back({testName(entry.path().stem().string()), "Certificate", der});
   }
   std::sort(messages.begin(), messages.end(),
             [](const Message& a, const Message& b) { return a.name < b.name; });
   return messages;
}

bool wellFormed(const std::string& xmlPath) {
   testsupport::RunResult lint = run("/usr/bin/xmllint", "xmllint", {"--noout", xmlPath});
   return lint.status == 0 && lint.err.empty();
}

class RoundTrip : public ::testing::TestWithParam<Message> {};

TEST_P(RoundTrip, DerToXmlToDerGivesTheSameOctets) {
   const Message& message = GetParam();
   std::string dir = testsupport::scratchDir("roundtrip-" + message.name);
   std::string derPath = dir + "/in.der", xmlPath = dir + "/out.xml";
   writeFile(derPath, message.der);

   testsupport::RunResult toXml =
      run(installedBin("blobxml"), "blobxml", {"-i", derPath, "-t", message.type});
   ASSERT_EQ(toXml.err, "");
   ASSERT_EQ(toXml.status, 0);
   ASSERT_EQ(toXml.out.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 0), 0u) << toXml.out;
   writeFile(xmlPath, toXml.out);
   EXPECT_TRUE(wellFormed(xmlPath)) << toXml.out;

   testsupport::RunResult toDer =
      run(installedBin("xmlblob"), "xmlblob", {"-i", xmlPath, "-t", message.type});
   ASSERT_EQ(toDer.err, "");
   ASSERT_EQ(toDer.status, 0);
   if (message.isDer) {
      EXPECT_EQ(testsupport::toHex(toDer.out), testsupport::toHex(message.der)) << toXml.out;
      return;
   }
   EXPECT_NE(toDer.out, message.der) << "listed as not DER but came back unchanged";
   EXPECT_EQ(testsupport::toHex(toDer.out), testsupport::toHex(certificatesInDerOrder(message)));
   writeFile(derPath, toDer.out);
   testsupport::RunResult again =
      run(installedBin("blobxml"), "blobxml", {"-i", derPath, "-t", message.type});
   writeFile(xmlPath, again.out);
   testsupport::RunResult derAgain =
      run(installedBin("xmlblob"), "xmlblob", {"-i", xmlPath, "-t", message.type});
   EXPECT_EQ(testsupport::toHex(derAgain.out), testsupport::toHex(toDer.out));
}

std::string nameOf(const ::testing::TestParamInfo<Message>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Fixtures, RoundTrip, ::testing::ValuesIn(fixtureMessages()), nameOf);
INSTANTIATE_TEST_SUITE_P(CaBundle, RoundTrip, ::testing::ValuesIn(caBundleCertificates()), nameOf);

}
