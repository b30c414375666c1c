/* DER form of schema-less BER octets: one table of inputs with the DER
   expected or the status, the nesting limit, allocation failures, and every
   DER fixture coming back unchanged, both as it is (recognised as DER) and
   wrapped in an indefinite-length element (rewritten). */
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "berEncode.h"
#include "heap_probe.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;

const ASN1OCTET* octets(const std::string& s) {
   return reinterpret_cast<const ASN1OCTET*>(s.data());
}

std::string repeat(const std::string& hexOctet, size_t count) {
   std::string out;
   for (size_t i = 0; i < count; i++) out += hexOctet;
   return out;
}

struct Result {
   int status;
   std::string der;  /* hexadecimal */
   bool sameAsInput; /* the input pointer came back */
};

class DerNormalise : public HeapProbeTest {
 protected:
   /* Normalises the octets; afterwards only the result may still be live. */
   Result normalise(const std::string& input) {
      const ASN1OCTET* der = nullptr;
      ASN1UINT numocts = 0;
      rtErrReset(&ctxt.errInfo);
      Result r{xe_derNormalise(&ctxt, octets(input), ASN1UINT(input.size()), &der, &numocts), "",
               der == octets(input) && numocts == input.size()};
      if (r.status == RTS_OK)
         r.der = testsupport::toHex(std::string(reinterpret_cast<const char*>(der), numocts));
      else EXPECT_EQ(ctxt.errInfo.status, r.status);
      EXPECT_EQ(liveBlocks(), r.status == RTS_OK && !r.sameAsInput ? 1u : 0u) << r.der;
      if (r.status == RTS_OK && !r.sameAsInput) ASN1MEMFREEPTR(&ctxt, der);
      return r;
   }
};

/* SEQUENCE around the contents, with a DER length. */
std::string sequenceOf(const std::string& contents) {
   std::string length(contents.empty() ? 1 : 0, '\0');
   for (size_t n = contents.size(); n != 0; n >>= 8) length.insert(length.begin(), char(n & 0xFF));
   if (contents.size() >= 0x80) length.insert(length.begin(), char(0x80 | length.size()));
   return "\x30" + length + contents;
}

