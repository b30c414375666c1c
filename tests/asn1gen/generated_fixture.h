/* Tests over the code that asn1gen generates from its test module
   (module/GenTest_Base.asn, module/GenTest_Messages.asn): values go through
   the generated functions, control classes or descriptors on a context whose
   heap hooks count live blocks, and are compared as hexadecimal or XML text. */
#ifndef BLOBXML_TESTS_ASN1GEN_GENERATED_FIXTURE_H
#define BLOBXML_TESTS_ASN1GEN_GENERATED_FIXTURE_H

#include <string>

#include "../runtime/heap_probe.h"
#include "ASN1BERDecodeBuffer.h"
#include "ASN1BEREncodeBuffer.h"
#include "ASN1XERDecodeBuffer.h"
#include "ASN1XEREncodeBuffer.h"
#include "OSRTSAXException.h"
#include "asn1Xer.h"
#include "berDecode.h"
#include "berEncode.h"
#include "gentest.h"
#include "test_support.h"
#include "xerEncode.h"

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
      for (size_t rest = n; rest > 0; rest >>= 8)
         length.insert(0, 1, static_cast<char>(rest & 0xFF));
      length.insert(0, 1, static_cast<char>(0x80 | length.size()));
   }
   return H(tag) + testsupport::toHex(length) + H(contents);
}

inline std::string hexOf(const ASN1OCTET* data, size_t numocts) {
   return testsupport::toHex(std::string(reinterpret_cast<const char*>(data), numocts));
}

inline const ASN1OCTET* bytes(const std::string& text) {
   return reinterpret_cast<const ASN1OCTET*>(text.data());
}

/* An element of an identifier below 1.3.6.1.4.1.55555 (id-gentest). */
inline std::string gentestOid(const std::string& tail) {
   return tlv("06", "2B 06 01 04 01 83 B2 03 " + tail);
}

inline ASN1OBJID oidOf(std::initializer_list<ASN1UINT> arcs) {
   ASN1OBJID oid{};
   for (ASN1UINT arc : arcs) oid.arcs[oid.numarcs++] = arc;
   return oid;
}

inline std::string status(int stat) { return "status " + std::to_string(stat); }

/* What a control class over the value writes into a buffer of the kind:
   DER as hexadecimal text, XER as it is; or "status <n>". */
template <class Control, class Value>
std::string derOf(Value& value) {
   ASN1BEREncodeBuffer buffer;
   Control control(buffer, value);
   const int len = control.Encode();
   return len < 0 ? status(len) : hexOf(buffer.getMsgPtr(), static_cast<size_t>(len));
}

template <class Control, class Value>
std::string xerOf(Value& value, ASN1XEREncodeBuffer&& buffer = ASN1XEREncodeBuffer()) {
   Control control(buffer, value);
   const int stat = control.Encode();
   const ASN1BUFFER& out = buffer.getCtxtPtr()->buffer;
   if (stat != RTS_OK) return status(stat);
   return std::string(reinterpret_cast<const char*>(out.data), out.byteIndex);
}

/* Reads the document with the control class into a fresh value and gives
   what `then` makes of it while the buffer's heap holds it, or the status
   of the decode, also when the SAX state machine throws it. */
template <class Control, class Value, class Then>
std::string fromXer(const std::string& document, Then then) {
   ASN1XERDecodeBuffer buffer(bytes(document), static_cast<unsigned int>(document.size()));
   Value value;
   Control control(buffer, value);
   try {
      const int stat = control.Decode();
      return stat == RTS_OK ? then(value) : status(stat);
   } catch (OSRTSAXException& e) {
      return status(e.getStatus());
   }
}

class GeneratedTest : public HeapProbeTest {
 public:
   /* The DER that a generated encoder writes, or "status <n>". */
   template <class Value>
   std::string der(int (*encode)(ASN1CTXT*, Value*, ASN1TagType), Value& value) {
      if (xe_setp(&ctxt, nullptr, 0) != RTS_OK) return "no buffer";
      const int len = encode(&ctxt, &value, TAG_EXPLICIT);
      return len < 0 ? status(len) : hexOf(xe_getp(&ctxt), static_cast<size_t>(len));
   }

   /* Decodes hexadecimal text with a generated decoder; the octets stay
      alive with the fixture. */
   template <class Value>
   int decode(int (*decoder)(ASN1CTXT*, Value*, ASN1TagType, int), Value& value,
              const std::string& hexText) {
      input = testsupport::fromHex(hexText);
      const int stat = xd_setp(&ctxt, bytes(input), static_cast<int>(input.size()));
      return stat != RTS_OK ? stat : decoder(&ctxt, &value, TAG_EXPLICIT, 0);
   }

   /* XER of the value by its descriptor, compact or indented, written in a
      context of its own; or "status <n>". */
   static std::string xer(const asn1rt::TypeDesc& type, const void* value, bool compact = true) {
      ASN1CTXT out;
      if (rtInitContext(&out, nullptr) != RTS_OK) return "no context";
      int stat = xerSetEncBufPtr(&out, nullptr, 0, compact ? 1 : 0);
      if (stat == RTS_OK) stat = asn1rt::xerEncode(&out, &type, value, nullptr, nullptr);
      const std::string text =
          stat != RTS_OK
              ? status(stat)
              : std::string(reinterpret_cast<const char*>(out.buffer.data), out.buffer.byteIndex);
      rtFreeContext(&out);
      return text;
   }

   /* Reads XER text into the value, allocating in the fixture's context. */
   int readXer(const asn1rt::TypeDesc& type, void* value, const std::string& text) {
      return asn1rt::xerDecodeText(&ctxt, &type, value, bytes(text),
                                   static_cast<ASN1UINT>(text.size()));
   }

   std::string input;
};

#endif
