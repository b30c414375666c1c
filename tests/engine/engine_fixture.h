/* Engine tests run on a context whose heap hooks count live blocks; the
   fixture decodes from hexadecimal text and encodes into a fresh dynamic
   buffer, giving the octets back as hexadecimal text. */
#ifndef BLOBXML_TESTS_ENGINE_FIXTURE_H
#define BLOBXML_TESTS_ENGINE_FIXTURE_H

#include <string>

#include "../runtime/heap_probe.h"
#include "asn1Engine.h"
#include "berDecode.h"
#include "berEncode.h"
#include "engine_module.h"
#include "test_support.h"

class EngineTest : public HeapProbeTest {
 protected:
   /* Decodes one value of the type from the octets; the octets stay alive
      with the fixture. */
   int decode(const asn1rt::TypeDesc* type, void* value, const std::string& hexText) {
      input = testsupport::fromHex(hexText);
      int stat = xd_setp(&ctxt, reinterpret_cast<const ASN1OCTET*>(input.data()),
                         static_cast<int>(input.size()));
      if (stat != RTS_OK) return stat;
      return asn1rt::berDecode(&ctxt, type, value, TAG_EXPLICIT, 0);
   }

   /* Octets the decoder has not consumed. */
   size_t unread() const { return input.size() - ctxt.buffer.byteIndex; }

   /* The DER of the value as hexadecimal text, or "status <n>". */
   std::string encode(const asn1rt::TypeDesc* type, const void* value) {
      if (xe_setp(&ctxt, nullptr, 0) != RTS_OK) return "no buffer";
      int len = asn1rt::berEncode(&ctxt, type, value, TAG_EXPLICIT);
      if (len < 0) return "status " + std::to_string(len);
      EXPECT_EQ(static_cast<ASN1UINT>(len), ctxt.buffer.size - 1 - ctxt.buffer.byteIndex);
      return testsupport::toHex(std::string(reinterpret_cast<const char*>(xe_getp(&ctxt)),
                                            static_cast<size_t>(len)));
   }

   static std::string status(int stat) { return "status " + std::to_string(stat); }

   /* Decodes the octets and encodes the value again. */
   std::string roundTrip(const asn1rt::TypeDesc* type, void* value, const std::string& hexText) {
      int stat = decode(type, value, hexText);
      if (stat != RTS_OK) return "decode " + status(stat);
      return encode(type, value);
   }

   std::string input;
};

/* "02 01 80" -> "020180": expected encodings written readably. */
inline std::string H(const std::string& spaced) {
   return testsupport::toHex(testsupport::fromHex(spaced));
}

/* An element with a short definite length around the contents, as
   hexadecimal text. */
inline std::string tlv(const std::string& tag, const std::string& contents) {
   const std::string body = testsupport::fromHex(contents);
   EXPECT_LT(body.size(), 128u);
   return H(tag) + testsupport::toHex(std::string(1, static_cast<char>(body.size()))) +
          testsupport::toHex(body);
}

inline std::string text(const ASN1OCTET* data, ASN1UINT numocts) {
   return testsupport::toHex(std::string(reinterpret_cast<const char*>(data), numocts));
}

#endif
