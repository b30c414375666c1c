/*
 * Peak heap use of single conversions: the largest messages the tool reads
 * (CRLs of 64 KB of DER and of 64 KB of XML), SET OFs of 1000 and 3000
 * elements, and a certificate for scale, in both directions, through the
 * converters as the tool calls them.
 *
 * usage: blobxml_bench_memory <fixture-root> [<out-dir>]
 *
 * Prints one line per conversion: "<message> <direction> <input octets>
 * <peak heap octets> <allocations> <octets allocated>". With out-dir the
 * synthetic messages are also written there as <message>.der and
 * <message>.xml, for runs of the tool itself.
 */
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "benchCorpus.h"
#include "heapCounter.h"
#include "syntheticMessages.h"
#include "xerDerConverter.h"

namespace fs = std::filesystem;

namespace {

const size_t kToolMessageLimit = 65536;

std::string readFile(const fs::path& path) {
   std::ifstream in(path, std::ios::binary);
   if (!in) throw std::runtime_error("cannot read " + path.string());
   return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& data) {
   std::ofstream out(path, std::ios::binary);
   out << data;
   if (!out) throw std::runtime_error("cannot write " + path.string());
}

void report(const std::string& name, const char* direction, size_t input, const bench::HeapUse& use) {
   std::printf("%-14s %-8s %7zu %9zu %7zu %9zu\n", name.c_str(), direction, input, use.peakBytes,
               use.allocations, use.totalBytes);
}

/* The CRL whose XML text is the largest input the tool reads in the XER
   to DER direction: its DER limit is narrowed until the XML fits. */
bench::Message largestXmlCrl(const std::string& crl) {
   size_t limit = kToolMessageLimit;
   for (;;) {
      bench::Message message = bench::makeMessage("crl-64k-xml", "CertificateList",
                                                  bench::growCertificateList(crl, limit));
      if (message.xml.size() <= kToolMessageLimit) return message;
      limit = limit * kToolMessageLimit / message.xml.size() - 1;
   }
}

/* Conversions as in the conversion step; the input copy the step makes
   (blob or string) is counted, the returned result too. */
void measure(const bench::Message& message) {
   XerDerConverterSimple converter(message.type);

   bench::heapCountStart();
   {
      CACMPT_BLOB der(reinterpret_cast<const unsigned char*>(message.der.data()),
                      static_cast<uint32_t>(message.der.size()));
      std::string xml = converter.toXer(der, false);
   }
   report(message.file, "der2xer", message.der.size(), bench::heapCountStop());

   bench::heapCountStart();
   {
      CACMPT_BLOB der = converter.toDer(std::string(message.xml.data(), message.xml.size()));
   }
   report(message.file, "xer2der", message.xml.size(), bench::heapCountStop());
}

}

int main(int argc, char** argv) {
   if (argc < 2 || argc > 3) {
      std::fprintf(stderr, "usage: %s <fixture-root> [<out-dir>]\n", argv[0]);
      return 2;
   }
   try {
      fs::path root = argv[1];
      std::string crl = readFile(root / "cert/certificatelist_revoked_reasons.der");
      std::string cert = readFile(root / "cert/certificate_rsa_ca_v3.der");
      std::vector<bench::Message> messages = {
         bench::makeMessage("certificate", "Certificate", cert),
         bench::makeMessage("crl-64k-der", "CertificateList",
                            bench::growCertificateList(crl, kToolMessageLimit)),
         largestXmlCrl(crl),
         bench::makeMessage("setof-1000", "Certificate", bench::widenSubject(cert, 1000)),
         bench::makeMessage("setof-3000", "Certificate", bench::widenSubject(cert, 3000)),
      };
      if (argc == 3) fs::create_directories(argv[2]);
      std::printf("%-14s %-8s %7s %9s %7s %9s\n", "message", "convert", "input", "peak-heap",
                  "allocs", "allocated");
      for (const bench::Message& message : messages) {
         measure(message);
         if (argc == 3) {
            writeFile(fs::path(argv[2]) / (message.file + ".der"), message.der);
            writeFile(fs::path(argv[2]) / (message.file + ".xml"), message.xml);
         }
      }
   } catch (const std::exception& e) {
      std::fprintf(stderr, "blobxml_bench_memory: %s\n", e.what());
      return 1;
   }
   return 0;
}