TEST_F(DerNormalise, Table) {
   const struct {
      const char* name;
      std::string ber;
      std::string der; /* hexadecimal, when the status is RTS_OK */
      int status;
   } cases[] = {
      {"no octets", "", "", 0},
      {"DER unchanged", "30 03 02 01 05", "30 03 02 01 05", 0},
      {"several elements", "02 01 01 05 00 80 00", "02 01 01 05 00 80 00", 0},
      /* Lengths (X.690 10.1, 8.1.5). */
      {"non-minimal lengths", "04 81 02 41 42 04 84 00 00 00 01 41", "04 02 41 42 04 01 41", 0},
      {"long form shortened", "04 83 00 00 80" + repeat("AA", 128),
       "04 81 80" + repeat("AA", 128), 0},
      {"indefinite SEQUENCE", "30 80 02 01 05 00 00", "30 03 02 01 05", 0},
      {"nested indefinite", "30 80 31 80 05 00 00 00 A0 80 00 00 00 00",
       "30 06 31 02 05 00 A0 00", 0},
      {"indefinite inside definite", "30 04 30 80 00 00", "30 02 30 00", 0},
      {"indefinite context tag", "A1 80 04 01 41 00 00", "A1 03 04 01 41", 0},
      /* Strings (X.690 10.2). */
      {"segmented OCTET STRING", "24 06 04 01 41 04 01 42", "04 02 41 42", 0},
      {"indefinite segments", "24 80 04 02 41 42 04 01 43 00 00", "04 03 41 42 43", 0},
      {"nested segments", "24 80 24 80 04 01 41 00 00 24 03 04 01 42 00 00", "04 02 41 42", 0},
      {"no segments", "24 80 00 00", "04 00", 0},
      {"UTF8String", "2C 80 04 01 41 04 01 42 00 00", "0C 02 41 42", 0},
      {"GeneralizedTime", "38 80 04 04 32 30 32 34 04 01 5A 00 00", "18 05 32 30 32 34 5A", 0},
      {"BMPString", "3E 08 04 02 00 41 04 02 00 42", "1E 04 00 41 00 42", 0},
      {"ObjectDescriptor", "27 80 04 01 41 04 00 00 00", "07 01 41", 0},
      {"context-tagged segments kept", "A4 80 04 01 41 00 00", "A4 03 04 01 41", 0},
      {"segment of another type", "24 80 0C 01 41 00 00", "", RTS_BAD_TAG},
      {"bit segment in octets", "24 03 03 01 00", "", RTS_BAD_TAG},
      {"primitive indefinite", "04 80 41 00 00", "", RTS_BAD_LENGTH},
      /* BIT STRING (X.690 8.6, 11.2.1). */
      {"bit segments", "23 80 03 02 00 0F 03 02 04 F0 00 00", "03 03 04 0F F0", 0},
      {"last segment's bits cleared", "23 08 03 02 00 AA 03 02 01 FF", "03 03 01 AA FE", 0},
      {"unused bits cleared", "03 02 04 FF", "03 02 04 F0", 0},
      {"empty last segment", "23 07 03 02 00 AA 03 01 00", "03 02 00 AA", 0},
      {"no contents", "03 00", "03 01 00", 0},
      {"no bit segments", "23 80 00 00", "03 01 00", 0},
      {"bits left by a middle segment", "23 08 03 02 04 F0 03 02 00 FF", "", RTS_BAD_VALUE},
      {"unused count above 7", "03 02 08 00", "", RTS_BAD_VALUE},
      {"count without bits", "03 01 05", "", RTS_BAD_LENGTH},
      /* Universal SET (X.690 11.6, the SET OF rule). */
      {"SET sorted", "31 06 02 01 02 02 01 01", "31 06 02 01 01 02 01 02", 0},
      {"SET by encodings", "31 07 04 02 41 42 04 01 43", "31 07 04 01 43 04 02 41 42", 0},
      {"SET items normalised first", "31 80 04 81 01 42 04 01 41 00 00",
       "31 06 04 01 41 04 01 42", 0},
      {"SET duplicates", "31 04 05 00 05 00", "31 04 05 00 05 00", 0},
      {"SEQUENCE, [0] kept unsorted", "30 06 02 01 02 02 01 01 A0 06 02 01 02 02 01 01",
       "30 06 02 01 02 02 01 01 A0 06 02 01 02 02 01 01", 0},
      /* Identifiers (X.690 8.1.2.4.2). */
      {"high tag number", "9F 1F 01 00", "9F 1F 01 00", 0},
      {"leading 80 group", "9F 80 1F 01 00", "9F 1F 01 00", 0},
      {"low number in long form", "BF 05 02 05 00", "A5 02 05 00", 0},
      {"tag number octets run out", "1F 81", "", RTS_BAD_TAG},
      /* Universal primitives whose DER form the tag tells. */
      {"TRUE and FALSE", "01 01 01 01 01 00", "01 01 FF 01 01 00", 0},
      {"BOOLEAN of two octets", "01 02 00 00", "", RTS_BAD_LENGTH},
      {"INTEGER sign repeated", "02 03 00 00 7F 02 02 FF 80", "02 01 7F 02 01 80", 0},
      {"INTEGER sign octet needed", "02 02 00 80 02 02 FF 7F", "02 02 00 80 02 02 FF 7F", 0},
      {"ENUMERATED", "0A 02 00 01", "0A 01 01", 0},
      {"context tags kept", "80 01 01 81 02 00 01", "80 01 01 81 02 00 01", 0},
      {"INTEGER without contents", "02 00", "", RTS_BAD_LENGTH},
      {"NULL with contents", "05 01 00", "", RTS_BAD_LENGTH},
      {"OBJECT IDENTIFIER kept", "06 03 2A 80 01", "06 03 2A 80 01", 0},
      {"constructed INTEGER", "22 03 02 01 01", "", RTS_BAD_TAG},
      {"primitive SEQUENCE", "10 00", "", RTS_BAD_TAG},
      /* Malformed. */
      {"identifier alone", "30", "", RTS_END_OF_DATA},
      {"length octets missing", "04 82 01", "", RTS_END_OF_DATA},
      {"five length octets", "04 85 00 00 00 00 01 41", "", RTS_BAD_LENGTH},
      {"contents cut short", "30 05 02 01", "", RTS_BAD_LENGTH},
      {"item past its SEQUENCE", "30 03 04 05 41 02 01 00", "", RTS_BAD_LENGTH},
      {"indefinite without end", "30 80 02 01 05", "", RTS_END_OF_DATA},
      {"indefinite past its SEQUENCE", "30 03 30 80 00", "", RTS_END_OF_DATA},
      {"end-of-contents in definite", "30 05 02 01 05 00 00", "", RTS_BAD_VALUE},
      {"end-of-contents after an element", "02 01 05 00 00", "", RTS_BAD_VALUE},
      {"tag 0 with contents is no end", "30 80 00 01 41 00 00", "30 03 00 01 41", 0},
   };
   for (const auto& c : cases) {
      const std::string input = testsupport::fromHex(c.ber);
      const std::string expected = testsupport::toHex(testsupport::fromHex(c.der));
      const Result r = normalise(input);
      EXPECT_EQ(r.status, c.status) << c.name;
      EXPECT_EQ(r.der, expected) << c.name;
      EXPECT_EQ(r.sameAsInput, c.status == RTS_OK && expected == testsupport::toHex(input))
         << c.name;
      /* The DER written is recognised as such. */
      EXPECT_TRUE(c.status != RTS_OK || normalise(testsupport::fromHex(expected)).sameAsInput)
         << c.name;
   }
}

