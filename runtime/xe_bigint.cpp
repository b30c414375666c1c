/*
 * INTEGER contents from big-integer text. Hexadecimal (0x) and binary (0b)
 * text is a two's-complement bit pattern and is converted digit by digit;
 * decimal text goes through the big-integer module.
 */
#include "berEncode.h"

#include <cstring>

#include "rtBigInt.h"
#include "rtContext.h"
#include "rtHexText.h"

/* Work area lent to the big-integer module; it grows beyond it if needed. */
static const int kBigIntWorkSize = 512;

static unsigned digitValue(char c) { return kRtDigitValues.value[static_cast<unsigned char>(c)]; }

/* Value of count digits of bitsPerDigit bits each, most significant first. */
static ASN1OCTET packDigits(const char* digits, size_t count, unsigned bitsPerDigit) {
   unsigned value = 0;
   for (size_t i = 0; i < count; i++)
      value = (value << bitsPerDigit) | digitValue(digits[i]);
   return static_cast<ASN1OCTET>(value);
}

/* True when count digits are all 'f'/'F' (or all '1' for binary). */
static bool isAllOnes(const char* digits, size_t count, char allOnes) {
   for (size_t i = 0; i < count; i++)
      if ((digits[i] | 0x20) != allOnes) return false;
   return true;
}

/* Converts n hexadecimal (4 bits) or binary (1 bit) digits directly. */
static int encodePattern(ASN1CTXT* pctxt, const char* digits, size_t n, unsigned bitsPerDigit) {
   bool valid;
   if (bitsPerDigit == 4) {
      valid = rtIsHexText(reinterpret_cast<const unsigned char*>(digits), n);
   } else {
      /* A binary digit above 1, or no digit at all (0xFF), leaves a bit
         above bit 0 in the union of the values. */
      unsigned seen = 0;
      for (size_t i = 0; i < n; i++) seen |= digitValue(digits[i]);
      valid = seen <= 1;
   }
   if (!valid) return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   const size_t perOctet = 8 / bitsPerDigit;
   const char allOnes = bitsPerDigit == 4 ? 'f' : '1';
   bool negative = n % perOctet == 0 && (digitValue(digits[0]) >> (bitsPerDigit - 1)) != 0;

   size_t start = 0;
   if (negative) {
      /* Leading all-ones octets only repeat the sign. */
      while (start + perOctet <= n && isAllOnes(digits + start, perOctet, allOnes))
         start += perOctet;
   } else {
      while (start < n && digits[start] == '0') start++;
   }
   size_t body = n - start;
   size_t leftover = body % perOctet;
   size_t valueOctets = body / perOctet + (leftover != 0 ? 1 : 0);

   /* A sign octet is needed when the first full octet would read with the
      wrong sign, or when nothing is left; a short leading octet is always
      positive. */
   bool signOctet = false;
   ASN1OCTET sign = negative ? 0xFF : 0x00;
   if (leftover == 0) {
      if (valueOctets == 0) {
         signOctet = true;
      } else {
         bool topBit = (packDigits(digits + start, perOctet, bitsPerDigit) & 0x80) != 0;
         signOctet = negative ? !topBit : topBit;
      }
   }
   size_t total = valueOctets + (signOctet ? 1 : 0);
   if (total > 0x7FFFFFFFu) return LOG_ASN1ERR(pctxt, RTS_NO_MEMORY);

   int stat = xe_reserve(pctxt, static_cast<ASN1UINT>(total));
   if (stat != RTS_OK) return stat;
   ASN1OCTET* out = pctxt->buffer.data + pctxt->buffer.byteIndex;
   if (signOctet) *out++ = sign;
   const char* p = digits + start;
   if (leftover != 0) {
      *out++ = packDigits(p, leftover, bitsPerDigit);
      p += leftover;
   }
   if (bitsPerDigit == 4) {
      for (; p < digits + n; p += 2)
         *out++ = static_cast<ASN1OCTET>(digitValue(p[0]) << 4 | digitValue(p[1]));
   }
   for (; p < digits + n; p += perOctet) *out++ = packDigits(p, perOctet, bitsPerDigit);
   return static_cast<int>(total);
}

/* Decimal (or other) text through a big integer with a lent work area. */
static int encodeNumber(ASN1CTXT* pctxt, const char* text) {
   ASN1OCTET work[kBigIntWorkSize];
   ASN1BigInt number;
   rtBigIntInit(&number);
   number.mag = work;
   number.allocated = kBigIntWorkSize;
   number.dynamic = 0;

   int stat = rtBigIntSetStr(pctxt, &number, text, 0);
   if (stat == RTS_OK) {
      int len = rtBigIntGetDataLen(&number);
      stat = xe_reserve(pctxt, static_cast<ASN1UINT>(len));
      if (stat == RTS_OK) {
         stat = rtBigIntGetData(pctxt, &number,
                                pctxt->buffer.data + pctxt->buffer.byteIndex, len);
      }
   }
   rtBigIntFree(pctxt, &number);
   return stat < 0 ? LOG_ASN1ERR(pctxt, stat) : stat;
}

int xe_bigint(ASN1CTXT* pctxt, const char* object_p, ASN1TagType tagging) {
   if (object_p == nullptr || object_p[0] == '\0') return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   int len;
   if (std::strcmp(object_p, "0") == 0) {
      ASN1OCTET zero = 0;
      len = xe_memcpy(pctxt, &zero, 1);
   } else if (object_p[0] == '0' && (object_p[1] == 'x' || object_p[1] == 'b') &&
              object_p[2] != '\0') {
      unsigned bitsPerDigit = object_p[1] == 'x' ? 4 : 1;
      len = encodePattern(pctxt, object_p + 2, std::strlen(object_p + 2), bitsPerDigit);
   } else {
      len = encodeNumber(pctxt, object_p);
   }
   if (len < 0 || tagging != TAG_EXPLICIT) return len;
   return xe_tag_len(pctxt, ASN_ID_INT, len);
}
