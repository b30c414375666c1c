/* Big integers: the rows of bigint.txt, and lent work areas; nothing may be
   left in the heap. */
#include <cctype>
#include <cstring>

#include "heap_probe.h"
#include "runtime_test.h"
#include "rtBigInt.h"

using namespace bertest;

namespace {

/* The text of the octet form: digits parsed in one radix and printed in
   the other, "0x" before hexadecimal, or the status. */
std::string viaOctets(ASN1CTXT* c, const std::string& digits, int from, int to) {
   ASN1BigInt n;
   rtBigIntInit(&n);
   char printed[5000] = "0x";
   int stat = rtBigIntSetStr(c, &n, digits.c_str(), from);
   if (stat == RTS_OK) stat = rtBigIntToString(c, &n, to, printed + (to == 16 ? 2 : 0), 4990);
   rtBigIntFree(c, &n);
   return stat == RTS_OK ? printed : statusName(stat);
}

/* Hexadecimal digits to decimal text, or decimal digits (of which the one
   after the length must not be read) to 0x text, or the status. */
std::string straight(ASN1CTXT* c, const std::string& digits, bool fromHex, int areaSize) {
   char area[5000];
   char *text = nullptr, *block = nullptr;
   const std::string padded = digits + "7";
   const int got = fromHex ? rtBigIntHexToDecimal(c, digits.c_str(), area, areaSize, &text, &block)
                           : rtBigIntDecimalToHex(c, padded.data(), digits.size(), &text);
   if (got < 0) return statusName(got);
   const std::string out = fromHex ? std::string(text, static_cast<size_t>(got)) : text;
   rtMemHeapFreePtr(&c->typeMemHeap, fromHex ? block : text);
   return out;
}

class BigInt : public HeapProbeTest {
 protected:
   void TearDown() override {
      EXPECT_EQ(0u, liveBlocks()) << "heap blocks left";
      HeapProbeTest::TearDown();
   }

   /* A straight conversion, which must give what the octet form gives and
      record the status it returns. */
   std::string checked(const std::string& digits, bool fromHex, int areaSize) {
      rtErrReset(&ctxt.errInfo);
      const std::string out = straight(&ctxt, digits, fromHex, areaSize);
      if (std::isupper(out[0])) { EXPECT_EQ(out, statusName(ctxt.errInfo.status)); }
      EXPECT_EQ(viaOctets(&ctxt, digits, fromHex ? 16 : 10, fromHex ? 10 : 16), out);
      return out;
   }

