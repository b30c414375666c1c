/*
 * BOOLEAN (X.690 8.2), INTEGER and ENUMERATED (8.3, 8.4) into 32 and 16 bits
 * and as big-integer text, and NULL (8.8).
 */
#include "berDecode.h"

#include <cstring>

#include "rtContext.h"
#include "rtHexText.h"
#include "rtMemHeap.h"

/* Whether length content octets are there. The true end of a message with an
   indefinite outer length is unknown, so that case is not checked. */
static bool contentsFit(const ASN1CTXT* pctxt, int length) {
   if (pctxt->flags & CTXTF_OUTER_INDEFINITE) return true;
   return static_cast<int64_t>(pctxt->buffer.byteIndex) + length <= pctxt->buffer.size;
}

/* The length octet that follows an identifier, taken as it is (short form). */
static int rawLengthOctet(ASN1CTXT* pctxt) {
   return pctxt->buffer.data[pctxt->buffer.byteIndex++];
}

int xd_boolean(ASN1CTXT* pctxt, ASN1BOOL* object_p, ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = xd_matchUniversal(pctxt, 0x01);
      if (stat != RTS_OK) return stat;
      length = rawLengthOctet(pctxt);
   }
   if (length != 1) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   ASN1BUFFER& buf = pctxt->buffer;
   if (buf.byteIndex >= buf.size) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   *object_p = buf.data[buf.byteIndex++];
   return RTS_OK;
}

/* Universal identifier and the length that follows it. */
static int explicitHeader(ASN1CTXT* pctxt, ASN1OCTET id, int* len_p) {
   int stat = xd_matchUniversal(pctxt, id);
   if (stat != RTS_OK) return stat;
   return xd_len(pctxt, len_p);
}

int xd_integer(ASN1CTXT* pctxt, ASN1INT* object_p, ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = explicitHeader(pctxt, 0x02, &length);
      if (stat != RTS_OK) return stat;
   }
   if (length > 4) return LOG_ASN1ERR(pctxt, RTS_TOO_BIG);
   if (length <= 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   if (!contentsFit(pctxt, length)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   ASN1BUFFER& buf = pctxt->buffer;
   /* Two's complement, big-endian: the first octet carries the sign. */
   ASN1UINT value = (buf.data[buf.byteIndex] & 0x80) ? 0xFFFFFFFFu : 0;
   for (int i = 0; i < length; i++) value = (value << 8) | buf.data[buf.byteIndex++];
   *object_p = static_cast<ASN1INT>(value);
   return RTS_OK;
}

int xd_enum(ASN1CTXT* pctxt, ASN1ENUM* object_p, ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = explicitHeader(pctxt, 0x0A, &length);
      if (stat != RTS_OK) return stat;
   }
   return xd_integer(pctxt, object_p, TAG_IMPLICIT, length);
}

int xd_unsigned(ASN1CTXT* pctxt, ASN1UINT* object_p, ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = explicitHeader(pctxt, 0x02, &length);
      if (stat != RTS_OK) return stat;
   }
   if (length >= 6) return LOG_ASN1ERR(pctxt, RTS_TOO_BIG);
   if (length < 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   if (!contentsFit(pctxt, length)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   ASN1BUFFER& buf = pctxt->buffer;
   /* A fifth octet can only be the 00 that keeps a top bit positive. */
   if (length == 5 && buf.data[buf.byteIndex] != 0) return LOG_ASN1ERR(pctxt, RTS_TOO_BIG);
   ASN1UINT value = 0;
   for (int i = 0; i < length; i++) value = (value << 8) | buf.data[buf.byteIndex++];
   *object_p = value;
   return RTS_OK;
}

int xd_uint16(ASN1CTXT* pctxt, ASN1USINT* object_p, ASN1TagType tagging, int length) {
   ASN1BUFFER& buf = pctxt->buffer;
   if (tagging == TAG_EXPLICIT) {
      int stat = xd_matchUniversal(pctxt, 0x02);
      if (stat != RTS_OK) return stat;
      length = rawLengthOctet(pctxt);
   }
   if (length >= 4) return LOG_ASN1ERR(pctxt, RTS_TOO_BIG);
   if (length <= 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   if (!contentsFit(pctxt, length)) return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);
   if (length == 3 && buf.data[buf.byteIndex] != 0) return LOG_ASN1ERR(pctxt, RTS_TOO_BIG);
   ASN1UINT value = 0;
   for (int i = 0; i < length; i++) value = (value << 8) | buf.data[buf.byteIndex++];
   *object_p = static_cast<ASN1USINT>(value);
   return RTS_OK;
}

int xd_null(ASN1CTXT* pctxt, ASN1TagType tagging) {
   if (tagging != TAG_EXPLICIT) return RTS_OK;
   int stat = xd_matchUniversal(pctxt, 0x05);
   if (stat != RTS_OK) return stat;
   if (rawLengthOctet(pctxt) != 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   return RTS_OK;
}

int xd_bigint(ASN1CTXT* pctxt, const char** object_p, ASN1TagType tagging, int length) {
   if (tagging == TAG_EXPLICIT) {
      int stat = explicitHeader(pctxt, 0x02, &length);
      if (stat != RTS_OK) return stat;
   }
   /* X.690 8.3.1: at least one contents octet. */
   if (length <= 0) return LOG_ASN1ERR(pctxt, RTS_BAD_LENGTH);
   ASN1BUFFER& buf = pctxt->buffer;
   if (static_cast<int64_t>(buf.byteIndex) + length > buf.size)
      return LOG_ASN1ERR(pctxt, RTS_END_OF_DATA);

   const ASN1OCTET* octets = buf.data + buf.byteIndex;
   int skipped = 0;
   while (skipped < length && octets[skipped] == 0) skipped++;
   size_t n = static_cast<size_t>(length - skipped);
   /* "0x", an optional 0 digit, two digits per octet and the terminator fit
      in (n + 2) * 2 octets. */
   char* text = static_cast<char*>(ASN1MALLOC(pctxt, (n + 2) * 2));
   if (text == nullptr) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);
   char* out = text;
   *out++ = '0';
   *out++ = 'x';
   /* A dropped 00 in front of a top bit kept the value positive; one 0 digit
      keeps it so in the text. All zeros read as 0x0. */
   if (n == 0 || (skipped > 0 && (octets[skipped] & 0x80))) *out++ = '0';
   for (int i = skipped; i < length; i++, out += 2)
      std::memcpy(out, kRtHexPairs.pair[octets[i]], 2);
   *out = '\0';
   buf.byteIndex += length;
   *object_p = text;
   return RTS_OK;
}
