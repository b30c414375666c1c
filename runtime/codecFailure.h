/*
 * Why and where a decode or encode failed, as the exceptions of a failed
 * conversion carry it (Asn1Exception, the XML reader's OSRTSAXExceptionImpl):
 * the status, the path of components from the top-level value down to the
 * failing one, and the octet offset (BER/DER input) or line (XML input).
 */
#ifndef BLOBXML_CODECFAILURE_H
#define BLOBXML_CODECFAILURE_H

#include <cstddef>
#include <string>
#include <utility>

#include "asn1type.h"

class CodecFailure {
public:
   /* The status and path recorded in the context. */
   static CodecFailure ofContext(const ASN1CTXT* pctxt);
   /* The same with the offset, for a BER decode of the `length` octets at
      `message`. */
   static CodecFailure ofBerDecode(const ASN1CTXT* pctxt, const ASN1OCTET* message, size_t length);
   /* The path recorded in the error information, written as components
      joined by '.' with list items as [index]:
      "tbsCertificate.extensions[2].extnValue"; "" for the top-level value. */
   static std::string pathText(const ASN1ErrInfo& errInfo);

   /* RTS_* status; 0 when the XML is not well-formed (the reader's message
      tells why). */
   int status() const { return mStatus; }
   /* Components from the top-level value down to the one that failed, as
      pathText writes them; "" for the top-level value itself, or when not
      known (XML that is not well-formed, an encode). */
   const std::string& path() const { return mPath; }
   /* BER/DER input: offset of the first octet of the element that failed
      (for a value carried inside an OCTET STRING given in segments, of the
      value around it); -1 for XML input and encodes. */
   long offset() const { return mOffset; }
   /* XML input: the line the reader had reached (for an open type resolved
      when its SEQUENCE closes, the line of that end tag); 0 otherwise. */
   long lineNumber() const { return mLine; }
   /* "status -5 at tbsCertificate.validity, offset 120" (or ", line 7"). */
   std::string describe() const;

   void setStatus(int status) { mStatus = status; }
   void setPath(std::string path) { mPath = std::move(path); }
   void setLineNumber(long line) { mLine = line; }

private:
   int mStatus = 0;
   std::string mPath;
   long mOffset = -1;
   long mLine = 0;
};

#endif
