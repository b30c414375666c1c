/* Property test: random well-formed DER (nested SEQUENCE, SET OF, explicit
   and implicit tags of every class, primitive values of every kind) is
   built by a small front-to-back reference encoder, decoded with the xd_*
   primitives, and encoded again with the xe_* primitives the way generated
   encoders do (back to front, SET OF elements in shuffled order and sorted
   by xe_derCanonicalSort). The result must be the reference octets. */
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "berDecode.h"
#include "berencode_fixture.h"
#include "rtList.h"
#include "rtMemHeap.h"

namespace {

enum class Kind { Bool, Int, Enum, Unsigned, Uint16, BigInt, Null, Oid, OctStr, BitStr,
                  CharStr, Bmp, Univ, Seq, SetOf };
enum class Wrap { None, Explicit, Implicit };

struct Node {
   Kind kind = Kind::Null;
   Wrap wrap = Wrap::None;
   ASN1TAG wrapTag = 0; /* class and number; the form bit is added as needed */
   ASN1TAG strTag = 0;  /* universal tag of a character string */
   ASN1BOOL b = 0;
   ASN1INT i = 0;
   ASN1UINT u = 0;
   ASN1USINT u16 = 0;
   std::string text;    /* big-integer text or character string */
   std::string octs;    /* octet string, bit string data or big-integer contents */
   ASN1UINT numbits = 0;
   ASN1OBJID oid{};
   std::vector<ASN116BITCHAR> bmp;
   std::vector<ASN132BITCHAR> univ;
   std::vector<Node> children;
};

bool isConstructed(Kind k) { return k == Kind::Seq || k == Kind::SetOf; }

/* ---- reference encoder (front to back, straight from X.690) ------------ */

std::string base128(ASN1UINT64 v) {
   std::string out(1, static_cast<char>(v & 0x7F));
   for (v >>= 7; v != 0; v >>= 7) out.insert(out.begin(), static_cast<char>(0x80 | (v & 0x7F)));
   return out;
}

std::string identifier(ASN1TAG tag) {
   char lead = static_cast<char>(((tag >> 24) & 0xE0));
   ASN1UINT number = tag & TM_IDCODE;
   if (number < 31) return std::string(1, static_cast<char>(lead | number));
   return std::string(1, static_cast<char>(lead | 0x1F)) + base128(number);
}

std::string lengthOctets(size_t n) {
   if (n < 128) return std::string(1, static_cast<char>(n));
   std::string out;
   for (; n != 0; n >>= 8) out.insert(out.begin(), static_cast<char>(n & 0xFF));
   return static_cast<char>(0x80 | out.size()) + out;
}

std::string tlv(ASN1TAG tag, const std::string& contents) {
   return identifier(tag) + lengthOctets(contents.size()) + contents;
}

/* X.690 8.3.2: drop a leading octet while it and the next bit agree. */
std::string minimalInteger(std::string octets) {
   while (octets.size() > 1) {
      unsigned char first = static_cast<unsigned char>(octets[0]);
      unsigned char next = static_cast<unsigned char>(octets[1]);
      if ((first == 0x00 && !(next & 0x80)) || (first == 0xFF && (next & 0x80)))
         octets.erase(0, 1);
      else
         break;
   }
   return octets;
}

std::string bigEndian(ASN1UINT64 v, int n) {
   std::string out(static_cast<size_t>(n), '\0');
   for (int k = n - 1; k >= 0; k--, v >>= 8) out[static_cast<size_t>(k)] = static_cast<char>(v & 0xFF);
   return out;
}

ASN1TAG universalTag(const Node& n) {
   switch (n.kind) {
   case Kind::Bool: return ASN_ID_BOOL;
   case Kind::Int: case Kind::Unsigned: case Kind::Uint16: case Kind::BigInt: return ASN_ID_INT;
   case Kind::Enum: return ASN_ID_ENUM;
   case Kind::Null: return ASN_ID_NULL;
   case Kind::Oid: return ASN_ID_OBJID;
   case Kind::OctStr: return ASN_ID_OCTSTR;
   case Kind::BitStr: return ASN_ID_BITSTR;
   case Kind::CharStr: case Kind::Bmp: case Kind::Univ: return n.strTag;
   case Kind::Seq: return TM_CONS | ASN_ID_SEQ;
   case Kind::SetOf: return TM_CONS | ASN_ID_SET;
   }
   return 0;
}

std::string reference(const Node& n);

std::string contents(const Node& n) {
   switch (n.kind) {
   case Kind::Bool: return std::string(1, n.b ? '\xFF' : '\0');
   case Kind::Int: case Kind::Enum:
      return minimalInteger(bigEndian(static_cast<ASN1UINT>(n.i), 4));
   case Kind::Unsigned: return minimalInteger(bigEndian(n.u, 5));
   case Kind::Uint16: return minimalInteger(bigEndian(n.u16, 3));
   case Kind::BigInt: case Kind::OctStr: return n.octs;
   case Kind::Null: return "";
   case Kind::Oid: {
      std::string out = base128(ASN1UINT64{n.oid.arcs[0]} * 40 + n.oid.arcs[1]);
      for (ASN1UINT k = 2; k < n.oid.numarcs; k++) out += base128(n.oid.arcs[k]);
      return out;
   }
   case Kind::BitStr:
      if (n.numbits == 0) return std::string(1, '\0');
      return static_cast<char>((8 - n.numbits % 8) % 8) + n.octs;
   case Kind::CharStr: return n.text;
   case Kind::Bmp: {
      std::string out;
      for (auto c : n.bmp) out += bigEndian(c, 2);
      return out;
   }
   case Kind::Univ: {
      std::string out;
      for (auto c : n.univ) out += bigEndian(c, 4);
      return out;
   }
   case Kind::Seq: case Kind::SetOf: {
      std::string out;
      for (const auto& child : n.children) out += reference(child);
      return out;
   }
   }
   return "";
}

std::string reference(const Node& n) {
   std::string body = contents(n);
   ASN1TAG form = isConstructed(n.kind) ? TM_CONS : 0;
   switch (n.wrap) {
   case Wrap::None: return tlv(universalTag(n), body);
   case Wrap::Explicit: return tlv(n.wrapTag | TM_CONS, tlv(universalTag(n), body));
   case Wrap::Implicit: return tlv(n.wrapTag | form, body);
   }
   return "";
}

bool derLess(const std::string& a, const std::string& b) {
   int cmp = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
   return cmp < 0 || (cmp == 0 && a.size() < b.size());
}

/* ---- random values ------------------------------------------------------ */

class Generator {
 public:
   explicit Generator(unsigned seed) : rng_(seed) {}