   /* The outcome of one call, as bigint.txt writes it. */
   std::string call(const std::string& op, const std::string& text, const std::string& arg) {
      if (op == "decimal") return checked(text, true, std::stoi(arg));
      if (op == "hex") return checked(text, false, 0);
      if (op == "compare")
         return std::to_string(
             rtBigIntStrCompare(&ctxt, text.c_str(), arg == "null" ? nullptr : arg.c_str()));
      ASN1BigInt n;
      rtBigIntInit(&n);
      rtErrReset(&ctxt.errInfo);
      const int radix = arg.empty() ? 0 : std::stoi(arg);
      int stat = rtBigIntSetStr(&ctxt, &n, text.c_str(), op == "parse" ? radix : 0);
      std::string out = stat != RTS_OK ? statusName(stat)
                                       : std::to_string(n.sign) + " " + spaced(n.mag, n.numocts);
      ASN1OCTET octets[300];
      char printed[5000] = "";
      const int len = op == "octets" ? rtBigIntGetData(&ctxt, &n, octets, sizeof octets) : 0;
      if (op == "octets") {
         EXPECT_EQ(RTS_VALUE_TOO_LONG, rtBigIntGetData(&ctxt, &n, octets, len - 1));
      }
      if (op == "octets")
         out = len == rtBigIntGetDataLen(&n) ? spaced(octets, len) : "length differs";
      if (op == "digits") out = statusName(rtBigIntDigitsNum(&n, radix));
      if (op == "print" || op == "room")
         stat = rtBigIntToString(&ctxt, &n, radix, printed, sizeof printed);
      if (op == "print") out = stat == RTS_OK ? printed : statusName(stat);
      if (op == "print" && radix == 10 && text.rfind("0x", 0) == 0) {
         EXPECT_EQ(out, checked(text.substr(2), true, sizeof printed));
      }
      const int needed = static_cast<int>(std::strlen(printed)) + 1;
      if (op == "room") out = std::to_string(needed - 1);
      if (op == "room" &&
          (rtBigIntToString(&ctxt, &n, radix, printed, needed) != RTS_OK ||
           rtBigIntToString(&ctxt, &n, radix, printed, needed - 1) != RTS_VALUE_TOO_LONG))
         out = "room is not " + out;
      if (stat != RTS_OK) { EXPECT_EQ(stat, ctxt.errInfo.status); }
      rtBigIntFree(&ctxt, &n);
      return trim(out);
   }
};

std::string unquoted(const std::string& text) {
   return text[0] == '"' ? text.substr(1, text.size() - 2) : text;
}

TEST_F(BigInt, Table) {
   for (const auto& [number, line] : caseLines("bigint.txt")) {
      SCOPED_TRACE("bigint.txt:" + std::to_string(number) + ": " + line);
      const std::vector<std::string> field = split(line, '|');
      EXPECT_EQ(field[3], call(field[0], unquoted(field[1]), unquoted(field[2])));
   }
}

/* A lent magnitude area is used while large enough, then a heap block that
   later values reuse; freeing gives back only the heap block. */
TEST_F(BigInt, LentWorkArea) {
   ASN1OCTET area[4];
   ASN1BigInt n{0, area, 0, sizeof area, 0};
   ASSERT_EQ(RTS_OK, rtBigIntSetStr(&ctxt, &n, "16777215", 10) +
                         rtBigIntSetStr(&ctxt, &n, "0x7fffffff", 0));
   EXPECT_EQ(area, n.mag);  // eight decimal digits reserve four octets
   ASSERT_EQ(RTS_OK, rtBigIntSetStr(&ctxt, &n, "4294967296", 10));
   ASN1OCTET* grown = n.mag;
   ASSERT_EQ(RTS_OK, rtBigIntSetStr(&ctxt, &n, "0x0102", 0));
   EXPECT_EQ(grown, n.mag);
   rtBigIntFree(&ctxt, &n);
   n = ASN1BigInt{0, area, 0, sizeof area, 0};
   ASSERT_EQ(RTS_OK, rtBigIntSetStr(&ctxt, &n, "-300", 0));
   rtBigIntFree(&ctxt, &n);
   EXPECT_EQ(area, n.mag);
}

/* Numbers whose work area and text both go to the heap: under every
   shortage the straight conversions fail with NO_MEMORY and leave nothing
   behind, and once the heap gives enough they produce the text the octet
   form does. */
class BigIntShortage : public HeapProbeTest {};

TEST_F(BigIntShortage, LongNumbers) {
   for (const bool fromHex : {true, false}) {
      const std::string digits = fromHex ? "8" + std::string(1199, '3') : std::string(1300, '7');
      std::string result = statusName(RTS_NO_MEMORY);
      int allowed = 0;
      for (; result == statusName(RTS_NO_MEMORY) && allowed < 10; ++allowed) {
         failAfter(allowed);
         result = straight(&ctxt, digits, fromHex, 1002);
         const auto* heap = static_cast<ASN1MemHeap*>(ctxt.typeMemHeap);
         EXPECT_TRUE(heap == nullptr || heap->head == nullptr) << "blocks left behind";
      }
      failAfter(-1);
      EXPECT_GT(allowed, 2) << "the work area and the text did not both come from the heap";
      EXPECT_EQ(viaOctets(&ctxt, digits, fromHex ? 16 : 10, fromHex ? 10 : 16), result);
   }
}

}
