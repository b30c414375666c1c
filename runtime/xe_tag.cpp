/*
 * Identifier and length octets (X.690 8.1.2, 8.1.3), written in front of
 * contents that are already in the buffer.
 */
#include "berEncode.h"

#include <climits>

#include "rtContext.h"

int xe_identifier(ASN1CTXT* pctxt, ASN1UINT ident) {
   ASN1OCTET octets[5]; /* 32 bits in groups of 7 */
   unsigned start = sizeof(octets);
   octets[--start] = static_cast<ASN1OCTET>(ident & 0x7F);
   for (ident >>= 7; ident != 0; ident >>= 7)
      octets[--start] = static_cast<ASN1OCTET>(0x80 | (ident & 0x7F));
   return xe_memcpy(pctxt, octets + start, sizeof(octets) - start);
}

int xe_tag(ASN1CTXT* pctxt, ASN1TAG tag) {
   ASN1TAG number = tag & TM_IDCODE;
   ASN1OCTET classAndForm = static_cast<ASN1OCTET>((tag >> 29) << 5);
   if (number < 31) {
      ASN1OCTET octet = static_cast<ASN1OCTET>(classAndForm | number);
      return xe_memcpy(pctxt, &octet, 1);
   }
   int len = xe_identifier(pctxt, number);
   if (len < 0) return len;
   ASN1OCTET lead = static_cast<ASN1OCTET>(classAndForm | 0x1F);
   int stat = xe_memcpy(pctxt, &lead, 1);
   return stat < 0 ? stat : len + 1;
}

int xe_len(ASN1CTXT* pctxt, int length) {
   ASN1OCTET octets[5];
   unsigned start = sizeof(octets);
   if (length == INDEFINITE_LENGTH) {
      octets[--start] = 0x80;
   } else if (length < 0) {
      return 0;
   } else if (length < 0x80) {
      octets[--start] = static_cast<ASN1OCTET>(length);
   } else {
      for (ASN1UINT rest = static_cast<ASN1UINT>(length); rest != 0; rest >>= 8)
         octets[--start] = static_cast<ASN1OCTET>(rest & 0xFF);
      ASN1OCTET count = static_cast<ASN1OCTET>(sizeof(octets) - start);
      octets[--start] = static_cast<ASN1OCTET>(0x80 | count);
   }
   return xe_memcpy(pctxt, octets + start, sizeof(octets) - start);
}

/* The common header, one identifier octet and a definite length of up to
   three octets, put in front of the position at once when the room is
   there: the same octets xe_len and xe_tag write one after the other. Its
   size, or 0 when the header must take that way. */
static int putShortHeader(ASN1CTXT* pctxt, ASN1TAG tag, int length) {
   ASN1BUFFER& buf = pctxt->buffer;
   const ASN1TAG number = tag & TM_IDCODE;
   if (number >= 31 || length < 0 || length > 0xFFFF || buf.data == nullptr) return 0;
   const ASN1UINT header = length < 0x80 ? 2 : length <= 0xFF ? 3 : 4;
   if (buf.byteIndex < header) return 0;
   buf.byteIndex -= header;
   ASN1OCTET* p = buf.data + buf.byteIndex;
   p[0] = static_cast<ASN1OCTET>(((tag >> 29) << 5) | number);
   if (header == 2) {
      p[1] = static_cast<ASN1OCTET>(length);
   } else if (header == 3) {
      p[1] = 0x81;
      p[2] = static_cast<ASN1OCTET>(length);
   } else {
      p[1] = 0x82;
      p[2] = static_cast<ASN1OCTET>(length >> 8);
      p[3] = static_cast<ASN1OCTET>(length & 0xFF);
   }
   return static_cast<int>(header);
}

int xe_tag_len(ASN1CTXT* pctxt, ASN1TAG tag, int length) {
   if (length < 0 && length != INDEFINITE_LENGTH) return length;
   const int shortHeader = putShortHeader(pctxt, tag, length);
   if (shortHeader > 0) return length + shortHeader;
   int lenOctets = xe_len(pctxt, length);
   if (lenOctets < 0) return lenOctets;
   int tagOctets = xe_tag(pctxt, tag);
   if (tagOctets < 0) return tagOctets;
   int header = lenOctets + tagOctets;
   if (length == INDEFINITE_LENGTH) return header;
   /* Contents that long cannot be in a buffer whose size fits an int. */
   if (length > INT_MAX - header) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   return length + header;
}
