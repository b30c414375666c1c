/*
 * Big integers: text to sign and magnitude, minimal two's-complement octets
 * (X.690 8.3.2), text back out, and comparison of numbers given as text.
 */
#include "rtBigInt.h"

#include <cstring>

#include "rtContext.h"
#include "rtMemHeap.h"

namespace {

/* Radix tables indexed by radix / 2; bitsPerDigit is in 1/1024 bits and a
   digit chunk of digitsPerByte digits stays below byteRadix. */
const int kBitsPerDigit[9] = {0, 1024, 0, 0, 3072, 3402, 0, 0, 4096};
const int kDigitsPerByte[9] = {0, 8, 0, 0, 2, 2, 0, 0, 2};
const unsigned kByteRadix[9] = {0, 256, 0, 0, 64, 100, 0, 0, 256};

/* The largest magnitude this module will allocate, in octets. */
const size_t kMaxOctets = 0x7FFFFFE7u;

bool isValidRadix(int radix) {
   return radix == 2 || radix == 8 || radix == 10 || radix == 16;
}

bool isPatternRadix(int radix) {
   return radix == 2 || radix == 16;
}

bool isZero(const ASN1BigInt* pInt) {
   return pInt->sign == 0 || pInt->numocts <= 0;
}

/* Value of one digit in the radix, or -1 when it is none. */
int digitValue(char c, int radix) {
   int value;
   if (c >= '0' && c <= '9')
      value = c - '0';
   else if (c >= 'a' && c <= 'f')
      value = c - 'a' + 10;
   else if (c >= 'A' && c <= 'F')
      value = c - 'A' + 10;
   else
      return -1;
   return value < radix ? value : -1;
}

/* Radix chosen by a 0x, 0b or 0o prefix; 10 when there is none. */
int prefixRadix(const char* text) {
   if (text[0] != '0') return 10;
   switch (text[1]) {
      case 'x': case 'X': return 16;
      case 'b': case 'B': return 2;
      case 'o': case 'O': return 8;
      default: return 10;
   }
}

/* Makes room for nocts magnitude octets, growing out of a lent work area
   into typeMemHeap when it is too small. The contents are not kept. */
int reserve(ASN1CTXT* pctxt, ASN1BigInt* pInt, size_t nocts) {
   if (pInt->mag != nullptr && pInt->allocated >= 0 &&
       static_cast<size_t>(pInt->allocated) >= nocts)
      return RTS_OK;
   if (nocts > kMaxOctets) return RTS_NO_MEMORY;
   ASN1OCTET* mag = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, nocts));
   if (mag == nullptr) return RTS_NO_MEMORY;
   if (pInt->dynamic && pInt->mag != nullptr) ASN1MEMFREEPTR(pctxt, pInt->mag);
   pInt->mag = mag;
   pInt->allocated = static_cast<ASN1INT>(nocts);
   pInt->dynamic = 1;
   return RTS_OK;
}

/* Two's complement in place: invert, then add 1 from the least significant
   octet with carry. */
void negate(ASN1OCTET* octets, size_t n) {
   unsigned carry = 1;
   for (size_t i = n; i-- > 0;) {
      unsigned sum = static_cast<ASN1OCTET>(~octets[i]) + carry;
      octets[i] = static_cast<ASN1OCTET>(sum);
      carry = sum >> 8;
   }
}

/* Hexadecimal or binary digits read as a two's-complement bit pattern; the
   digits fill the octets from the right. */
int setPattern(ASN1CTXT* pctxt, ASN1BigInt* pInt, const char* digits, int radix) {
   const size_t digitsPerOctet = static_cast<size_t>(kDigitsPerByte[radix / 2]);
   const unsigned bitsPerDigit = static_cast<unsigned>(kBitsPerDigit[radix / 2] / 1024);
   const size_t ndigits = std::strlen(digits);
   const size_t nocts = (ndigits + digitsPerOctet - 1) / digitsPerOctet;
   int stat = reserve(pctxt, pInt, nocts);
   if (stat != RTS_OK) return stat;
   std::memset(pInt->mag, 0, nocts);
   for (size_t i = 0; i < ndigits; ++i) {
      int value = digitValue(digits[ndigits - 1 - i], radix);
      if (value < 0) return RTS_BAD_VALUE;
      pInt->mag[nocts - 1 - i / digitsPerOctet] |=
         static_cast<ASN1OCTET>(value << (i % digitsPerOctet * bitsPerDigit));
   }
   pInt->numocts = static_cast<ASN1INT>(nocts);
   /* A set top bit makes the pattern negative. A leading 0 digit always
      leaves it clear, which is how 0x0ff stays 255. */
   if ((pInt->mag[0] & 0x80) != 0) {
      negate(pInt->mag, nocts);
      pInt->sign = -1;
   } else {
      pInt->sign = 1;
   }
   return RTS_OK;
}

