/*
 * BOOLEAN, INTEGER (signed, unsigned, 16-bit), ENUMERATED and NULL
 * contents (X.690 8.2, 8.3, 8.4, 8.8, 11.1).
 */
#include "berEncode.h"

#include "rtContext.h"

/* Writes the contents, then the universal header when explicit. */
static int writeContents(ASN1CTXT* pctxt, const ASN1OCTET* octets, unsigned count,
                         ASN1TagType tagging, ASN1TAG tag) {
   int len = xe_memcpy(pctxt, octets, count);
   if (len < 0 || tagging != TAG_EXPLICIT) return len;
   return xe_tag_len(pctxt, tag, len);
}

int xe_boolean(ASN1CTXT* pctxt, const ASN1BOOL* object_p, ASN1TagType tagging) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   ASN1OCTET octet = *object_p ? 0xFF : 0x00;
   return writeContents(pctxt, &octet, 1, tagging, ASN_ID_BOOL);
}

/* X.690 8.3.2: the fewest octets whose first nine bits are not all equal. */
static int writeSigned(ASN1CTXT* pctxt, ASN1INT value, ASN1TagType tagging, ASN1TAG tag) {
   ASN1OCTET octets[5];
   unsigned start = sizeof(octets);
   ASN1INT64 rest = value;
   do {
      octets[--start] = static_cast<ASN1OCTET>(rest & 0xFF);
      rest >>= 8; /* divides by 256 rounding toward minus infinity */
   } while (rest != 0 && rest != -1);
   bool topBit = (octets[start] & 0x80) != 0;
   if (value > 0 && topBit) octets[--start] = 0x00;
   if (value < 0 && !topBit) octets[--start] = 0xFF;
   return writeContents(pctxt, octets + start, sizeof(octets) - start, tagging, tag);
}

int xe_integer(ASN1CTXT* pctxt, const ASN1INT* object_p, ASN1TagType tagging) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return writeSigned(pctxt, *object_p, tagging, ASN_ID_INT);
}

int xe_enum(ASN1CTXT* pctxt, const ASN1ENUM* object_p, ASN1TagType tagging) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return writeSigned(pctxt, *object_p, tagging, ASN_ID_ENUM);
}

/* Value octets without leading zeros (0 is one octet 00), with 0x00 in
   front when the top bit is set, so the value stays non-negative. */
static int writeUnsigned(ASN1CTXT* pctxt, ASN1UINT value, ASN1TagType tagging) {
   ASN1OCTET octets[5];
   unsigned start = sizeof(octets);
   do {
      octets[--start] = static_cast<ASN1OCTET>(value & 0xFF);
      value >>= 8;
   } while (value != 0);
   if (octets[start] & 0x80) octets[--start] = 0x00;
   return writeContents(pctxt, octets + start, sizeof(octets) - start, tagging, ASN_ID_INT);
}

int xe_unsigned(ASN1CTXT* pctxt, const ASN1UINT* object_p, ASN1TagType tagging) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return writeUnsigned(pctxt, *object_p, tagging);
}

int xe_uint16(ASN1CTXT* pctxt, const ASN1USINT* object_p, ASN1TagType tagging) {
   if (object_p == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   return writeUnsigned(pctxt, *object_p, tagging);
}

int xe_null(ASN1CTXT* pctxt, ASN1TagType tagging) {
   if (tagging != TAG_EXPLICIT) return 0;
   return xe_tag_len(pctxt, ASN_ID_NULL, 0);
}
