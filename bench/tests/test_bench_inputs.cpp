// The benchmark inputs: DER element helpers, the synthetic messages (valid
// values of their types, of the promised size and shape), the fixture corpus
// and the Expat baseline's event count.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "benchCorpus.h"
#include "derBuilder.h"
#include "expatBaseline.h"
#include "syntheticMessages.h"
#include "xerDerConverter.h"

namespace {

const std::string kFixtures = BLOBXML_FIXTURE_DIR;

std::string readFixture(const std::string& name) {
   std::ifstream in(kFixtures + "/" + name, std::ios::binary);
   if (!in) throw std::runtime_error("cannot read " + name);
   return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string hex(const std::string& bytes) {
   static const char kDigits[] = "0123456789ABCDEF";
   std::string out;
   for (unsigned char c : bytes) {
      out += kDigits[c >> 4];
      out += kDigits[c & 0x0F];
   }
   return out;
}

/* The children of the element reached from der by the child indexes. */
std::vector<std::string> childrenAt(const std::string& der, const std::vector<size_t>& path) {
   std::string element = der;
   for (size_t index : path) element = bench::derChildren(bench::derContents(element)).at(index);
   return bench::derChildren(bench::derContents(element));
}

TEST(DerBuilder, LengthsAreMinimal) {
   const std::pair<size_t, const char*> cases[] = {
      {0, "00"}, {127, "7F"}, {128, "8180"}, {255, "81FF"}, {256, "820100"},
      {65535, "82FFFF"}, {65536, "83010000"},
   };
   for (const auto& c : cases) EXPECT_EQ(hex(bench::derLength(c.first)), c.second) << c.first;
}

TEST(DerBuilder, ElementsSplitAndJoin) {
   std::string inner = bench::derElement(0x02, "\x01") + bench::derElement(0x04, std::string(200, 'x'));
   std::string outer = bench::derElement(0x30, inner);
   EXPECT_EQ(hex(outer.substr(0, 4)), "3081CE02");
   EXPECT_EQ(bench::derContents(outer), inner);
   std::vector<std::string> children = bench::derChildren(inner);
   ASSERT_EQ(children.size(), 2u);
   EXPECT_EQ(hex(children[0]), "020101");
   EXPECT_EQ(children[1].size(), 203u);
}

TEST(DerBuilder, MalformedInputIsRefused) {
   const char* cases[] = {
      "3080020101 0000",  // indefinite length
      "3003020101 00",    // octets after the element
      "3005020101",       // contents cut short
      "3F0100",           // identifier of more than one octet
      "30",               // no length
   };
   for (const char* text : cases) {
      std::string bytes;
      for (const char* p = text; *p != '\0'; ++p) {
         if (*p == ' ') continue;
         bytes += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
         ++p;
      }
      EXPECT_THROW(bench::derContents(bytes), std::runtime_error) << text;
   }
}

TEST(SyntheticMessages, GrownListFillsTheLimitWithDistinctSerials) {
   const std::string crl = readFixture("cert/certificatelist_revoked_reasons.der");
   for (size_t limit : {4096u, 65536u}) {
      std::string grown = bench::growCertificateList(crl, limit);
      EXPECT_LE(grown.size(), limit);
      EXPECT_GT(grown.size(), limit - 128) << "another entry would still fit";
      /* tbsCertList: version, signature, issuer, thisUpdate, nextUpdate,
         revokedCertificates. */
      std::vector<std::string> revoked = childrenAt(grown, {0, 5});
      std::set<std::string> serials;
      for (const std::string& entry : revoked)
         serials.insert(bench::derChildren(bench::derContents(entry)).at(0));
      EXPECT_EQ(serials.size(), revoked.size());
      EXPECT_GT(revoked.size(), limit / 64);
      bench::Message message = bench::makeMessage("grown", "CertificateList", grown);
      EXPECT_GT(bench::parseWithEmptyHandlers(message.xml), 0);
   }
}

TEST(SyntheticMessages, GrownListNeedsRevokedCertificates) {
   EXPECT_THROW(bench::growCertificateList(readFixture("cert/certificatelist_empty_idp.der"), 65536),
                std::runtime_error);
}

TEST(SyntheticMessages, WideSubjectComesBackSorted) {
   const std::string cert = readFixture("cert/certificate_rsa_ca_v3.der");
   const unsigned count = 300;
   std::string wide = bench::widenSubject(cert, count);
   /* tbsCertificate: [0] version, serial, signature, issuer, validity,
      subject; the subject holds one RDN. */
   std::vector<std::string> stored = childrenAt(wide, {0, 5, 0});
   ASSERT_EQ(stored.size(), count);
   EXPECT_FALSE(std::is_sorted(stored.begin(), stored.end())) << "the input must need a sort";

   bench::Message message = bench::makeMessage("wide", "Certificate", wide);
   CACMPT_BLOB der = XerDerConverterSimple("Certificate").toDer(message.xml);
   std::string encoded(reinterpret_cast<const char*>(der.data), der.length);
   std::vector<std::string> sorted = childrenAt(encoded, {0, 5, 0});
   /* DER SET OF order (X.690 11.6): the same elements, ascending. */
   EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
   std::sort(stored.begin(), stored.end());
   EXPECT_EQ(sorted, stored);
   EXPECT_NE(message.xml.find("<utf8String>unit 00299</utf8String>"), std::string::npos);
}

TEST(BenchCorpus, FixtureNamesGiveTheirTypes) {
   const std::pair<const char*, const char*> cases[] = {
      {"certificate_ec_v1.der", "Certificate"},
      {"certificatelist_delta.der", "CertificateList"},
      {"certificationrequest_dsa.der", "CertificationRequest"},
      {"timestamptoken_full.der", "TimeStampToken"},
      {"unsupported_pkimessage_certconf.der", ""},
      {"readme", ""},
   };
   for (const auto& c : cases) EXPECT_EQ(bench::typeOfFixture(c.first), c.second) << c.first;
}

TEST(BenchCorpus, CertCorpusHoldsTheCertDirectory) {
   std::vector<bench::Message> messages = bench::loadFixtures(kFixtures);
   std::vector<bench::Corpus> corpora = bench::groupCorpora(messages);
   ASSERT_FALSE(corpora.empty());
   const bench::Corpus& certs = corpora.back();
   EXPECT_EQ(certs.name, "cert-fixtures");
   size_t inCertDirectory = 0;
   for (const bench::Message& message : messages)
      if (message.file.rfind("cert/", 0) == 0) ++inCertDirectory;
   EXPECT_EQ(certs.messages.size(), inCertDirectory);
   for (const bench::Message& message : certs.messages) {
      EXPECT_EQ(message.file.rfind("cert/", 0), 0u) << message.file;
      EXPECT_EQ(message.xml.rfind("<?xml", 0), 0u) << message.file;
   }
   size_t perType = 0;
   for (size_t i = 0; i + 1 < corpora.size(); ++i) perType += corpora[i].messages.size();
   EXPECT_EQ(perType, messages.size());
}

TEST(ExpatBaseline, CountsEveryEvent) {
   EXPECT_EQ(bench::parseWithEmptyHandlers("<a>x<b/></a>"), 5);
   EXPECT_EQ(bench::parseWithEmptyHandlers("<a><b></a>"), -1);
   EXPECT_EQ(bench::parseWithEmptyHandlers(""), -1);
}

}