/* Decimal or octal text with an optional minus sign, read in chunks of
   digitsPerByte digits: magnitude = magnitude * byteRadix + chunk. */
int setSigned(ASN1CTXT* pctxt, ASN1BigInt* pInt, const char* text, int radix) {
   bool negative = false;
   if (*text == '-') {
      negative = true;
      if (*++text == '\0') return RTS_BAD_VALUE;
   }
   while (*text == '0') ++text;
   const size_t ndigits = std::strlen(text);
   if (ndigits == 0) {
      pInt->numocts = 0;
      pInt->sign = 0;
      return RTS_OK;
   }
   for (size_t i = 0; i < ndigits; ++i)
      if (digitValue(text[i], radix) < 0) return RTS_BAD_VALUE;

   /* bitsPerDigit never underestimates log2(radix), so the value fits. */
   const int index = radix / 2;
   const unsigned long long bits =
      static_cast<unsigned long long>(ndigits) * kBitsPerDigit[index] / 1024;
   if (bits / 8 + 1 > kMaxOctets) return RTS_NO_MEMORY;
   const size_t capacity = static_cast<size_t>((bits + 8) / 8);
   int stat = reserve(pctxt, pInt, capacity);
   if (stat != RTS_OK) return stat;

   /* The magnitude grows from the end of the area; used counts its octets. */
   ASN1OCTET* const mag = pInt->mag;
   size_t used = 0;
   const size_t perChunk = static_cast<size_t>(kDigitsPerByte[index]);
   size_t chunkLen = ndigits % perChunk == 0 ? perChunk : ndigits % perChunk;
   for (size_t pos = 0; pos < ndigits; pos += chunkLen, chunkLen = perChunk) {
      unsigned carry = 0;
      for (size_t k = 0; k < chunkLen; ++k)
         carry = carry * static_cast<unsigned>(radix) +
                 static_cast<unsigned>(digitValue(text[pos + k], radix));
      for (size_t i = capacity; i-- > capacity - used;) {
         unsigned product = mag[i] * kByteRadix[index] + carry;
         mag[i] = static_cast<ASN1OCTET>(product);
         carry = product >> 8;
      }
      for (; carry != 0; carry >>= 8) mag[capacity - ++used] = static_cast<ASN1OCTET>(carry);
   }
   std::memmove(pInt->mag, pInt->mag + capacity - used, used);
   pInt->numocts = static_cast<ASN1INT>(used);
   pInt->sign = negative ? -1 : 1;
   return RTS_OK;
}

void stripLeadingZeros(ASN1BigInt* pInt) {
   ASN1INT zeros = 0;
   while (zeros < pInt->numocts && pInt->mag[zeros] == 0) ++zeros;
   if (zeros > 0) {
      pInt->numocts -= zeros;
      std::memmove(pInt->mag, pInt->mag + zeros, static_cast<size_t>(pInt->numocts));
   }
   if (pInt->numocts == 0) pInt->sign = 0;
}

/* Writes the two's-complement form at width len (at least the minimal
   length): sign octets 00 or FF, then the magnitude or its negation. */
void storeTwosComplement(const ASN1BigInt* pInt, ASN1OCTET* out, int len) {
   if (isZero(pInt)) {
      std::memset(out, 0, static_cast<size_t>(len));
      return;
   }
   const size_t numocts = static_cast<size_t>(pInt->numocts);
   const size_t pad = static_cast<size_t>(len) - numocts;
   std::memset(out, pInt->sign < 0 ? 0xFF : 0x00, pad);
   std::memcpy(out + pad, pInt->mag, numocts);
   if (pInt->sign < 0) negate(out + pad, numocts);
}

/* Divides a big-endian number in place, one nibble at a time so that the
   partial dividend stays small; returns the remainder. */
