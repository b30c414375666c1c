/* An initialised context with an encode buffer, and the encoding it holds
   as hexadecimal text, for the BER/DER encoder tests. */
#ifndef BLOBXML_TESTS_BERENCODE_FIXTURE_H
#define BLOBXML_TESTS_BERENCODE_FIXTURE_H

#include <string>

#include "asn1type.h"
#include "berEncode.h"
#include "rtContext.h"
#include "test_support.h"

class EncodeContext {
 public:
   /* A dynamic buffer of the given size (16384 for 0), or the caller's. */
   explicit EncodeContext(int size = 0, ASN1OCTET* buffer = nullptr) {
      initStatus = rtInitContext(&ctxt, nullptr);
      if (initStatus == RTS_OK) initStatus = xe_setp(&ctxt, buffer, size);
   }
   ~EncodeContext() { rtFreeContext(&ctxt); }
   EncodeContext(const EncodeContext&) = delete;
   EncodeContext& operator=(const EncodeContext&) = delete;

   ASN1CTXT* get() { return &ctxt; }
   ASN1UINT length() const { return ctxt.buffer.size - 1 - ctxt.buffer.byteIndex; }
   std::string bytes() const {
      return std::string(reinterpret_cast<const char*>(ctxt.buffer.data + ctxt.buffer.byteIndex),
                         length());
   }
   std::string hex() const { return testsupport::toHex(bytes()); }

   ASN1CTXT ctxt;
   int initStatus;
};

/* "02 01 80" -> "020180": expected encodings written readably. */
inline std::string H(const std::string& spaced) {
   return testsupport::toHex(testsupport::fromHex(spaced));
}

#endif
