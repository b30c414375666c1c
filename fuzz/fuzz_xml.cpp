/*
 * libFuzzer harness: the first byte picks the top-level type, the rest is
 * an XML document for XML -> DER (checkXmlFuzzInput). A broken round trip
 * aborts with its report, so that libFuzzer keeps the input.
 */
#include <cstdio>
#include <cstdlib>

#include "roundTripOracle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
   fuzzoracle::Verdict verdict = fuzzoracle::checkXmlFuzzInput(data, size);
   if (!verdict.held) {
      std::fprintf(stderr, "fuzz_xml: round trip broken: %s\n", verdict.failure.c_str());
      std::abort();
   }
   return 0;
}