   Node node(int depth) {
      Node n;
      bool nest = depth < 4 && pick(10) < 3;
      n.kind = nest ? (pick(2) ? Kind::Seq : Kind::SetOf) : static_cast<Kind>(pick(13));
      fill(n, depth);
      unsigned w = pick(6);
      if (w == 0) n.wrap = Wrap::Explicit;
      if (w == 1) n.wrap = Wrap::Implicit;
      if (n.wrap != Wrap::None) n.wrapTag = randomTag();
      return n;
   }

 private:
   unsigned pick(unsigned n) { return static_cast<unsigned>(rng_() % n); }

   /* Values spread over all magnitudes, not just large ones. */
   ASN1UINT magnitude() {
      unsigned bits = pick(33);
      return bits == 0 ? 0 : static_cast<ASN1UINT>(rng_()) >> (32 - bits);
   }

   std::string randomOctets(size_t n) {
      std::string out(n, '\0');
      for (auto& c : out) c = static_cast<char>(rng_());
      return out;
   }

   size_t stringLength() {
      unsigned r = pick(100);
      if (r == 0) return 16000 + pick(8000); /* crosses the initial buffer size */
      if (r < 10) return 128 + pick(400);    /* long-form lengths */
      return pick(20);
   }

   ASN1TAG randomTag() {
      static const ASN1TAG classes[] = {TM_CTXT, TM_CTXT, TM_APPL, TM_PRIV};
      ASN1TAG number = pick(4) == 0 ? magnitude() & TM_IDCODE : pick(40);
      return classes[pick(4)] | number;
   }

