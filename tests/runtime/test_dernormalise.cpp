/* DER form of schema-less BER: the rows of der_normalise.txt, allocations
   failing in turn, and every DER fixture as it is and wrapped in BER. */
#include <filesystem>

#include "runtime_test.h"

using namespace bertest;

namespace {

class DerNormalise : public HeapProbeTest {
 protected:
   /* The DER, "=" when the input itself came back (recognised as DER), or
      !STATUS; afterwards only a new result may have been live. */
   std::string normalise(const std::string& input) {
      const ASN1OCTET* in = reinterpret_cast<const ASN1OCTET*>(input.data());
      const ASN1OCTET* der = nullptr;
      ASN1UINT n = 0;
      rtErrReset(&ctxt.errInfo);
      const int stat = xe_derNormalise(&ctxt, in, static_cast<ASN1UINT>(input.size()), &der, &n);
      EXPECT_EQ(stat, ctxt.errInfo.status);
      EXPECT_EQ(stat == RTS_OK && der != in ? 1u : 0u, liveBlocks());
      const std::string out = stat != RTS_OK ? "!" + statusName(stat)
                              : der == in    ? "="
                                             : spaced(der, n);
      if (stat == RTS_OK && der != in) ASN1MEMFREEPTR(&ctxt, der);
      return out;
   }
   std::string normaliseHex(const std::string& text) {
      return normalise(testsupport::fromHex(expand(text)));
   }
};

std::string sequenceOf(const std::string& contents) {
   std::string length(contents.empty() ? 1 : 0, '\0');
   for (size_t n = contents.size(); n != 0; n >>= 8) length.insert(length.begin(), char(n & 0xFF));
   if (contents.size() >= 0x80) length.insert(length.begin(), char(0x80 | length.size()));
   return "\x30" + length + contents;
}

TEST_F(DerNormalise, Table) {
   for (const auto& [number, line] : caseLines("der_normalise.txt")) {
      SCOPED_TRACE("der_normalise.txt:" + std::to_string(number) + ": " + line);
      const std::vector<std::string> field = split(line, '|');
      const std::string der = field[2][0] == '!' ? field[2] : spaced(hex(field[2]));
      EXPECT_EQ(der == spaced(hex(field[1])) ? "=" : der, normaliseHex(field[1]));
      if (der[0] != '!') { EXPECT_EQ("=", normaliseHex(der)); }
   }
}

TEST_F(DerNormalise, NullDataAndAllocationFailures) {
   const ASN1OCTET* der = nullptr;
   ASN1UINT numocts = 0;
   EXPECT_EQ(RTS_BAD_VALUE, xe_derNormalise(&ctxt, nullptr, 3, &der, &numocts));
   std::string result = "!NO_MEMORY";
   for (int allowed = 0; result == "!NO_MEMORY" && allowed < 100; allowed++) {
      failAfter(allowed);
      result = normaliseHex(
          "31 80 30 80 04 81 01 42 00 00 24 80 04 01 41 04 01 42 00 00 01 01 01 00 00");
   }
   EXPECT_EQ("31 0C 01 01 FF 04 02 41 42 30 03 04 01 42", result);
}

/* (A [0] IMPLICIT SET OF out of order in two time-stamp fixtures cannot be
   told from other contents without the type, and so comes back unchanged.) */
TEST_F(DerNormalise, FixturesUnchanged) {
   size_t count = 0;
   for (const auto& entry :
        std::filesystem::recursive_directory_iterator(testsupport::sourcePath("tests/fixtures"))) {
      if (entry.path().extension() != ".der") continue;
      SCOPED_TRACE(entry.path().filename().string());
      const std::string der = testsupport::readFile(entry.path().string());
      EXPECT_EQ("=", normalise(der));
      EXPECT_EQ(spaced(hex(testsupport::toHex(sequenceOf(der)))),
                normalise("\x30\x80" + der + std::string(2, '\0')));
      count++;
   }
   EXPECT_GT(count, 100u);
}

}