unsigned divideInPlace(ASN1OCTET* octets, size_t n, unsigned divisor) {
   unsigned rem = 0;
   for (size_t i = 0; i < n; ++i) {
      unsigned high = (rem << 4) | (octets[i] >> 4);
      rem = high % divisor;
      unsigned low = (rem << 4) | (octets[i] & 0x0F);
      rem = low % divisor;
      octets[i] = static_cast<ASN1OCTET>((high / divisor) << 4 | low / divisor);
   }
   return rem;
}

/* Digits in lowercase two's-complement form, most significant first. */
int printPattern(ASN1CTXT* pctxt, const ASN1BigInt* pInt, int radix, char* str, int strSize) {
   static const char kHexDigits[] = "0123456789abcdef";
   const int len = rtBigIntGetDataLen(pInt);
   const long long ndigits = static_cast<long long>(len) * (radix == 16 ? 2 : 8);
   if (strSize <= ndigits) return RTS_VALUE_TOO_LONG;
   ASN1OCTET* work = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, static_cast<size_t>(len)));
   if (work == nullptr) return RTS_NO_MEMORY;
   storeTwosComplement(pInt, work, len);
   char* out = str;
   for (int i = 0; i < len; ++i) {
      if (radix == 16) {
         *out++ = kHexDigits[work[i] >> 4];
         *out++ = kHexDigits[work[i] & 0x0F];
      } else {
         for (int bit = 7; bit >= 0; --bit) *out++ = static_cast<char>('0' + ((work[i] >> bit) & 1));
      }
   }
   *out = '\0';
   ASN1MEMFREEPTR(pctxt, work);
   return RTS_OK;
}

/* Decimal (or octal) text with a minus sign: the magnitude is divided by
   byteRadix repeatedly and each remainder gives two digits from the right.
   The text is built at the end of str, then moved to its start. */
int printSigned(ASN1CTXT* pctxt, const ASN1BigInt* pInt, int radix, char* str, int strSize) {
   const size_t capacity = static_cast<size_t>(strSize);
   if (isZero(pInt)) {
      if (capacity < 2) return RTS_VALUE_TOO_LONG;
      str[0] = '0';
      str[1] = '\0';
      return RTS_OK;
   }
   const size_t numocts = static_cast<size_t>(pInt->numocts);
   ASN1OCTET* work = static_cast<ASN1OCTET*>(ASN1MALLOC(pctxt, numocts));
   if (work == nullptr) return RTS_NO_MEMORY;
   std::memcpy(work, pInt->mag, numocts);

   const unsigned divisor = kByteRadix[radix / 2];
   const unsigned base = static_cast<unsigned>(radix);
   size_t len = 0; /* characters built so far, ending at str[capacity - 1] */
   bool fits = true;
   auto put = [&](unsigned digitOrSign) {
      if (len + 1 >= capacity) {
         fits = false;
         return;
      }
      ++len;
      str[capacity - len] = static_cast<char>(digitOrSign);
   };
   size_t top = 0;
   while (fits && top < numocts) {
      unsigned rem = divideInPlace(work + top, numocts - top, divisor);
      while (top < numocts && work[top] == 0) ++top;
      put('0' + rem % base);
      if (top < numocts || rem >= base) put('0' + rem / base);
   }
   if (pInt->sign < 0) put('-');
   ASN1MEMFREEPTR(pctxt, work);
   if (!fits) return RTS_VALUE_TOO_LONG;
   std::memmove(str, str + capacity - len, len);
   str[len] = '\0';
   return RTS_OK;
}

int compareMagnitudes(const ASN1BigInt* a, const ASN1BigInt* b) {
   if (a->numocts != b->numocts) return a->numocts < b->numocts ? -1 : 1;
   int diff = std::memcmp(a->mag, b->mag, static_cast<size_t>(a->numocts));
   return diff < 0 ? -1 : (diff > 0 ? 1 : 0);
}

}

void rtBigIntInit(ASN1BigInt* pInt) {
   if (pInt != nullptr) std::memset(pInt, 0, sizeof(*pInt));
}

