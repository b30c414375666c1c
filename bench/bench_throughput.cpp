/*
 * Conversion throughput over the fixture corpus, per top-level type and in
 * both directions, through the converters exactly as the tool calls them,
 * with the raw Expat parse of the same XML as the baseline of XER to DER.
 * Synthetic messages add the largest message the tool reads (64 KB) and a
 * SET OF whose DER sort grows with its size.
 *
 * usage: blobxml_bench <fixture-root> [Google Benchmark options]
 *
 * Rates are counters: "msg/s" messages, "DER_MB/s" megabytes (10^6 octets)
 * of DER read or written, "XML_MB/s" megabytes of XML.
 */
#include <benchmark/benchmark.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "benchCorpus.h"
#include "expatBaseline.h"
#include "syntheticMessages.h"
#include "xerDerConverter.h"

namespace {

using benchmark::Counter;

/* The largest message the tool reads from its input file. */
const size_t kToolMessageLimit = 65536;
/* Sizes of the SET OF scaling runs; 3000 elements still fit into 64 KB. */
const unsigned kSetOfSizes[] = {10, 100, 1000, 3000};

void setRates(benchmark::State& state, const bench::Corpus& corpus) {
   state.counters["msg/s"] = Counter(static_cast<double>(corpus.messages.size()),
                                     Counter::kIsIterationInvariantRate);
   state.counters["DER_MB/s"] = Counter(static_cast<double>(corpus.derBytes()) / 1e6,
                                        Counter::kIsIterationInvariantRate);
   state.counters["XML_MB/s"] = Counter(static_cast<double>(corpus.xmlBytes()) / 1e6,
                                        Counter::kIsIterationInvariantRate);
}

/* As the conversion step does it: a blob copied from the message, a
   converter for the type, the XML text returned. */
void derToXer(benchmark::State& state, const bench::Corpus& corpus) {
   for (auto _ : state) {
      for (const bench::Message& message : corpus.messages) {
         XerDerConverterSimple converter(message.type);
         CACMPT_BLOB der(reinterpret_cast<const unsigned char*>(message.der.data()),
                         static_cast<uint32_t>(message.der.size()));
         std::string xml = converter.toXer(der, false);
         benchmark::DoNotOptimize(xml.data());
      }
   }
   setRates(state, corpus);
}

void xerToDer(benchmark::State& state, const bench::Corpus& corpus) {
   for (auto _ : state) {
      for (const bench::Message& message : corpus.messages) {
         XerDerConverterSimple converter(message.type);
         CACMPT_BLOB der = converter.toDer(std::string(message.xml.data(), message.xml.size()));
         benchmark::DoNotOptimize(der.data);
      }
   }
   setRates(state, corpus);
}

void expatOnly(benchmark::State& state, const bench::Corpus& corpus) {
   for (auto _ : state) {
      for (const bench::Message& message : corpus.messages) {
         long events = bench::parseWithEmptyHandlers(message.xml);
         if (events < 0) state.SkipWithError(("not well-formed: " + message.file).c_str());
         benchmark::DoNotOptimize(events);
      }
   }
   setRates(state, corpus);
}

void registerCorpus(const bench::Corpus& corpus) {
   benchmark::RegisterBenchmark(("DerToXer/" + corpus.name).c_str(), derToXer, corpus);
   benchmark::RegisterBenchmark(("XerToDer/" + corpus.name).c_str(), xerToDer, corpus);
   benchmark::RegisterBenchmark(("Expat/" + corpus.name).c_str(), expatOnly, corpus);
}

std::string readFile(const std::filesystem::path& path) {
   std::ifstream in(path, std::ios::binary);
   if (!in) throw std::runtime_error("cannot read " + path.string());
   return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<bench::Corpus> syntheticCorpora(const std::filesystem::path& root) {
   std::vector<bench::Corpus> corpora;
   std::string crl = readFile(root / "cert/certificatelist_revoked_reasons.der");
   corpora.push_back({"crl-64k",
                      {bench::makeMessage("crl-64k", "CertificateList",
                                          bench::growCertificateList(crl, kToolMessageLimit))}});
   std::string cert = readFile(root / "cert/certificate_rsa_ca_v3.der");
   for (unsigned count : kSetOfSizes) {
      std::string name = "setof-" + std::to_string(count);
      corpora.push_back(
         {name, {bench::makeMessage(name, "Certificate", bench::widenSubject(cert, count))}});
   }
   return corpora;
}

}

int main(int argc, char** argv) {
   if (argc < 2 || argv[1][0] == '-') {
      std::fprintf(stderr, "usage: %s <fixture-root> [benchmark options]\n", argv[0]);
      return 2;
   }
   std::vector<bench::Corpus> corpora;
   try {
      corpora = bench::groupCorpora(bench::loadFixtures(argv[1]));
      for (bench::Corpus& corpus : syntheticCorpora(argv[1])) corpora.push_back(corpus);
   } catch (const std::exception& e) {
      std::fprintf(stderr, "blobxml_bench: %s\n", e.what());
      return 1;
   }
   for (const bench::Corpus& corpus : corpora) registerCorpus(corpus);

   argv[1] = argv[0];
   int benchArgc = argc - 1;
   benchmark::Initialize(&benchArgc, argv + 1);
   if (benchmark::ReportUnrecognizedArguments(benchArgc, argv + 1)) return 2;
   benchmark::RunSpecifiedBenchmarks();
   benchmark::Shutdown();
   return 0;
}