   void fill(Node& n, int depth) {
      switch (n.kind) {
      case Kind::Bool: n.b = static_cast<ASN1BOOL>(pick(2)); break;
      case Kind::Int: case Kind::Enum:
         n.i = static_cast<ASN1INT>(pick(2) ? magnitude() : ~magnitude());
         break;
      case Kind::Unsigned: n.u = magnitude(); break;
      case Kind::Uint16: n.u16 = static_cast<ASN1USINT>(magnitude()); break;
      case Kind::BigInt: n.octs = minimalInteger(randomOctets(1 + pick(40))); break;
      case Kind::Null: break;
      case Kind::Oid: {
         n.oid.arcs[0] = pick(3);
         /* Under arc 2 the combined subidentifier must still fit 32 bits for
            the decoder, which does not check arcs for overflow. */
         n.oid.arcs[1] = n.oid.arcs[0] < 2 ? pick(40) : std::min(magnitude(), 0xFFFFFFFFu - 80);
         n.oid.numarcs = 2 + pick(pick(8) == 0 ? MAX_OID_ARCS - 1 : 10);
         for (ASN1UINT k = 2; k < n.oid.numarcs; k++) n.oid.arcs[k] = magnitude();
         break;
      }
      case Kind::OctStr: n.octs = randomOctets(stringLength()); break;
      case Kind::BitStr: {
         n.numbits = static_cast<ASN1UINT>(pick(200));
         n.octs = randomOctets((n.numbits + 7) / 8);
         if (n.numbits % 8 != 0) /* DER: unused bits are zero */
            n.octs.back() = static_cast<char>(n.octs.back() & (0xFF << (8 - n.numbits % 8)));
         break;
      }
      case Kind::CharStr: {
         static const ASN1TAG tags[] = {ASN_ID_PrintableString, ASN_ID_IA5String,
                                        ASN_ID_UTF8String, ASN_ID_UTCTime};
         n.strTag = tags[pick(4)];
         n.text.resize(stringLength());
         for (auto& c : n.text) c = static_cast<char>(' ' + pick(95));
         break;
      }
      case Kind::Bmp:
         n.strTag = ASN_ID_BMPString;
         n.bmp.resize(pick(30));
         for (auto& c : n.bmp) c = static_cast<ASN116BITCHAR>(rng_());
         break;
      case Kind::Univ:
         n.strTag = ASN_ID_UniversalString;
         n.univ.resize(pick(12));
         for (auto& c : n.univ) c = static_cast<ASN132BITCHAR>(rng_() % 0x110000);
         break;
      case Kind::Seq: case Kind::SetOf: {
         n.children.resize(pick(6));
         for (auto& child : n.children) child = node(depth + 1);
         if (n.kind == Kind::SetOf)
            std::sort(n.children.begin(), n.children.end(), [](const Node& a, const Node& b) {
               return derLess(reference(a), reference(b));
            });
         break;
      }
      }
   }

