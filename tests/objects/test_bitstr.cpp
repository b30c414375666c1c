// Bit-set class: the cases of bitstr_cases.txt (operations -> octets, bit
// count and status), then growth, copies and re-pointing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "case_file.h"
#include "ASN1CBitStr.h"
#include "rtContext.h"
#include "rtMemHeap.h"
#include "test_support.h"

namespace {

using Octets = std::vector<ASN1OCTET>;

std::string hex(const ASN1OCTET* data, size_t count) {
   return testsupport::toHex(std::string(reinterpret_cast<const char*>(data), count));
}

// The octets the object uses, read through getBytes.
std::string used(ASN1CBitStr& bits) {
   Octets out(static_cast<size_t>(bits.size()) + 1);
   EXPECT_EQ(bits.getBytes(out.data(), bits.size()), 0);
   return hex(out.data(), static_cast<size_t>(bits.size()));
}

// Applies one operation; queries append their answer to `shown`.
int apply(ASN1CBitStr& bits, const casefile::Words& w, std::string& shown) {
   const std::string& op = w[0];
   auto n = [&](size_t i) { return static_cast<ASN1UINT>(std::stoul(w.at(i))); };
   const bool logical = op == "and" || op == "or" || op == "xor" || op == "andnot";
   const std::string octets = logical && w[1] != "~" ? testsupport::fromHex(w[1]) : "";
   const ASN1OCTET* data =
       logical && w[1] == "~" ? nullptr : reinterpret_cast<const ASN1OCTET*>(octets.data());
   int answer = 0;
   Octets out(8, 0xEE);
   if (op == "set") return w.size() > 2 ? bits.set(n(1), n(2)) : bits.set(n(1));
   if (op == "clear") return w.size() > 2 ? bits.clear(n(1), n(2)) : bits.clear(n(1));
   if (op == "invert") return w.size() > 2 ? bits.invert(n(1), n(2)) : bits.invert(n(1));
   if (op == "and") return bits.doAnd(data, n(2));
   if (op == "or") return bits.doOr(data, n(2));
   if (op == "xor") return bits.doXor(data, n(2));
   if (op == "andnot") return bits.doAndNot(data, n(2));
   if (op == "shl") return bits.shiftLeft(n(1));
   if (op == "shr") return bits.shiftRight(n(1));
   if (op == "clearall") {
      bits.clear();
      return RTS_OK;
   }
   if (op == "get") answer = bits.get(n(1));
   if (op == "card") answer = static_cast<int>(bits.cardinality());
   if (op == "size") answer = bits.size();
   if (op == "len") answer = static_cast<int>(bits.length());
   if (op == "unused") answer = bits.unusedBitsInLastUnit();
   if (op == "bytes") answer = bits.getBytes(out.data(), static_cast<int>(n(1)));
   if (op == "range") answer = bits.get(n(1), n(2), out.data(), static_cast<int>(n(3)));
   if (answer < 0) return answer;
   const bool octetAnswer = op == "bytes" || op == "range";
   shown +=
       " =" + (octetAnswer ? hex(out.data(), n(op == "bytes" ? 1 : 3)) : std::to_string(answer));
   return RTS_OK;
}

TEST(BitStr, CaseFile) {
   casefile::forEach("objects/bitstr_cases.txt", [&](const casefile::Case& c) {
      const casefile::Words& make = c.steps[0];
      ASN1CtxtPtr context(new ASN1Context());
      const std::string initial = make[0] == "count" ? "" : testsupport::fromHex(make[1]);
      Octets caller(initial.begin(), initial.end());
      ASN1UINT numbits = make[0] == "count" ? 0 : static_cast<ASN1UINT>(std::stoul(make[2]));
      ASN1TDynBitStr value{numbits, caller.empty() ? nullptr : caller.data()};
      std::unique_ptr<ASN1CBitStr> bits(
          make[0] == "bounded"
              ? new ASN1CBitStr(context, caller.data(), numbits, std::stoul(make[3]))
          : make[0] == "dyn"
              ? new ASN1CBitStr(context, value)
              : new ASN1CBitStr(context, static_cast<ASN1UINT>(std::stoul(make[1]))));
      std::string answers;
      int stat = RTS_OK;
      for (size_t i = 1; i < c.steps.size() && stat == RTS_OK; i++)
         stat = apply(*bits, c.steps[i], answers);
      const bool bounded = make[0] == "bounded";
      const ASN1TDynBitStr view = *bits;
      if (!bounded) {
         EXPECT_EQ(view.numbits, bits->length()) << "the value's bit count follows";
      }
      EXPECT_EQ((bounded ? hex(caller.data(), caller.size()) : used(*bits)) + "/" +
                   std::to_string(bounded ? numbits : bits->length()) + answers,
                c.expected.at(0));
      const int status = casefile::statusAt(c, 1);
      EXPECT_EQ(stat, status);
      EXPECT_EQ(context->getPtr()->errInfo.status, status);
   });
}

TEST(BitStr, GrowthCopiesAndRepointing) {
   ASN1CtxtPtr context(new ASN1Context());
   ASN1OCTET callers[2] = {0xA5, 0xF0}, data[2] = {0xC0, 0x00};
   ASN1TDynBitStr value = {12, callers};
   ASN1CBitStr grown(context, value);
   ASSERT_EQ(grown.set(8 * 1026), 0);
   ASSERT_EQ(grown.set(8 * 1030), 0);
   EXPECT_EQ(hex(value.data, 2) + hex(value.data + 1026, 5), "A5F08000000080")
       << "moved into the heap";
   EXPECT_EQ(hex(callers, 2), "A5F0");
   ASN1TDynBitStr own = grown;
   EXPECT_EQ(grown.doAnd(own.data, 8), RTS_BAD_ARGUMENT) << "its own octets";
   ASN1CBitStr orphan(static_cast<ASN1Context*>(nullptr), 0u);
   EXPECT_EQ(orphan.set(3), RTS_NO_MEMORY) << "without a context nothing can grow";

   ASN1UINT numbits = 2;
   ASN1CBitStr bounded(context, data, numbits, 16), copy(bounded), extendable(bounded, 1);
   EXPECT_EQ(copy.set(16), RTS_BAD_LENGTH) << "same maximum and capacity";
   EXPECT_EQ(copy.set(9), 0);
   EXPECT_EQ(used(copy) + "/" + hex(data, 2), "C040/C000") << "the source is untouched";
   EXPECT_EQ(extendable.set(8000), 0) << "unbounded now";
   ASN1TDynBitStr* heapCopy = extendable;
   EXPECT_EQ(hex(heapCopy->data, 1) + "/" + std::to_string(heapCopy->numbits), "C0/8001");
   EXPECT_NE(heapCopy->data, static_cast<ASN1TDynBitStr>(extendable).data);

   ASN1OCTET other[2] = {0xFF, 0xFF};
   bounded.init(other, numbits = 12, 16);
   EXPECT_EQ(bounded.clear(0, 8), 0);
   EXPECT_EQ(hex(other, 2) + "/" + std::to_string(numbits), "00FF/16")
       << "re-pointing clears nothing";
   ASN1OCTET full[1] = {0xFF};
   ASN1TDynBitStr dynValue = {3, full};
   bounded.init(dynValue);
   EXPECT_EQ(bounded.set(30), 0);
   EXPECT_EQ(hex(dynValue.data, 4) + "/" + std::to_string(dynValue.numbits), "FF000002/31");
}

}
