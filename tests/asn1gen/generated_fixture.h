/* Tests of the code that asn1gen generates from its test module
   (module/GenTest_Base.asn, module/GenTest_Messages.asn): values go through
   the generated functions on a context whose heap hooks count live blocks,
   and are written as hexadecimal text for comparison. */
#ifndef BLOBXML_TESTS_ASN1GEN_GENERATED_FIXTURE_H
#define BLOBXML_TESTS_ASN1GEN_GENERATED_FIXTURE_H

#include <string>

#include "../runtime/heap_probe.h"
#include "berDecode.h"
#include "berEncode.h"
#include "gentest.h"
#include "test_support.h"

/* Hexadecimal text as the tests compare it: upper case, no blanks. */
inline std::string H(const std::string& spaced) {
   return testsupport::toHex(testsupport::fromHex(spaced));
}

/* One element: tag, definite length (short or long form) and contents. */
inline std::string tlv(const std::string& tag, const std::string& contents) {
   const size_t n = testsupport::fromHex(contents).size();
   std::string length;
   if (n < 128) {
      length = std::string(1, static_cast<char>(n));
   } else {
      for (size_t rest = n; rest > 0; rest >>= 8) length.insert(0, 1, static_cast<char>(rest & 0xFF));
      length.insert(0, 1, static_cast<char>(0x80 | length.size()));
   }
   return H(tag) + testsupport::toHex(length) + H(contents);
}

inline std::string hexOf(const ASN1OCTET* data, size_t numocts) {
   return testsupport::toHex(std::string(reinterpret_cast<const char*>(data), numocts));
}

/* Contents octets of the arcs below 1.3.6.1.4.1.55555 (id-gentest). */
inline std::string gentestOid(const std::string& tail) {
   const std::string contents = "2B 06 01 04 01 83 B2 03 " + tail;
   return tlv("06", contents);
}

inline ASN1OBJID oidOf(std::initializer_list<ASN1UINT> arcs) {
   ASN1OBJID oid{};
   for (ASN1UINT arc : arcs) oid.arcs[oid.numarcs++] = arc;
   return oid;
}

class GeneratedTest : public HeapProbeTest {
 protected:
   /* The DER that a generated encoder writes, or "status <n>". */
   template <class Value>
   std::string der(int (*encode)(ASN1CTXT*, Value*, ASN1TagType), Value& value) {
      if (xe_setp(&ctxt, nullptr, 0) != RTS_OK) return "no buffer";
      const int len = encode(&ctxt, &value, TAG_EXPLICIT);
      if (len < 0) return status(len);
      return hexOf(xe_getp(&ctxt), static_cast<size_t>(len));
   }

   /* Decodes hexadecimal text with a generated decoder; the octets stay
      alive with the fixture. */
   template <class Value>
   int decode(int (*decoder)(ASN1CTXT*, Value*, ASN1TagType, int), Value& value,
              const std::string& hexText) {
      input = testsupport::fromHex(hexText);
      const int stat = xd_setp(&ctxt, reinterpret_cast<const ASN1OCTET*>(input.data()),
                               static_cast<int>(input.size()));
      return stat != RTS_OK ? stat : decoder(&ctxt, &value, TAG_EXPLICIT, 0);
   }

   static std::string status(int stat) { return "status " + std::to_string(stat); }

   std::string input;
};

#endif