int rtBigIntSetStr(ASN1CTXT* pctxt, ASN1BigInt* pInt, const char* value, int radix) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pInt == nullptr || value == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   while (*value == ' ') ++value;
   if (radix == 0) {
      radix = prefixRadix(value);
      if (radix != 10) value += 2;
   } else if (!isValidRadix(radix)) {
      return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   }
   if (*value == '\0') return LOG_ASN1ERR(pctxt, RTS_BAD_VALUE);
   int stat = isPatternRadix(radix) ? setPattern(pctxt, pInt, value, radix)
                                    : setSigned(pctxt, pInt, value, radix);
   if (stat != RTS_OK) return LOG_ASN1ERR(pctxt, stat);
   stripLeadingZeros(pInt);
   return RTS_OK;
}

int rtBigIntGetDataLen(const ASN1BigInt* pInt) {
   if (pInt == nullptr) return RTS_BAD_ARGUMENT;
   if (isZero(pInt)) return 1;
   const ASN1OCTET first = pInt->mag[0];
   if (pInt->sign > 0) return pInt->numocts + ((first & 0x80) != 0 ? 1 : 0);
   /* The leading octet of the negation at the same width: a borrow reaches
      it only when every later octet is zero. */
   bool restZero = true;
   for (ASN1INT i = 1; i < pInt->numocts && restZero; ++i) restZero = pInt->mag[i] == 0;
   const ASN1OCTET lead = static_cast<ASN1OCTET>(restZero ? 0x100 - first : ~first);
   return (lead & 0x80) != 0 ? pInt->numocts : pInt->numocts + 1;
}

int rtBigIntGetData(ASN1CTXT* pctxt, const ASN1BigInt* pInt, ASN1OCTET* buffer, int bufSize) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pInt == nullptr || buffer == nullptr) return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   const int len = rtBigIntGetDataLen(pInt);
   if (len > bufSize) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   storeTwosComplement(pInt, buffer, len);
   return len;
}

int rtBigIntDigitsNum(const ASN1BigInt* pInt, int radix) {
   if (pInt == nullptr || !isValidRadix(radix)) return RTS_BAD_ARGUMENT;
   const long long octets = static_cast<long long>(pInt->numocts) + 1;
   return static_cast<int>(octets * 8192 / kBitsPerDigit[radix / 2]);
}

int rtBigIntToString(ASN1CTXT* pctxt, const ASN1BigInt* pInt, int radix, char* str, int strSize) {
   if (pctxt == nullptr) return RTS_BAD_ARGUMENT;
   if (pInt == nullptr || str == nullptr || !isValidRadix(radix))
      return LOG_ASN1ERR(pctxt, RTS_BAD_ARGUMENT);
   if (strSize <= 0) return LOG_ASN1ERR(pctxt, RTS_VALUE_TOO_LONG);
   int stat = isPatternRadix(radix) ? printPattern(pctxt, pInt, radix, str, strSize)
                                    : printSigned(pctxt, pInt, radix, str, strSize);
   return stat == RTS_OK ? RTS_OK : LOG_ASN1ERR(pctxt, stat);
}

int rtBigIntStrCompare(ASN1CTXT* pctxt, const char* arg1, const char* arg2) {
   ASN1OCTET area1[256], area2[256];
   ASN1BigInt num1, num2;
   rtBigIntInit(&num1);
   rtBigIntInit(&num2);
   num1.mag = area1;
   num1.allocated = sizeof(area1);
   num2.mag = area2;
   num2.allocated = sizeof(area2);

   /* rtBigIntSetStr sets sign and numocts only when it succeeds, so text
      that does not convert leaves its fresh number at zero. Its status is
      not kept in the context. */
   const ASN1INT savedStatus = pctxt->errInfo.status;
   rtBigIntSetStr(pctxt, &num1, arg1, 0);
   rtBigIntSetStr(pctxt, &num2, arg2, 0);
   pctxt->errInfo.status = savedStatus;

   int result;
   if (num1.sign != num2.sign)
      result = num1.sign < num2.sign ? -1 : 1;
   else
      result = num1.sign * compareMagnitudes(&num1, &num2);
   rtBigIntFree(pctxt, &num1);
   rtBigIntFree(pctxt, &num2);
   return result;
}

void rtBigIntFree(ASN1CTXT* pctxt, ASN1BigInt* pInt) {
   if (pctxt == nullptr || pInt == nullptr) return;
   if (pInt->dynamic && pInt->allocated != 0 && pInt->mag != nullptr) {
      ASN1MEMFREEPTR(pctxt, pInt->mag);
      rtBigIntInit(pInt);
   }
}
