// The shipped example requests are what their generator script produces; the
// first is the DER PKCS #10 request the demo converts.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using testsupport::readFile;
using testsupport::run;
using testsupport::scratchDir;
using testsupport::sourcePath;
using testsupport::toHex;

TEST(Examples, RequestIsRegeneratedByteForByte) {
   std::string dir = scratchDir("examples-regenerated");
   auto r = run("/bin/bash", "bash", {sourcePath("tests/fixtures/make_examples.sh"), dir});
   ASSERT_EQ(r.status, 0) << r.err;
   for (const char* name : {"request.der", "request_damaged.der"}) {
      EXPECT_EQ(toHex(readFile(dir + "/" + name)), toHex(readFile(sourcePath("examples/") + name)))
         << name;
   }
}

TEST(Examples, RequestIsOneDerSequence) {
   std::string der = readFile(sourcePath("examples/request.der"));
   ASSERT_EQ(der.size(), 389u);
   // SEQUENCE with a two-octet length 0x0181 = 385 covering the rest, then the
   // CertificationRequestInfo SEQUENCE starting with version INTEGER 0.
   EXPECT_EQ(toHex(der.substr(0, 4)), "30820181");
   EXPECT_EQ(toHex(der.substr(4, 6)), "3081EB020100");
}

}
