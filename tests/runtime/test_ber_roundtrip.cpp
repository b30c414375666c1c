/* Property test: random nestings of the vector table's values (SEQUENCE,
   SET OF, tags of every class) encoded as generated encoders do (SET OF
   shuffled, then sorted; small buffers growing mid-element) decode and
   encode again to the same octets. */
#include <algorithm>
#include <random>

#include "runtime_test.h"

using namespace bertest;

namespace {

struct Node {
   std::string type; /* a primitive, SEQUENCE or SET OF */
   std::string value;
   ASN1TAG wrapTag = 0; /* class and number of an explicit or implicit tag, else 0 */
   bool explicitWrap = false;
   std::vector<Node> children;
   bool constructed() const { return type == "SEQUENCE" || type == "SET OF"; }
   ASN1TagType tagging() const {
      return wrapTag != 0 && !explicitWrap ? TAG_IMPLICIT : TAG_EXPLICIT;
   }
   ASN1TAG outerTag() const { return wrapTag | (explicitWrap || constructed() ? TM_CONS : 0); }
   ASN1TAG universal() const { return TM_CONS | (type == "SEQUENCE" ? ASN_ID_SEQ : ASN_ID_SET); }
};

int encode(ASN1CTXT* c, const Node& n, std::mt19937& rng) {
   int len = n.constructed() ? 0 : codec(n.type, c, n.tagging(), 0, nullptr, n.value);
   std::vector<const Node*> order;
   for (const Node& child : n.children) order.push_back(&child);
   if (n.type == "SET OF") std::shuffle(order.begin(), order.end(), rng);
   Asn1RTSList list;
   rtSListInitEx(c, &list);
   for (size_t k = order.size(); k-- > 0 && len >= 0;) {
      const int childLen = encode(c, *order[k], rng);
      len = childLen < 0 ? childLen : len + childLen;
      if (childLen >= 0 && n.type == "SET OF") {
         EXPECT_EQ(RTS_OK, xe_addBufLocDescr(c, &list, static_cast<ASN1UINT>(childLen)));
      }
   }
   if (n.type == "SET OF" && len >= 0) len = xe_derCanonicalSort(c, &list);
   if (n.constructed() && n.tagging() == TAG_EXPLICIT) len = xe_tag_len(c, n.universal(), len);
   return n.wrapTag == 0 ? len : xe_tag_len(c, n.outerTag(), len);
}

std::string encoded(const Node& n, std::mt19937& rng, int bufferSize) {
   EncodeContext enc(bufferSize);
   EXPECT_EQ(static_cast<int>(enc.length()), encode(enc.get(), n, rng));
   return enc.bytes();
}

/* Decodes into out, which takes n's shape with the values read. */
int decode(ASN1CTXT* c, const Node& n, Node& out) {
   out = n;
   ASN1TAG tag = n.outerTag();
   int len = 0, stat = RTS_OK;
   if (n.wrapTag != 0) stat = xd_tag_len(c, &tag, &len, XD_MODE_ADVANCE);
   if (stat != RTS_OK || tag != n.outerTag()) return stat != RTS_OK ? stat : RTS_NOT_FOUND;
   if (!n.constructed()) return codec(n.type, c, n.tagging(), len, &out.value);
   if (n.tagging() == TAG_EXPLICIT) stat = xd_tag_len(c, &tag, &len, XD_MODE_ADVANCE);
   if (stat != RTS_OK || (n.tagging() == TAG_EXPLICIT && tag != n.universal()))
      return stat != RTS_OK ? stat : RTS_NOT_FOUND;
   const ASN1UINT end = c->buffer.byteIndex + static_cast<ASN1UINT>(len);
   for (size_t k = 0; k < n.children.size() && stat == RTS_OK; k++)
      stat = decode(c, n.children[k], out.children[k]);
   return stat == RTS_OK && c->buffer.byteIndex != end ? RTS_BAD_LENGTH : stat;
}

struct Generator {
   std::mt19937 rng;
   std::vector<std::pair<std::string, std::string>> leaves; /* type and value of each DER row */
   unsigned pick(unsigned n) { return static_cast<unsigned>(rng() % n); }

   Node node(int depth) {
      Node n;
      const bool nest = depth < 4 && pick(10) < 3;
      const auto& leaf = leaves[pick(static_cast<unsigned>(leaves.size()))];
      n.type = nest ? (pick(2) ? "SEQUENCE" : "SET OF") : leaf.first;
      n.value = nest ? "" : leaf.second;
      n.children.resize(nest ? pick(6) : 0);
      for (Node& child : n.children) child = node(depth + 1);
      if (n.type == "SET OF") sortByEncoding(n.children);
      static const ASN1TAG classes[] = {TM_CTXT, TM_CTXT, TM_APPL, TM_PRIV};
      const unsigned wrap = pick(6);
      if (wrap < 2)
         n.wrapTag =
             classes[pick(4)] | (pick(4) == 0 ? static_cast<ASN1TAG>(rng()) & TM_IDCODE : pick(40));
      n.explicitWrap = wrap == 0;
      return n;
   }

   /* DER order, so that a SET OF decodes in the order generated. */
   void sortByEncoding(std::vector<Node>& nodes) {
      std::vector<std::pair<std::string, Node>> keyed;
      for (const Node& n : nodes) keyed.emplace_back(encoded(n, rng, 0), n);
      std::stable_sort(keyed.begin(), keyed.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
      for (size_t k = 0; k < nodes.size(); k++) nodes[k] = keyed[k].second;
   }
};

TEST(BerRoundTrip, RandomValuesDecodeAndReencodeIdentically) {
   Generator gen{std::mt19937(0xB10B), {}};
   for (const auto& [number, line] : caseLines("ber_vectors.txt")) {
      const std::vector<std::string> field = split(line, '|');
      if (field[0].find('[') == std::string::npos && field[1][0] != '>' && field[2] != "-")
         gen.leaves.emplace_back(field[0], expand(field[1]));
   }
   for (int round = 0; round < 3000; round++) {
      SCOPED_TRACE("round " + std::to_string(round));
      Node value;
      do value = gen.node(0); while (!value.constructed() && !value.explicitWrap);
      const std::string der = encoded(value, gen.rng, 0);
      ASN1CTXT dec;
      ASSERT_EQ(RTS_OK, rtInitContext(&dec, nullptr));
      ASSERT_EQ(RTS_OK, xd_setp(&dec, reinterpret_cast<const ASN1OCTET*>(der.data()),
                                static_cast<int>(der.size())));
      Node decoded;
      ASSERT_EQ(RTS_OK, decode(&dec, value, decoded));
      EXPECT_EQ(der.size(), dec.buffer.byteIndex);
      ASSERT_EQ(der, encoded(decoded, gen.rng, round % 3 == 0 ? 1 + round % 64 : 0));
      rtFreeContext(&dec);
   }
}

}
