/*
 * libFuzzer harness: the first byte picks the top-level type, the rest is a
 * BER/DER message for DER -> XML (checkDerFuzzInput). A broken round trip
 * aborts with its report, so that libFuzzer keeps the input.
 */
#include <cstdio>
#include <cstdlib>

#include "roundTripOracle.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
   /* Keeps the -t1 step's reports of failed decodes out of the log. */
   if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
   return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
   fuzzoracle::Verdict verdict = fuzzoracle::checkDerFuzzInput(data, size);
   if (!verdict.held) {
      std::fprintf(stderr, "fuzz_der: round trip broken: %s\n", verdict.failure.c_str());
      std::abort();
   }
   return 0;
}
