/* DER SET OF ordering: elements are encoded from the SET OF's tail to its
   head, located with xe_getBufLocDescr and reordered by
   xe_derCanonicalSort. */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "berencode_fixture.h"
#include "rtList.h"
#include "rtMemHeap.h"

namespace {

/* Encodes a SET OF whose elements have the given encodings (in value
   order), the way a generated encoder does, and returns the sort's result.
   The list is checked to be emptied by the sort. */
int encodeSetOf(EncodeContext& enc, const std::vector<std::string>& elements) {
   ASN1CTXT* ctxt = enc.get();
   Asn1RTSList list;
   rtSListInitEx(ctxt, &list);
   for (size_t i = elements.size(); i-- > 0;) {
      const std::string& e = elements[i];
      int len = xe_memcpy(ctxt, reinterpret_cast<const ASN1OCTET*>(e.data()),
                          static_cast<ASN1UINT>(e.size()));
      if (len < 0) return len;
      auto* descr = static_cast<ASN1BufLocDescr*>(ASN1MALLOC(ctxt, sizeof(ASN1BufLocDescr)));
      xe_getBufLocDescr(ctxt, static_cast<ASN1UINT>(len), descr);
      rtSListAppend(&list, descr);
   }
   int total = xe_derCanonicalSort(ctxt, &list);
   EXPECT_EQ(list.count, 0u);
   EXPECT_EQ(list.head, nullptr);
   return total;
}

std::vector<std::string> fromHexList(const std::vector<const char*>& items) {
   std::vector<std::string> out;
   for (const char* item : items) out.push_back(testsupport::fromHex(item));
   return out;
}

struct SortCase {
   const char* name;
   std::vector<const char*> elements;
   const char* sorted;
};

TEST(BerEncodeSetOf, DerOrder) {
   const SortCase cases[] = {
      {"contents decide", {"04 01 02", "04 01 01"}, "04 01 01 04 01 02"},
      {"length decides", {"30 02 05 00", "30 01 05"}, "30 01 05 30 02 05 00"},
      {"tag decides", {"0C 01 41", "02 01 7F"}, "02 01 7F 0C 01 41"},
      {"equal encodings", {"04 01 01", "04 01 01"}, "04 01 01 04 01 01"},
      {"already in order", {"02 01 01", "02 01 02", "02 01 03"}, "02 01 01 02 01 02 02 01 03"},
      {"reversed", {"02 01 03", "02 01 02", "02 01 01"}, "02 01 01 02 01 02 02 01 03"},
      {"prefix first", {"AA BB", "AA"}, "AA AA BB"},
      {"single", {"05 00"}, "05 00"},
      {"duplicates among others",
       {"02 01 05", "02 01 01", "02 01 05", "02 01 00"},
       "02 01 00 02 01 01 02 01 05 02 01 05"},
      {"unsigned octet order", {"04 01 80", "04 01 7F"}, "04 01 7F 04 01 80"},
   };
   for (const auto& c : cases) {
      EncodeContext enc;
      std::vector<std::string> elements = fromHexList(c.elements);
      size_t total = 0;
      for (const auto& e : elements) total += e.size();
      EXPECT_EQ(encodeSetOf(enc, elements), static_cast<int>(total)) << c.name;
      EXPECT_EQ(enc.hex(), H(c.sorted)) << c.name;
   }
}

TEST(BerEncodeSetOf, EmptyListWritesNothing) {
   EncodeContext enc;
   EXPECT_EQ(encodeSetOf(enc, {}), 0);
   EXPECT_EQ(xe_tag_len(enc.get(), 0x20000011, 0), 2);
   EXPECT_EQ(enc.hex(), "3100");
   EXPECT_EQ(xe_derCanonicalSort(enc.get(), nullptr), 0);
}

TEST(BerEncodeSetOf, HeaderGoesInFrontOfSortedElements) {
   EncodeContext enc;
   const ASN1OCTET tail[] = {0x05, 0x00};
   ASSERT_EQ(xe_memcpy(enc.get(), tail, 2), 2); /* something written earlier */
   int total = encodeSetOf(enc, fromHexList({"02 01 09", "01 01 FF"}));
   ASSERT_EQ(total, 6);
   EXPECT_EQ(xe_tag_len(enc.get(), 0x20000011, total), 8);
   EXPECT_EQ(enc.hex(), H("31 06 01 01 FF 02 01 09 05 00"));
}

bool derLess(const std::string& a, const std::string& b) {
   size_t common = std::min(a.size(), b.size());
   int cmp = std::memcmp(a.data(), b.data(), common);
   return cmp < 0 || (cmp == 0 && a.size() < b.size());
}

TEST(BerEncodeSetOf, RandomSetsMatchReferenceOrder) {
   std::mt19937 rng(20240611);
   for (int round = 0; round < 300; round++) {
      std::vector<std::string> elements(rng() % 40);
      for (auto& e : elements) {
         /* Few distinct octets so that shared prefixes and equal
            encodings are common. */
         e.resize(1 + rng() % 6);
         for (auto& ch : e) ch = static_cast<char>(0x7E + rng() % 4);
      }
      std::vector<std::string> expected = elements;
      std::sort(expected.begin(), expected.end(), derLess);
      std::string joined;
      for (const auto& e : expected) joined += e;

      EncodeContext enc;
      EXPECT_EQ(encodeSetOf(enc, elements), static_cast<int>(joined.size()));
      ASSERT_EQ(enc.bytes(), joined) << "round " << round;
   }
}

TEST(BerEncodeSetOf, ElementsSpanningBufferGrowth) {
   /* Five 6000-octet elements outgrow a 16384-octet buffer twice over; the
      end-relative locations must survive. */
   std::vector<std::string> elements;
   for (char fill : {'c', 'a', 'e', 'b', 'd'}) elements.push_back(std::string(6000, fill));
   EncodeContext enc;
   EXPECT_EQ(encodeSetOf(enc, elements), 30000);
   std::string expected;
   for (char fill : {'a', 'b', 'c', 'd', 'e'}) expected += std::string(6000, fill);
   EXPECT_EQ(enc.bytes(), expected);
}

}