   std::mt19937 rng_;
};

/* ---- decoding with xd_* ------------------------------------------------- */

int decode(ASN1CTXT* c, const Node& shape, Node& out);

int decodeInner(ASN1CTXT* c, const Node& shape, Node& out, ASN1TagType tt, int len) {
   switch (shape.kind) {
   case Kind::Bool: return xd_boolean(c, &out.b, tt, len);
   case Kind::Int: return xd_integer(c, &out.i, tt, len);
   case Kind::Enum: return xd_enum(c, &out.i, tt, len);
   case Kind::Unsigned: return xd_unsigned(c, &out.u, tt, len);
   case Kind::Uint16: return xd_uint16(c, &out.u16, tt, len);
   case Kind::BigInt: {
      const char* text = nullptr;
      int stat = xd_bigint(c, &text, tt, len);
      if (stat == RTS_OK) out.text = text;
      return stat;
   }
   case Kind::Null: return xd_null(c, tt);
   case Kind::Oid: return xd_objid(c, &out.oid, tt, len);
   case Kind::OctStr: {
      const ASN1OCTET* data = nullptr;
      ASN1UINT n = 0;
      int stat = xd_octstr(c, &data, &n, tt, len);
      if (stat == RTS_OK && n > 0) out.octs.assign(reinterpret_cast<const char*>(data), n);
      return stat;
   }
   case Kind::BitStr: {
      const ASN1OCTET* data = nullptr;
      int stat = xd_bitstr(c, &data, &out.numbits, tt, len);
      if (stat == RTS_OK && out.numbits > 0)
         out.octs.assign(reinterpret_cast<const char*>(data), (out.numbits + 7) / 8);
      return stat;
   }
   case Kind::CharStr: {
      const char* text = nullptr;
      int stat = xd_charstr(c, &text, tt, shape.strTag, len);
      if (stat == RTS_OK) out.text = text;
      return stat;
   }
   case Kind::Bmp: {
      ASN116BitCharString s{0, nullptr};
      int stat = xd_16BitCharStr(c, &s, tt, shape.strTag, len);
      if (stat == RTS_OK && s.nchars > 0) out.bmp.assign(s.data, s.data + s.nchars);
      return stat;
   }
   case Kind::Univ: {
      ASN132BitCharString s{0, nullptr};
      int stat = xd_32BitCharStr(c, &s, tt, shape.strTag, len);
      if (stat == RTS_OK && s.nchars > 0) out.univ.assign(s.data, s.data + s.nchars);
      return stat;
   }
   case Kind::Seq: case Kind::SetOf: {
      if (tt == TAG_EXPLICIT) {
         ASN1TAG tag = 0;
         int stat = xd_tag_len(c, &tag, &len, XD_MODE_ADVANCE);
         if (stat != RTS_OK) return stat;
         if (tag != universalTag(shape)) return RTS_NOT_FOUND;
      }
      ASN1UINT end = c->buffer.byteIndex + static_cast<ASN1UINT>(len);
      out.children.resize(shape.children.size());
      for (size_t k = 0; k < shape.children.size(); k++) {
         int stat = decode(c, shape.children[k], out.children[k]);
         if (stat != RTS_OK) return stat;
      }
      return c->buffer.byteIndex == end ? RTS_OK : RTS_BAD_LENGTH;
   }
   }
   return RTS_BAD_VALUE;
}

/* Decodes into out, which takes shape's kind and tags but only decoded
   values. */
int decode(ASN1CTXT* c, const Node& shape, Node& out) {
   out = Node();
   out.kind = shape.kind;
   out.wrap = shape.wrap;
   out.wrapTag = shape.wrapTag;
   out.strTag = shape.strTag;
   if (shape.wrap == Wrap::None) return decodeInner(c, shape, out, TAG_EXPLICIT, 0);
   ASN1TAG tag = 0;
   int len = 0;
   int stat = xd_tag_len(c, &tag, &len, XD_MODE_ADVANCE);
   if (stat != RTS_OK) return stat;
   bool cons = shape.wrap == Wrap::Explicit || isConstructed(shape.kind);
   if (tag != (shape.wrapTag | (cons ? TM_CONS : 0))) return RTS_NOT_FOUND;
   if (shape.wrap == Wrap::Explicit) return decodeInner(c, shape, out, TAG_EXPLICIT, 0);
   return decodeInner(c, shape, out, TAG_IMPLICIT, len);
}

/* ---- encoding with xe_*, as the generated encoders do ------------------- */

int encode(ASN1CTXT* c, const Node& n, std::mt19937& rng);

int encodeSetOf(ASN1CTXT* c, const Node& n, std::mt19937& rng) {
   /* The value's own element order is arbitrary; DER order comes from the
      sort. */
   std::vector<const Node*> order;
   for (const auto& child : n.children) order.push_back(&child);
   std::shuffle(order.begin(), order.end(), rng);
   Asn1RTSList list;
   rtSListInitEx(c, &list);
   for (size_t k = order.size(); k-- > 0;) {
      int len = encode(c, *order[k], rng);
      if (len < 0) return len;
      auto* descr = static_cast<ASN1BufLocDescr*>(ASN1MALLOC(c, sizeof(ASN1BufLocDescr)));
      xe_getBufLocDescr(c, static_cast<ASN1UINT>(len), descr);
      rtSListAppend(&list, descr);
   }
   return xe_derCanonicalSort(c, &list);
}

int encodeInner(ASN1CTXT* c, const Node& n, ASN1TagType tt, std::mt19937& rng) {
   switch (n.kind) {
   case Kind::Bool: return xe_boolean(c, &n.b, tt);
   case Kind::Int: return xe_integer(c, &n.i, tt);
   case Kind::Enum: return xe_enum(c, &n.i, tt);
   case Kind::Unsigned: return xe_unsigned(c, &n.u, tt);
   case Kind::Uint16: return xe_uint16(c, &n.u16, tt);
   case Kind::BigInt: return xe_bigint(c, n.text.c_str(), tt);
   case Kind::Null: return xe_null(c, tt);
   case Kind::Oid: return xe_objid(c, &n.oid, tt);
   case Kind::OctStr:
      return xe_octstr(c, reinterpret_cast<const ASN1OCTET*>(n.octs.data()),
                       static_cast<ASN1UINT>(n.octs.size()), tt);
   case Kind::BitStr:
      return xe_bitstr(c, reinterpret_cast<const ASN1OCTET*>(n.octs.data()), n.numbits, tt);
   case Kind::CharStr: return xe_charstr(c, n.text.c_str(), tt, n.strTag);
   case Kind::Bmp: {
      ASN116BitCharString s{static_cast<ASN1UINT>(n.bmp.size()),
                            const_cast<ASN116BITCHAR*>(n.bmp.data())};
      return xe_16BitCharStr(c, &s, tt, n.strTag);
   }
   case Kind::Univ: {
      ASN132BitCharString s{static_cast<ASN1UINT>(n.univ.size()),
                            const_cast<ASN132BITCHAR*>(n.univ.data())};
      return xe_32BitCharStr(c, &s, tt, n.strTag);
   }
   case Kind::Seq: case Kind::SetOf: {
      int total = 0;
      if (n.kind == Kind::SetOf) {
         total = encodeSetOf(c, n, rng);
      } else {
         for (size_t k = n.children.size(); k-- > 0;) {
            int len = encode(c, n.children[k], rng);
            if (len < 0) return len;
            total += len;
         }
      }
      if (total < 0 || tt != TAG_EXPLICIT) return total;
      return xe_tag_len(c, universalTag(n), total);
   }
   }
   return RTS_BAD_VALUE;
}

int encode(ASN1CTXT* c, const Node& n, std::mt19937& rng) {
   switch (n.wrap) {
   case Wrap::None: return encodeInner(c, n, TAG_EXPLICIT, rng);
   case Wrap::Explicit:
      return xe_tag_len(c, n.wrapTag | TM_CONS, encodeInner(c, n, TAG_EXPLICIT, rng));
   case Wrap::Implicit: {
      ASN1TAG form = isConstructed(n.kind) ? TM_CONS : 0;
      return xe_tag_len(c, n.wrapTag | form, encodeInner(c, n, TAG_IMPLICIT, rng));
   }
   }
   return RTS_BAD_VALUE;
}

TEST(BerRoundTrip, RandomDerDecodesAndReencodesIdentically) {
   Generator gen(0xB10B);
   std::mt19937 shuffler(7);
   const int kCases = 3000;
   for (int round = 0; round < kCases; round++) {
      /* Always a constructed outermost element, like a real message. */
      Node value;
      do value = gen.node(0); while (!isConstructed(value.kind) && value.wrap != Wrap::Explicit);
      std::string der = reference(value);

      ASN1CTXT dec;
      ASSERT_EQ(rtInitContext(&dec, nullptr), RTS_OK);
      ASSERT_EQ(xd_setp(&dec, reinterpret_cast<const ASN1OCTET*>(der.data()),
                        static_cast<int>(der.size())), RTS_OK) << "round " << round;
      Node decoded;
      int stat = decode(&dec, value, decoded);
      EXPECT_EQ(stat, RTS_OK) << "round " << round;
      EXPECT_EQ(dec.buffer.byteIndex, der.size()) << "round " << round;

      /* Small buffers make growth happen in the middle of elements. */
      EncodeContext enc(round % 3 == 0 ? static_cast<int>(1 + round % 64) : 0);
      int len = stat == RTS_OK ? encode(enc.get(), decoded, shuffler) : stat;
      EXPECT_EQ(len, static_cast<int>(der.size())) << "round " << round;
      EXPECT_EQ(enc.hex(), testsupport::toHex(der)) << "round " << round;
      rtFreeContext(&dec);
      if (HasFailure()) break;
   }
}

}
