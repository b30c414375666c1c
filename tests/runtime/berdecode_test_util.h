/* Helpers of the BER decoder tests: octets from hexadecimal text and a
   context over an exact-size copy of them, so that the sanitizer build
   catches any read past the message. */
#ifndef BLOBXML_TESTS_BERDECODE_TEST_UTIL_H
#define BLOBXML_TESTS_BERDECODE_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "asn1type.h"
#include "berDecode.h"
#include "rtContext.h"

namespace berdecode_test {

typedef std::vector<ASN1OCTET> Octets;

/* Octets from hexadecimal text; blanks are ignored. */
inline Octets hex(const std::string& text) {
   Octets out;
   std::string digits;
   for (char c : text)
      if (c != ' ') digits += c;
   for (size_t i = 0; i + 1 < digits.size(); i += 2)
      out.push_back(static_cast<ASN1OCTET>(std::stoul(digits.substr(i, 2), nullptr, 16)));
   return out;
}

inline Octets operator+(Octets left, const Octets& right) {
   left.insert(left.end(), right.begin(), right.end());
   return left;
}

inline Octets repeat(ASN1OCTET octet, size_t count) { return Octets(count, octet); }

/* An initialised context whose buffer is an exact-size heap copy of the
   octets, position 0. */
class DecodeContext {
  public:
   explicit DecodeContext(const Octets& octets) : size_(octets.size()) {
      octets_.reset(new ASN1OCTET[size_]);
      if (size_ > 0) std::memcpy(octets_.get(), octets.data(), size_);
      EXPECT_EQ(RTS_OK, rtInitContext(&ctxt_, nullptr));
      EXPECT_EQ(RTS_OK, rtInitContextBuffer(&ctxt_, octets_.get(), static_cast<ASN1UINT>(size_)));
   }
   ~DecodeContext() { rtFreeContext(&ctxt_); }
   DecodeContext(const DecodeContext&) = delete;
   DecodeContext& operator=(const DecodeContext&) = delete;

   ASN1CTXT* get() { return &ctxt_; }
   ASN1CTXT* operator->() { return &ctxt_; }
   const ASN1OCTET* data() const { return octets_.get(); }
   ASN1UINT pos() const { return ctxt_.buffer.byteIndex; }
   void setPos(ASN1UINT pos) { ctxt_.buffer.byteIndex = pos; }
   void setFlags(ASN1USINT flags) { ctxt_.flags = static_cast<ASN1USINT>(ctxt_.flags | flags); }
   bool hasFlag(ASN1USINT flag) const { return (ctxt_.flags & flag) != 0; }
   int errorStatus() const { return ctxt_.errInfo.status; }

  private:
   size_t size_;
   std::unique_ptr<ASN1OCTET[]> octets_;
   ASN1CTXT ctxt_;
};

inline Octets bytesOf(const ASN1OCTET* data, size_t count) {
   return data == nullptr ? Octets() : Octets(data, data + count);
}

}

#endif