/* 256 constructed levels pass, 257 are refused, whether the levels are
   DER, indefinite or segments of a string. */
TEST_F(DerNormalise, NestingLimit) {
   for (unsigned levels : {256u, 257u}) {
      const int expected = levels <= 256 ? RTS_OK : RTS_CONSTRAINT;
      std::string der = testsupport::fromHex("05 00");
      for (unsigned i = 0; i < levels; i++) der = sequenceOf(der);
      const std::string indefinite = repeat("3080", levels) + "0500" + repeat("0000", levels);
      const std::string segments = repeat("2480", levels) + "040141" + repeat("0000", levels);
      EXPECT_EQ(normalise(der).status, expected) << levels;
      const Result rewritten = normalise(testsupport::fromHex(indefinite));
      EXPECT_EQ(rewritten.status, expected) << levels;
      EXPECT_EQ(rewritten.der, expected == RTS_OK ? testsupport::toHex(der) : "") << levels;
      const Result joined = normalise(testsupport::fromHex(segments));
      EXPECT_EQ(joined.status, expected) << levels;
      EXPECT_EQ(joined.der, expected == RTS_OK ? "040141" : "") << levels;
   }
}

/* Null data, and every allocation on the rewriting path failing in turn:
   RTS_NO_MEMORY and nothing left behind, until all succeed. */
TEST_F(DerNormalise, NullDataAndAllocationFailures) {
   const ASN1OCTET* der = nullptr;
   ASN1UINT numocts = 0;
   EXPECT_EQ(xe_derNormalise(&ctxt, nullptr, 3, &der, &numocts), RTS_BAD_VALUE);
   const std::string ber = testsupport::fromHex(
      "31 80 30 80 04 81 01 42 00 00 24 80 04 01 41 04 01 42 00 00 01 01 01 00 00");
   int status = RTS_NO_MEMORY;
   for (int allowed = 0; status == RTS_NO_MEMORY && allowed < 100; allowed++) {
      failAfter(allowed);
      status = normalise(ber).status;
   }
   failAfter(-1);
   EXPECT_EQ(status, RTS_OK);
   EXPECT_EQ(normalise(ber).der,
             testsupport::toHex(testsupport::fromHex("31 0C 01 01 FF 04 02 41 42 30 03 04 01 42")));
}

/* Every fixture is DER and comes back as it is, found so without a copy.
   (The two time-stamp fixtures whose certificate SET OF is out of order
   come back unchanged too: that SET OF is tagged [0] IMPLICIT, which
   cannot be told from other constructed contents without the type.)
   Wrapped in an indefinite-length SEQUENCE, each is rewritten in full and
   must still come out octet for octet. */
TEST_F(DerNormalise, FixturesUnchanged) {
   size_t count = 0;
   for (const auto& entry :
        fs::recursive_directory_iterator(testsupport::sourcePath("tests/fixtures"))) {
      if (entry.path().extension() != ".der") continue;
      const std::string der = testsupport::readFile(entry.path().string());
      const std::string name = entry.path().filename().string();
      const Result asIs = normalise(der);
      EXPECT_EQ(asIs.status, RTS_OK) << name;
      EXPECT_TRUE(asIs.sameAsInput) << name;

      const Result wrapped = normalise("\x30\x80" + der + std::string(2, '\0'));
      EXPECT_EQ(wrapped.status, RTS_OK) << name;
      EXPECT_EQ(wrapped.der, testsupport::toHex(sequenceOf(der))) << name;
      count++;
   }
   EXPECT_GT(count, 100u);
}

}
